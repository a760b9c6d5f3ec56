#pragma once

#include "Board.h"
#include "WwwDde.h"

#include <QByteArray>
#include <QObject>

class BrowserConversation;
class ProcessStarter;
struct DesktopEntry;

// Opening bookmarks: Launch with the browser link or a new browser process,
// programs, launchers and documents, the click on a bookmark button, the
// browser list, one or many browser windows, and the manual address box.
// A launch that waits for the browser link keeps the board busy until the
// browser has answered (a few seconds at most); the window keeps working.
class Launcher : public BookmarkLauncher
{
public:
    Launcher(Board& board, BrowserConversation& conversation, ProcessStarter& starter);

    void Launch(const QByteArray& page, const QByteArray& address) override;
    void LaunchListed(const QByteArray& page, const QByteArray& slot, const QByteArray& address,
                      bool fromSearch) override;
    void SlotClicked(const QByteArray& buttonName) override;
    bool LaunchStored(const QByteArray& page, const QByteArray& slot) override;
    void CurrentPage(PageShown done, const NoPageNotice& notice = {}) override;

    // Browser list.
    void ChangeBrowser(int n);
    void AddBrowserClick();
    void SingleButtonClick(bool single);

    // Manual address box: Enter or a double click with the box's text.
    void URLBoxEnter(const QByteArray& text);
    // Ctrl+Delete on an item of the box.
    void URLBoxDelete(int index);

    // Set around launches from the bookmark search window and the duplicate
    // finder, which leave the window as it is.
    bool LaunchingFromSearch = false;

    // "Lynkor could not read ..." (or another text) and what to do about it.
    QString noPageText(const QString& text = {}) const;

private:
    // The page the browser shows becomes the slot's bookmark.
    void fillFromBrowser(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot, int color);
    // Returns whether the address was handed on (or is being).
    void launchSlot(const QByteArray& page, const QByteArray& slot, const QByteArray& address);
    bool webLaunch(const QByteArray& address, const std::function<void()>& finished);
    bool startBrowsers(const QByteArray& addresses);
    bool startBrowser(const QByteArray& address);
    bool shellLaunch(const QByteArray& page, const QByteArray& slot, const QByteArray& address);
    bool runLauncher(const QByteArray& path);
    void reportStart(const QString& error);
    // What the manual address box found: opened, then remembered.
    void openTyped(const QByteArray& path);
    void rememberTyped(const QByteArray& text);
    void refuse(const QString& what);

    Board& m_board;
    BrowserConversation& m_conversation;
    TWwwDde m_dde;
    ProcessStarter& m_starter;
    QObject m_context; // answers for a launcher that is gone are dropped
    int m_counter = 0;
    bool m_directOpen = false;
    bool m_launched = false; // whether the last Launch handed its address on
    bool m_recentFailureSaid = false;
};
