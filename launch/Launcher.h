#pragma once

#include "Board.h"
#include "WwwDde.h"

#include <QByteArray>

class BrowserConversation;
class ProcessStarter;

// Opening bookmarks: Launch with the browser link or a new browser process,
// programs and documents, the click on a bookmark button, the browser list,
// one or many browser windows, and the manual address box.
class Launcher : public BookmarkLauncher
{
public:
    Launcher(Board& board, BrowserConversation& conversation, ProcessStarter& starter);

    void Launch(const QByteArray& page, const QByteArray& address) override;
    void SlotClicked(const QByteArray& buttonName) override;
    bool LaunchStored(const QByteArray& page, const QByteArray& slot) override;
    bool CurrentPage(QByteArray& title, QByteArray& url) override;

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
    bool LaunchingFromDupes = false;

private:
    // The page the browser shows becomes the slot's bookmark; its address,
    // or "" when the browser gave none.
    QByteArray fillFromBrowser(const QByteArray& page, const QByteArray& slot, int color);
    void webLaunch(const QByteArray& address);
    void shellLaunch(const QByteArray& page, const QByteArray& slot, const QByteArray& address);
    void startBrowser(const QByteArray& address);
    void refuse(const QString& what);

    Board& m_board;
    TWwwDde m_dde;
    ProcessStarter& m_starter;
    int m_counter = 0;
    bool m_directOpen = false;
};
