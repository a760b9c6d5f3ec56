#pragma once

#include "Autostart.h"
#include "BoardState.h"
#include "BookmarkLauncher.h"
#include "Desktop.h"
#include "FormVars.h"
#include "HotkeyService.h"
#include "IconFetcher.h"
#include "LinkImporter.h"
#include "Mailer.h"
#include "ManualUrlList.h"
#include "NetSearcher.h"
#include "PagePasswords.h"
#include "Platform.h"
#include "ProgramFiles.h"
#include "Prompter.h"
#include "RecentList.h"
#include "ScreenSaver.h"
#include "SiteSpeed.h"

#include <QObject>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

class PageDisplay;
class KeyboardNav;
class StartUp;
class WindowModes;
class Passwords;
class RecordOps;
class BookmarkEditor;
class PageCommands;
class PageMerge;
class PageCarrier;
class FileCommands;
class WorkFeed;

// How a user command relates to a bookmark waiting to be placed, or a page
// picked up to be moved.
enum class CommandKind {
    Normal,      // puts a carried bookmark or moved page back first
    WhilePlacing // keeps them (switching pages, putting down, cancelling, closing)
};

// The main window's behaviour (TForm1), free of widgets. It owns the main
// window's variables and the handler groups; the window renders BoardState
// and forwards its events here.
class Board
{
public:
    Board(ProgramFiles& files, BoardState& state, Prompter& ui, Desktop& desktop, Platform platform);
    ~Board();

    // Every entry from the event loop into the board passes here, so that a
    // failure that ends a command is shown, and commands do not overlap.
    // A user command is refused (with a beep) while another one runs or waits
    // for its answer; returns whether it ran.
    bool command(const std::function<void()>& run, CommandKind kind = CommandKind::Normal);
    // What the event loop brings that is no user command: answers of
    // background work, timers, the window's own notifications. Never refused.
    void deliver(const std::function<void()>& run);
    // A command that waits for an answer keeps the board busy (hourglass)
    // while any copy of the returned token lives: the answer's callback holds
    // it and lets it go when done, or when the answer is dropped.
    std::shared_ptr<void> waitForAnswer();
    bool busy() const { return m_running > 0 || m_waiting > 0; }
    // Runs later, from the event loop, once no command runs and nothing waits
    // for an answer; never inside the caller. A question from a delivery
    // waits here: its dialog's event loop could delete what delivered.
    void whenIdle(std::function<void()> run);
    // Long work (reading and writing big files) runs on a worker thread while
    // the window shows its progress with Cancel and keeps working; the board
    // is busy meanwhile. work may use only what it was given (never the
    // board); it reports through the feed and stops when the feed says so.
    // then runs afterwards on the user-interface thread, with whether the
    // user cancelled; a failure that work throws is shown instead.
    void runInBackground(const QString& caption, const QString& text, std::function<void(WorkFeed&)> work,
                         std::function<void(bool cancelled)> then);

    // Answers of background work for the board are bound to this object: they
    // are dropped once the board is gone.
    QObject* context() { return &m_context; }

    ProgramFiles& files() { return m_files; }
    IniStore& store() { return m_files.store(); }
    BoardState& state() { return m_state; }
    Prompter& ui() { return m_ui; }
    Desktop& desktop() { return m_desktop; }
    FormVars& vars() { return m_vars; }
    PageDisplay& pages() { return *m_pages; }
    KeyboardNav& keys() { return *m_keys; }
    StartUp& startUp() { return *m_startUp; }
    WindowModes& modes() { return *m_modes; }
    Passwords& passwords() { return *m_passwords; }
    RecordOps& records() { return *m_records; }
    BookmarkEditor& editor() { return *m_editor; }
    PageCommands& pageCommands() { return *m_pageCommands; }
    PageMerge& pageMerge() { return *m_pageMerge; }
    PageCarrier& pageCarrier() { return *m_pageCarrier; }
    FileCommands& fileCommands() { return *m_fileCommands; }
    HotkeyService& hotkeys() { return *m_platform.hotkeys; }
    Autostart& autostart() { return *m_platform.autostart; }
    ScreenSaver& screenSaver() { return *m_platform.screenSaver; }

    // PagePassBox: the passwords of the protected pages of the open file.
    PagePasswords& PagePassBox() { return m_pagePasswords; }
    // MruList1: recently launched bookmarks of the open file.
    RecentList& MruList1() { return m_mruList1; }
    // MruList2: recently opened bookmark files.
    RecentList& MruList2() { return m_mruList2; }
    // The manual address box's list (ManualURL.txt).
    ManualUrlList& ManualUrls() { return m_manualUrls; }
    // Shows the recent lists as they now are.
    void showRecent();
    // Shows the browser list of the settings file and the selected browser.
    void showBrowsers();

