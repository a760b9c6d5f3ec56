#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

#include "MenuItem.h"

class Board;

// What happens to the window after a launch and at start (tray, task bar,
// mini mode, stealth), the tray icon, the global hotkeys, starting with the
// desktop session, the screen saver, and the two recent lists.
class WindowModes
{
public:
    explicit WindowModes(Board& board) : m_board(board) {}

    // The four mode items share this handler.
    void MStartSmallClick(MenuItem item);
    // Start-up: the stored mode decides whether the window shows.
    void applyStartMode();
    // Start-up, after the board is built: mini mode takes effect.
    void applyMiniMode();
    // After a launch: hide, shrink or minimize as the mode says. Launches
    // from the bookmark search window only shrink to mini mode.
    void AfterLaunch(const QByteArray& notes, bool modes = true);
    // The window was minimized by the user.
    void AppMin();
    // Any press on the page tabs: in mini mode the window first leaves the
    // top of the stack and takes its normal height.
    void TabSet1MouseDown();
    // A click on the tray icon (also hotkey 2).
    void TaskIconClick();
    void HotKeyActivated(int id);

    // Registers the hotkeys of the settings file.
    void SetHotKeys();
    void MHotkeysClick();
    // True while hotkey 2 (show Lynkor) is registered and works.
    bool showHotKeyWorks() const { return m_showHotKeyWorks; }

    void MAutoRunClick();
    void applyAutoRun(bool on);
    void ScreenSaveClick();

    void MMRUClick();
    // Recent bookmarks: "Title  |page::slot".
    static QByteArray recentEntry(const QByteArray& title, const QByteArray& page, const QByteArray& slotKey);
    // The name of a recent entry: the title, or for an untitled bookmark its address.
    static QByteArray recentTitle(const QByteArray& title, const QByteArray& url);
    void addRecentBookmark(const QByteArray& entry);
    // Every file loaded anew goes to the top of the recent files.
    void fileOpened(const QByteArray& path);
    // Opens a recent file.
    void MruList2MruClick(const QByteArray& path);

    // The four mode items and the Location/Tray value each stands for.
    struct Mode
    {
        MenuItem item;
        const char* stored;
    };
    static constexpr Mode kModes[4] = {{MenuItem::MStartSmall, "Yes"},
                                       {MenuItem::MStartBar, "Bar"},
                                       {MenuItem::MMini, "Mini"},
                                       {MenuItem::MHide, "Hide"}};
    static QByteArray storedValue(std::optional<MenuItem> item);

private:
    void setMode(std::optional<MenuItem> item);
    void setMini(bool on);
    void hideWindow();

    Board& m_board;
    bool m_showHotKeyWorks = false;
    bool m_trayMissingSaid = false;
    QStringList m_failedHotKeys;
};