    void setLauncher(BookmarkLauncher* launcher) { m_launcher = launcher; }
    void setIconFetcher(IconFetcher* fetcher) { m_iconFetcher = fetcher; }
    void setMailer(Mailer* mailer) { m_mailer = mailer; }
    Mailer* mailer() const { return m_mailer; }
    void setLinkImporter(LinkImporter* importer) { m_linkImporter = importer; }
    LinkImporter* linkImporter() const { return m_linkImporter; }
    void setSiteSpeed(SiteSpeed* speed) { m_siteSpeed = speed; }
    SiteSpeed* siteSpeed() const { return m_siteSpeed; }
    void setNetSearcher(NetSearcher* searcher) { m_netSearcher = searcher; }
    NetSearcher* netSearcher() const { return m_netSearcher; }
    // AutoIcon when the web layer is there; the icon code, or "" without it.
    QByteArray AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                        const QByteArray& slot, IconFetcher::Title title = IconFetcher::Title::Kept);
    BookmarkLauncher* launcher() const { return m_launcher; }
    // A recent-bookmark entry chosen in the tray menu is launched again.
    void MruList1MruClick(const QByteArray& entry);

    // Start-up: builds the board from the settings and the bookmark file.
    void FormCreate(const QStringList& arguments);
    void FormActivate();
    // Composes the window title from the stem, file, page and today's date.
    void FormCaption();
    void MResetSizeClick();

    enum class HelpItem { Contents, Search, About, HelpButton };
    void MHelpCClick(HelpItem item);

    // "Search for Web Page Icon, Desc. & IP": on or off.
    void MWebIconClick();
    // An on/off menu option: its check mark flips and the settings key follows.
    void toggleOption(MenuItem item, const Setting& setting);
    // The 16 custom colours of the colour dialogs ("ColorA=FFFFFF" ...).
    QStringList GetCustomPalette();
    void SaveCustomPalette(const QStringList& colors);

    // Closing: the window position is saved; the close is always allowed.
    bool FormCloseQuery();
    void SaveLocation();
    // The window has closed: the page-password list goes to the file.
    void FormClose();

    // Another start of the program was handed over to this one, with its
    // command line: the bookmark file it names is opened here (after the
    // questions of File -> Open), else the start is only reported. It runs
    // as a command of its own once the board is idle, never inside the
    // delivery that brought it.
    void OnceInstanceStarted(const QStringList& arguments);
    void NetDetectorChanged(bool online);

    // The window reports where it is.
    void FormMoved(int left, int top);
    void FormStateChanged(bool minimized);

    // A click on a bookmark button (a drop on the button it came from).
    void ButtonClick(const QByteArray& buttonName);

    static constexpr int kHelpContents = 1;
    static constexpr int kHelpAbout = 9;

private:
    // Runs one entry into the core as a running command; a failure that ends
    // it is shown, and what waited for the board to be idle then runs.
    void runGuarded(const std::function<void()>& run);
    // What a user command does first: a carried bookmark or moved page goes back.
    void beginCommand(CommandKind kind);
    void openHandedOver(const QStringList& arguments);
    void report(const QString& text);
    void settle();
    // What waits for the board to be idle runs from a call of its own.
    void postIdleWork();
    void runIdleWork();
    // Once idle, the cursor says whether a bookmark or page is carried.
    void showCarrying();

    QObject m_context;
    int m_running = 0;
    int m_waiting = 0;
    std::deque<std::function<void()>> m_idle;
    std::deque<std::function<void()>> m_later;
    bool m_laterPosted = false;
    QList<QByteArray> m_splitSaid;
    ProgramFiles& m_files;
    BoardState& m_state;
    Prompter& m_ui;
    Desktop& m_desktop;
    Platform m_platform;
    FormVars m_vars;
    PagePasswords m_pagePasswords;
    RecentList m_mruList1{20, 10};
    RecentList m_mruList2{10, 5};
    ManualUrlList m_manualUrls;
    BookmarkLauncher* m_launcher = nullptr;
    IconFetcher* m_iconFetcher = nullptr;
    Mailer* m_mailer = nullptr;
    LinkImporter* m_linkImporter = nullptr;
    SiteSpeed* m_siteSpeed = nullptr;
    NetSearcher* m_netSearcher = nullptr;
    std::unique_ptr<PageDisplay> m_pages;
    std::unique_ptr<KeyboardNav> m_keys;
    std::unique_ptr<StartUp> m_startUp;
    std::unique_ptr<WindowModes> m_modes;
    std::unique_ptr<Passwords> m_passwords;
    std::unique_ptr<RecordOps> m_records;
    std::unique_ptr<BookmarkEditor> m_editor;
    std::unique_ptr<PageCommands> m_pageCommands;
    std::unique_ptr<PageMerge> m_pageMerge;
    std::unique_ptr<PageCarrier> m_pageCarrier;
    std::unique_ptr<FileCommands> m_fileCommands;
};
