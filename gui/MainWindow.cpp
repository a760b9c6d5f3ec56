#include "MainWindow.h"

#include "Alphabetize.h"
#include "AnsiText.h"
#include "Board.h"
#include "BoardGeometry.h"
#include "BookmarkButton.h"
#include "BookmarkCount.h"
#include "BookmarkEditor.h"
#include "BrowserConnect.h"
#include "CommandError.h"
#include "Exchange.h"
#include "FileCommands.h"
#include "IconLibrary.h"
#include "KeyboardNav.h"
#include "Launcher.h"
#include "LinkChecker.h"
#include "LinkCheckerWindow.h"
#include "ManualUrlBox.h"
#include "PageCarrier.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageOutput.h"
#include "Passwords.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "SearchWindow.h"
#include "TabStrip.h"
#include "UserInfo.h"
#include "UserProfile.h"
#include "WinColor.h"
#include "WindowModes.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// What a button, a tool tip or the title bar shows of a value: its start.
constexpr qsizetype kCaptionChars = 256;
constexpr qsizetype kHintChars = 4096;
constexpr qsizetype kTitleChars = 1024;

QString plainToolTip(const QByteArray& hint)
{
    if (hint.isEmpty())
        return {};
    QString text = AnsiText::toUiStart(hint, kHintChars);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Never let a note be taken for markup.
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QPixmap led(bool on)
{
    QPixmap p(12, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(on ? QColor(0, 200, 0) : QColor(150, 150, 150));
    painter.drawEllipse(1, 1, 10, 10);
    return p;
}

} // namespace

MainWindow::MainWindow(Board& board, Prompter& prompter, IconLibrary& icons, Launcher& launcher, Exchange& exchange)
    : m_board(board), m_state(board.state()), m_prompter(prompter), m_icons(icons), m_launcher(launcher),
      m_exchange(exchange), m_alphabetize(board), m_search(board), m_navigator(board)
{
    setObjectName(QStringLiteral("TForm1"));
    // The program's own icon (the desktop entry's) when it has one.
    if (QApplication::windowIcon().isNull())
        setWindowIcon(m_icons.internal(120));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    m_toolBar->setParent(central);
    layout->addWidget(m_toolBar);
    m_panel = new BoardPanel(central);
    m_panel->setObjectName(QStringLiteral("Panel2"));
    m_panel->setAccessibleName(QStringLiteral("Bookmarks"));
    // The board may shrink below its height (mini mode is 88 pixels high).
    m_panel->setMinimumHeight(0);
    m_panel->setMaximumHeight(m_state.panelHeight());
    layout->addWidget(m_panel);
    m_tabs = new TabStrip(central);
    layout->addWidget(m_tabs);
    m_central = layout;
    layout->addStretch(1);
    m_keys = new KeyCatcher(central);
    m_keys->move(0, 0);
    m_keys->lower();
    setCentralWidget(central);
    buildMenus();

    connect(m_keys, &KeyCatcher::keyPressed, this, &MainWindow::onKey);
    // Tab brings the board's keys with a visible selection.
    connect(m_keys, &KeyCatcher::tabbedInto, this, [this] {
        dispatch(
            [this] {
                if (m_board.vars().KeyboardSelection == 0)
                    m_board.keys().KeysKeyDown(KeyboardNav::Key::Down);
            },
            CommandKind::WhilePlacing);
    });
    auto* toAddress = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(toAddress, &QShortcut::activated, this, [this] {
        m_urlBox->setFocus(Qt::ShortcutFocusReason);
        m_urlBox->lineEdit()->selectAll();
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        dispatch([this] { m_board.keys().KeysKeyDown(KeyboardNav::Key::Escape); }, CommandKind::WhilePlacing);
    });
    connect(m_panel, &BoardPanel::dropped, this, &MainWindow::boardDrop);
    connect(m_tabs, &TabStrip::tabRequested, this, [this](int index) {
        dispatch([this, index] { m_board.pages().selectTab(index); }, CommandKind::WhilePlacing);
    });
    connect(m_tabs, &TabStrip::pressed, this, [this] { deliver([this] { m_board.modes().TabSet1MouseDown(); }); });
    connect(m_tabs, &TabStrip::tabDropped, this,
            [this](int to) { dispatch([this, to] { m_board.pageCarrier().TabSet1DragDrop(to); }); });
    connect(m_tabs, &TabStrip::tabRightClicked, this, &MainWindow::tabRightClicked);
    connect(&m_state, &BoardState::volumesChanged, this, &MainWindow::renderVolumes);

    connect(&m_state, &BoardState::buttonsRebuilt, this, &MainWindow::rebuildButtons);
    connect(&m_state, &BoardState::faceChanged, this, &MainWindow::renderFace);
    connect(&m_state, &BoardState::facesChanged, this, &MainWindow::renderFaces);
    connect(&m_state, &BoardState::defaultIconChanged, this, [this] {
        renderFaces();
        m_addBookmark->setIcon(QIcon(m_icons.defaultIcon(m_state.defaultIcon())));
    });
    connect(&m_state, &BoardState::buttonFontChanged, this, &MainWindow::applyButtonFont);
    connect(&m_state, &BoardState::tabsChanged, this, &MainWindow::renderTabs);
    connect(&m_state, &BoardState::tabIndexChanged, this, [this] { m_tabs->setCurrent(m_state.tabIndex()); });
    connect(&m_state, &BoardState::tabStyleChanged, this, [this] { m_tabs->applyStyle(m_state.tabStyle()); });
    connect(&m_state, &BoardState::titleChanged, this, [this] {
        QString t = m_state.title().left(kTitleChars);
        t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        setWindowTitle(t);
    });
    connect(&m_state, &BoardState::panelHeightChanged, this,
            [this] { m_panel->setMaximumHeight(m_state.panelHeight()); });
    connect(&m_state, &BoardState::geometryRequested, this, &MainWindow::applyGeometry);
    connect(&m_state, &BoardState::visibleChanged, this, [this] { setVisible(m_state.visible()); });
    connect(&m_state, &BoardState::itemsChanged, this, &MainWindow::renderItems);
    connect(&m_state, &BoardState::lockedChanged, this, &MainWindow::renderLock);
    connect(&m_state, &BoardState::onlineChanged, this, &MainWindow::renderOnline);
    connect(&m_state, &BoardState::windowRequested, this,
            [this](BoardState::WindowRequest r) { onWindowRequest(static_cast<int>(r)); });
    connect(&m_state, &BoardState::alwaysOnTopChanged, this, &MainWindow::applyAlwaysOnTop);
    connect(&m_state, &BoardState::trayChanged, this, &MainWindow::renderTray);
    connect(&m_state, &BoardState::recentChanged, this, &MainWindow::renderRecent);
    connect(&m_state, &BoardState::trayMenuRequested, this, [this] { m_trayMenu->popup(mapToGlobal(QPoint(0, 0))); });
    connect(&m_board.hotkeys(), &HotkeyService::activated, this,
            [this](int id) { dispatch([this, id] { m_board.modes().HotKeyActivated(id); }); });
    setTabOrder(m_toolBar, m_urlBox);
    setTabOrder(m_urlBox, m_keys);
    connect(&m_state, &BoardState::browsersChanged, this, &MainWindow::renderBrowsers);
    connect(&m_state, &BoardState::manualUrlsChanged, this, [this] { m_urlBox->setUrls(m_state.manualUrls()); });
    buildTray();
    m_state.setTrayAvailable(QSystemTrayIcon::isSystemTrayAvailable());

    m_tabs->applyStyle(m_state.tabStyle());
    applyButtonFont();
    rebuildButtons();
    renderTabs();
    renderItems();
    renderLock();
    renderOnline();
    renderRecent();
    renderTray();
    renderBrowsers();
    m_urlBox->setUrls(m_state.manualUrls());
    setWindowTitle(m_state.title());
    applyGeometry();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLockPanel()
{
    // A locked file offers unlocking and leaving, nothing else. The panel is
    // there only while the file is locked, so that nobody (a screen reader
    // neither) can reach its controls otherwise.
    m_lockPanel = new QWidget(m_central->parentWidget());
    m_lockPanel->setObjectName(QStringLiteral("LockPanel"));
    auto* lockRow = new QHBoxLayout(m_lockPanel);
    auto* unlock = new QPushButton(QStringLiteral("Access Protected File"), m_lockPanel);
    unlock->setObjectName(QStringLiteral("ProgPassButton"));
    unlock->setAccessibleName(unlock->text());
    connect(unlock, &QPushButton::clicked, this,
            [this] { dispatch([this] { m_board.passwords().ProgPassButtonClick(); }); });
    auto* exit = new QPushButton(QStringLiteral("Exit"), m_lockPanel);
    exit->setObjectName(QStringLiteral("LockExit"));
    exit->setAccessibleName(exit->text());
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    lockRow->addWidget(unlock);
    lockRow->addWidget(exit);
    lockRow->addStretch();
    m_central->insertWidget(0, m_lockPanel);
}

void MainWindow::dispatch(const std::function<void()>& command, CommandKind kind)
{
    m_board.command(command, kind);
    focusKeys();
}

void MainWindow::deliver(const std::function<void()>& notice)
{
    m_board.deliver(notice);
}

void MainWindow::focusKeys()
{
    // The address box keeps the focus it was given (Ctrl+L, Tab); everything
    // else gives it back to the board.
    if (isVisible() && !m_state.locked() && !m_urlBox->hasFocus())
        m_keys->setFocus(Qt::OtherFocusReason);
}

QAction* MainWindow::addItem(QMenu* menu, MenuItem item, const QString& caption, const std::function<void()>& command,
                             bool checkable)
{
    return addItem(menu, QString::fromLatin1(MenuItems::nameOf(item)), caption, command, checkable);
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const std::function<void()>& command, bool checkable)
{
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, command] {
        dispatch(command);
        // A check mark shows what is stored, whether or not the command
        // changed anything (it may have refused).
        renderItems();
    });
    m_actions.insert(name, a);
    return a;
}

void MainWindow::buildMenus()
{
    PageDisplay& pages = m_board.pages();
    WindowModes& modes = m_board.modes();
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MFile"));
    m_fileMenu = file;
    FileCommands& files = m_board.fileCommands();
    addItem(file, QStringLiteral("MFNew"), QStringLiteral("&Create New File"), [&files] { files.MFNewClick(); });
    addItem(file, QStringLiteral("MFOpen"), QStringLiteral("&Open Existing File"), [&files] { files.MFOpenClick(); });
    addItem(file, QStringLiteral("MFSaveAs"), QStringLiteral("&Save File As"),
            [&files] { files.MFSaveAsClick(FileCommands::Keep::Both); });
    addItem(file, QStringLiteral("MFRename"), QStringLiteral("&Rename File As"),
            [&files] { files.MFSaveAsClick(FileCommands::Keep::NewOnly); });
    addItem(file, QStringLiteral("MFDelete"), QStringLiteral("&Delete File"), [&files] { files.MFDeleteClick(); });
    file->addSeparator();
    addItem(file, QStringLiteral("MFMerge"), QStringLiteral("&Merge Lynkor File"), [&files] { files.MFMergeClick(); });
    file->addSeparator();
    NetscapeCommands& netscape = m_exchange.netscape();
    addItem(file, QStringLiteral("MImportNS"), QStringLiteral("Import &Netscape Bookmarks"),
            [&netscape] { netscape.MImportNSClick(); });
    QMenu* exportNs = file->addMenu(QStringLiteral("Export Bookmarks to Ne&tscape"));
    exportNs->setObjectName(QStringLiteral("MExportNS"));
    addItem(exportNs, QStringLiteral("MENSFile"), QStringLiteral("Export entire &File"),
            [&netscape] { netscape.MExportNSClick(true); });
    addItem(exportNs, QStringLiteral("MENSPage"), QStringLiteral("Export current &Page"),
            [&netscape] { netscape.MExportNSClick(false); });
    FavoritesCommands& favorites = m_exchange.favorites();
    addItem(file, QStringLiteral("MImportIE"), QStringLiteral("Import &Internet Explorer Bookmarks"),
            [&favorites] { favorites.MImportIEClick(); });
    QMenu* exportIe = file->addMenu(QStringLiteral("Export Bookmarks to Internet Explor&er"));
    exportIe->setObjectName(QStringLiteral("MExportIE"));
    addItem(exportIe, QStringLiteral("MEIEFile"), QStringLiteral("Export entire &File"),
            [&favorites] { favorites.MExportIEClick(true); });
    addItem(exportIe, QStringLiteral("MEIEPage"), QStringLiteral("Export current &Page"),
            [&favorites] { favorites.MExportIEClick(false); });
    WebImport& webImport = m_exchange.webImport();
    addItem(file, QStringLiteral("MWSImport"), QStringLiteral("Import from We&b Page"),
            [&webImport] { webImport.MWSImportClick(WebImport::Source::WebPage); });
    addItem(file, QStringLiteral("MCBImport"), QStringLiteral("Import from C&lipboard"),
            [&webImport] { webImport.MWSImportClick(WebImport::Source::Clipboard); });
    file->addSeparator();
    PageOutput& output = m_exchange.output();
    addItem(file, QStringLiteral("MExportP"), QStringLiteral("Print Bookmarks"),
            [&output] { output.PrintClick(PageOutput::Mode::Print); });
    addItem(file, QStringLiteral("MExportH"), QStringLiteral("Export to HTML"),
            [&output] { output.PrintClick(PageOutput::Mode::Html); });
    addItem(file, QStringLiteral("MExportE"), QStringLiteral("Email Bookmarks"),
            [&output] { output.PrintClick(PageOutput::Mode::Email); });
    file->addSeparator();
    m_diskMenu = file->addMenu(QStringLiteral("Copy &Program to Diskette"));
    m_diskMenu->setObjectName(QStringLiteral("MDrive"));
    // The volumes are looked for each time the menu opens.
    connect(m_diskMenu, &QMenu::aboutToShow, this,
            [this] { deliver([this] { m_board.fileCommands().refreshVolumes(); }); });
    renderVolumes();
    file->addSeparator();
    addItem(file, QStringLiteral("MProgPass"), QStringLiteral("Pass&word Protect File"),
            [this] { m_board.passwords().MProgPassClick(); });
    m_recentFilesBar = file->addSeparator();
    m_recentFilesBar->setObjectName(QStringLiteral("N14"));
    file->addSeparator();
    // Exit is handled by the window itself: it ends the program even while a
    // command waits for an answer.
    auto* exitItem = file->addAction(QStringLiteral("E&xit"));
    exitItem->setObjectName(QStringLiteral("MExit1"));
    connect(exitItem, &QAction::triggered, this, &QWidget::close);
    m_actions.insert(QStringLiteral("MExit1"), exitItem);

    QMenu* setup = menuBar()->addMenu(QStringLiteral("&Setup"));
    setup->setObjectName(QStringLiteral("MSetup"));
    addItem(
        setup, MenuItem::MBIcon, QStringLiteral("&Display Bookmark Icons"), [&pages] { pages.MBIconClick(); }, true);
    addItem(
        setup, MenuItem::MBNotes, QStringLiteral("Display Bookmark &Notes"), [&pages] { pages.MBNotesClick(); }, true);
    addItem(
        setup, MenuItem::MBUrl, QStringLiteral("Display Bookmark &URL"), [&pages] { pages.MBUrlClick(); }, true);
    setup->addSeparator();
    for (int n = 2; n <= 4; ++n)
        addItem(
            setup, MenuItem(static_cast<int>(MenuItem::MColumn2) + n - 2),
            QStringLiteral("&%1 Columns of Bookmarks").arg(n), [&pages, n] { pages.MColumn2Click(n); }, true);
    setup->addSeparator();
    addItem(setup, QStringLiteral("MDBIcon"), QStringLiteral("Change Default &Icon for Bookmarks"),
            [this] { m_board.editor().MDBIconClick(); });
    addItem(setup, QStringLiteral("MFontButton"), QStringLiteral("Change Font for &Buttons"),
            [&pages] { pages.MFontButtonClick(); });
    addItem(setup, QStringLiteral("MResetSize"), QStringLiteral("&Reset Window Size"),
            [this] { m_board.MResetSizeClick(); });
    addItem(setup, QStringLiteral("MChangeUserINfo"), QStringLiteral("Change &User Info"),
            [this] { m_exchange.userInfo().UserButton1Click(); });
    setup->addSeparator();
    const QStringList modeCaptions = {QStringLiteral("Minimize to Task &Tray on bookmark launch"),
                                      QStringLiteral("Minimize to Task &Bar on bookmark launch"),
                                      QStringLiteral("Minimize to Mini &Mode on bookmark launch"),
                                      QStringLiteral("Stealth Mode [Hide] on bookmark launch")};
    for (int i = 0; i < 4; ++i) {
        const MenuItem item = WindowModes::kModes[i].item;
        addItem(
            setup, QString::fromLatin1(MenuItems::nameOf(item)), modeCaptions[i],
            [&modes, item] { modes.MStartSmallClick(item); }, true);
    }
    setup->addSeparator();
    addItem(
        setup, MenuItem::MWebIcon, QStringLiteral("Search for &Web Page Icon, Desc. && IP"),
        [this] { m_board.MWebIconClick(); }, true);
    addItem(
        setup, MenuItem::MBackup, QStringLiteral("&Auto Backup prior to Modification"),
        [this] { m_board.records().MBackupClick(); }, true);
    addItem(
        setup, MenuItem::MNewDlg, QStringLiteral("&Confirm before Erasing a Bookmark"),
        [this] { m_board.editor().MNewDlgClick(); }, true);
    addItem(
        setup, MenuItem::MWebDlg, QStringLiteral("&Confirm before Erasing a Web Icon"),
        [this] { m_board.editor().MWebDlgClick(); }, true);
    setup->addSeparator();
    addItem(
        setup, MenuItem::MMRU, QStringLiteral("Store last 10 bookmarks in &Tray"), [&modes] { modes.MMRUClick(); },
        true);
    addItem(setup, QStringLiteral("MHotkeys"), QStringLiteral("&HotKeys"), [&modes] { modes.MHotkeysClick(); });
    addItem(
        setup, MenuItem::MAutoRun, QStringLiteral("&Load Lynkor during Windows Startup"),
        [&modes] { modes.MAutoRunClick(); }, true);

    m_browserMenu = menuBar()->addMenu(QStringLiteral("&Browsers"));
    m_browserMenu->setObjectName(QStringLiteral("MBrowsers"));
    m_browserBar = m_browserMenu->addSeparator();
    addItem(m_browserMenu, QStringLiteral("MAddBrowser"), QStringLiteral("&Add or Remove Browser from List"),
            [this] { m_launcher.AddBrowserClick(); });
    // Lynkor's extension in the user's browsers: set up, and who is connected.
    m_connectBrowsers = m_browserMenu->addAction(QStringLiteral("&Connect Browsers..."));
    m_connectBrowsers->setObjectName(QStringLiteral("MConnectBrowsers"));
    m_connectBrowsers->setVisible(false);
    connect(m_connectBrowsers, &QAction::triggered, this, [this] {
        if (m_browserConnect)
            dispatch([this] { m_browserConnect->MConnectBrowsersClick(); });
    });
    m_connectedBrowsers = m_browserMenu->addAction(QString());
    m_connectedBrowsers->setObjectName(QStringLiteral("MConnectedBrowsers"));
    m_connectedBrowsers->setEnabled(false);
    m_connectedBrowsers->setVisible(false);
    connect(&m_state, &BoardState::connectedBrowsersChanged, this, &MainWindow::renderConnectedBrowsers);
    m_browserMenu->addSeparator();
    addItem(
        m_browserMenu, MenuItem::MMultiple, QStringLiteral("Use &Multiple Browser Windows"),
        [this] { m_launcher.SingleButtonClick(false); }, true);
    addItem(
        m_browserMenu, MenuItem::MSingle, QStringLiteral("Use &Single Browser Window"),
        [this] { m_launcher.SingleButtonClick(true); }, true);

    QMenu* bookmarks = menuBar()->addMenu(QStringLiteral("B&ookmarks"));
    m_bookmarksMenu = bookmarks;
    bookmarks->setObjectName(QStringLiteral("MBookmarks"));
    addItem(bookmarks, MenuItem::MUndo, QStringLiteral("&Undo last Edit"), [this] { m_board.records().MUndoClick(); });
    addItem(bookmarks, QStringLiteral("MAlpha"), QStringLiteral("&Alphabetize"),
            [this] { m_alphabetize.AlphaButtonClick(); });
    // Opened by the window itself: the search window is no command but a
    // window whose controls are.
    auto* searchItem = bookmarks->addAction(QStringLiteral("&Search Lynkor"));
    searchItem->setObjectName(QStringLiteral("MSearch"));
    connect(searchItem, &QAction::triggered, this, &MainWindow::openSearch);
    m_actions.insert(searchItem->objectName(), searchItem);
    addItem(bookmarks, QStringLiteral("MSearchNet"), QStringLiteral("Search the &Internet"),
            [this] { searchTheInternet(); });
    addItem(bookmarks, QStringLiteral("MCount"), QStringLiteral("&Count Bookmarks"), [this] {
        BookmarkCount count(m_board);
        count.MCountClick();
    });

    QMenu* tabs = menuBar()->addMenu(QStringLiteral("Page &Tabs"));
    tabs->setObjectName(QStringLiteral("MTabs"));
    m_tabsMenu = tabs;
    PageCommands& pageCommands = m_board.pageCommands();
    PageCarrier& carrier = m_board.pageCarrier();
    addItem(tabs, QStringLiteral("MAddPageTab1"), QStringLiteral("&Add Page"),
            [&pageCommands] { pageCommands.MAddPageTab1Click(); });
    addItem(tabs, QStringLiteral("MDeletePageTab1"), QStringLiteral("&Delete Page"),
            [&pageCommands] { pageCommands.MDeletePageTab1Click(); });
    addItem(tabs, QStringLiteral("MChangePageTabName1"), QStringLiteral("Change &Name on Page Tab"),
            [&pageCommands] { pageCommands.MChangePageTabName1Click(); });
    addItem(tabs, QStringLiteral("GoTo1"), QStringLiteral("&Go to..."), [this] { m_navigator.GoPageBtnClick(); });
    // What a right-click on the tab opens, for the keyboard.
    auto* options = tabs->addAction(QStringLiteral("Page &Options..."));
    options->setObjectName(QStringLiteral("MPageOptions"));
    connect(options, &QAction::triggered, this, [this] { tabRightClicked(m_state.tabIndex()); });
    m_actions.insert(options->objectName(), options);
    tabs->addSeparator();
    addItem(tabs, QStringLiteral("MMovePageTab1"), QStringLiteral("&Move Page"),
            [&carrier] { carrier.MMovePageTab1Click(); });
    addItem(tabs, QStringLiteral("MCopyPageTab"), QStringLiteral("&Copy Page"),
            [&carrier] { carrier.MCopyPageTabClick(); });
    // The keyboard's way to put a carried page down: left of the page shown.
    auto* putPage = tabs->addAction(QStringLiteral("Put Page &Here"));
    putPage->setObjectName(QString::fromLatin1(MenuItems::nameOf(MenuItem::MPutPage)));
    connect(putPage, &QAction::triggered, this, [this, &carrier] {
        dispatch([this, &carrier] { carrier.putDown(m_state.tabIndex()); }, CommandKind::WhilePlacing);
        renderItems();
    });
    m_actions.insert(putPage->objectName(), putPage);
    // The same for selected bookmarks: onto the page shown.
    auto* putBookmarks = tabs->addAction(QStringLiteral("Put Bookmarks H&ere"));
    putBookmarks->setObjectName(QString::fromLatin1(MenuItems::nameOf(MenuItem::MPutBookmarks)));
    connect(putBookmarks, &QAction::triggered, this, [this, &carrier] {
        dispatch([this, &carrier] { carrier.putDown(m_state.tabIndex()); }, CommandKind::WhilePlacing);
        renderItems();
    });
    m_actions.insert(putBookmarks->objectName(), putBookmarks);
    tabs->addSeparator();
    addItem(tabs, QStringLiteral("MEraseB"), QStringLiteral("&Erase All bookmarks from Page"),
            [&pageCommands] { pageCommands.MEraseBClick(); });
    addItem(tabs, QStringLiteral("MAlphaPageTab1"), QStringLiteral("Alphabetize All Page Tab Names"),
            [&pageCommands] { pageCommands.MAlphaPageTab1Click(); });
    addItem(tabs, QStringLiteral("MEMailPage"), QStringLiteral("EMail Page of &Bookmarks"),
            [&pageCommands] { pageCommands.MChangePageTabName1Click(PageCommands::Sender::EMailMenu); });
    tabs->addSeparator();
    addItem(tabs, QStringLiteral("MFontTab"), QStringLiteral("Change &Font for Tabs"),
            [&pageCommands] { (void)pageCommands.MFontTabClick(); });
    addItem(tabs, QStringLiteral("MChangeColor2"), QStringLiteral("Change Color of &Selected Tab"),
            [&pageCommands] { pageCommands.MChangeColor2Click(PageCommands::Tabs::Selected); });
    addItem(tabs, QStringLiteral("MChangeColor1"), QStringLiteral("Change Color of &Unselected Tabs"),
            [&pageCommands] { pageCommands.MChangeColor2Click(PageCommands::Tabs::Unselected); });
    tabs->addSeparator();
    addItem(
        tabs, MenuItem::MPagePass, QStringLiteral("&Password Protect Page"),
        [this] { m_board.passwords().MPagePassClick(); }, true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MHelp"));
    addItem(help, QStringLiteral("MHelpC"), QStringLiteral("Help &Contents"),
            [this] { m_board.MHelpCClick(Board::HelpItem::Contents); });
    addItem(help, QStringLiteral("MHelpS"), QStringLiteral("Help &Search"),
            [this] { m_board.MHelpCClick(Board::HelpItem::Search); });
    help->addSeparator();
    addItem(help, QStringLiteral("MHelpA"), QStringLiteral("&About"),
            [this] { m_board.MHelpCClick(Board::HelpItem::About); });
    m_menus = {file, setup, m_browserMenu, bookmarks, tabs, help};
}

void MainWindow::buildTray()
{
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("TaskIcon"));
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("PopupMenu5"));
    // Profile fields, bookmark fields and text files, for pasting into forms.
    UserInfo& user = m_exchange.userInfo();
    auto copyItem = [this](const QString& name, const QString& caption, const std::function<void()>& command) {
        QAction* a = m_trayMenu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, command] { dispatch(command); });
    };
    for (const UserProfile::Field& f : UserProfile::Fields()) {
        const QByteArray key = f.key;
        if (*f.trayCaption)
            copyItem(QString::fromLatin1(key), QString::fromLatin1(f.trayCaption),
                     [&user, key] { user.FirstClick(key); });
        if (key == "Last")
            copyItem(QStringLiteral("Full"), QStringLiteral("Copy 'Full Name' to Clipboard"),
                     [&user] { user.FirstClick("Full"); });
    }
    m_trayMenu->addSeparator();
    copyItem(QStringLiteral("UserID1"), QStringLiteral("Copy Bookmark 'Keywords' to Clipboard"),
             [&user] { user.UserID1Click("UserID1"); });
    copyItem(QStringLiteral("WebPass"), QStringLiteral("Copy Bookmark 'Extra info' to Clipboard"),
             [&user] { user.UserID1Click("WebPass"); });
    copyItem(QStringLiteral("Text"), QStringLiteral("Copy Text File to Clipboard"), [&user] { user.TextClick(); });
    m_trayBar = m_trayMenu->addSeparator();
    m_trayBar->setObjectName(QStringLiteral("Pop5Bar"));
    m_trayMenu->addSeparator();
    QAction* exit = m_trayMenu->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("PopExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            dispatch([this] { m_board.modes().TaskIconClick(); });
    });
}

void MainWindow::renderTray()
{
    m_tray->setToolTip(m_state.trayTip());
    m_tray->setVisible(m_state.trayIconVisible());
}

void MainWindow::renderVolumes()
{
    m_diskMenu->clear();
    const auto& volumes = m_state.volumes();
    if (volumes.isEmpty()) {
        QAction* none = m_diskMenu->addAction(QStringLiteral("No removable drive is mounted"));
        none->setEnabled(false);
        return;
    }
    for (const RemovableVolumes::Volume& v : volumes) {
        QAction* a = m_diskMenu->addAction(QStringLiteral("Copy to %1").arg(v.name));
        a->setCheckable(true);
        a->setChecked(v.path == m_state.chosenVolume());
        a->setToolTip(PathNames::toQt(v.path));
        const QByteArray path = v.path;
        connect(a, &QAction::triggered, this,
                [this, path] { dispatch([this, path] { m_board.fileCommands().MADriveClick(path); }); });
    }
}

void MainWindow::searchTheInternet()
{
    if (NetSearcher* searcher = m_board.netSearcher())
        searcher->SearchNetButtonClick();
    m_keys->setFocus();
}

void MainWindow::tabRightClicked(int index)
{
    bool offer = false;
    dispatch(
        [this, index, &offer] {
            PageCarrier& carrier = m_board.pageCarrier();
            if (carrier.carrying())
                carrier.putDown(index);
            else
                offer = m_board.pageCommands().TabSet1RightClick(index);
        },
        CommandKind::WhilePlacing);
    if (offer)
        dispatch([this] { m_board.pageCommands().MChangePageTabName1Click(PageCommands::Sender::TabStrip); });
    renderItems();
}

void MainWindow::renderRecent()
{
    qDeleteAll(m_recentFileItems);
    m_recentFileItems.clear();
    const auto files = m_state.recentFiles();
    QAction* before = m_fileMenu->actions().value(m_fileMenu->actions().indexOf(m_recentFilesBar) + 1);
    for (int i = 0; i < files.size(); ++i) {
        const QByteArray path = files[i];
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(PathNames::toQt(path)), m_fileMenu);
        connect(a, &QAction::triggered, this,
                [this, path] { dispatch([this, path] { m_board.modes().MruList2MruClick(path); }); });
        m_fileMenu->insertAction(before, a);
        m_recentFileItems << a;
    }
    m_recentFilesBar->setVisible(!files.isEmpty());

    qDeleteAll(m_trayRecentItems);
    m_trayRecentItems.clear();
    QAction* after = m_trayMenu->actions().value(m_trayMenu->actions().indexOf(m_trayBar) + 1);
    for (const QByteArray& entry : m_state.recentBookmarks()) {
        if (entry.isEmpty())
            continue;
        auto* a = new QAction(AnsiText::toUi(entry), m_trayMenu);
        a->setCheckable(true);
        a->setChecked(entry == m_state.currentRecent());
        connect(a, &QAction::triggered, this,
                [this, entry] { dispatch([this, entry] { m_board.MruList1MruClick(entry); }); });
        m_trayMenu->insertAction(after, a);
        m_trayRecentItems << a;
    }
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QWidget;
    m_toolBar->setObjectName(QStringLiteral("Panel1"));
    m_toolBar->setAccessibleName(QStringLiteral("Tool bar"));
    auto* row = new QHBoxLayout(m_toolBar);
    row->setContentsMargins(2, 2, 1, 2);
    // Tight, so that the tool bar fits the window's first width (620).
    row->setSpacing(0);
    auto makeButton = [this, row](const QString& name, const QString& hint, const QPixmap& icon, const QString& text,
                                  const std::function<void()>& command) {
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoRaise(true);
        if (icon.isNull()) {
            b->setText(text);
        } else {
            b->setIcon(QIcon(icon));
        }
        // A button that opens a window of its own is connected by its caller.
        if (command)
            connect(b, &QToolButton::clicked, this, [this, command] { dispatch(command); });
        row->addWidget(b);
        return b;
    };
    auto silk = [](const char* name) {
        return QPixmap(QStringLiteral(":/icons/silk/%1.png").arg(QLatin1String(name)));
    };
    m_addBookmark =
        makeButton(QStringLiteral("AddBookmark"), QStringLiteral("Bookmark current Web Page"), m_icons.internal(120),
                   QStringLiteral("+"), [this] { m_board.editor().AddBookmarkClick(); });
    WebImport& webImport = m_exchange.webImport();
    makeButton(QStringLiteral("WebIn"), QStringLiteral("Import links from current Web Page"), silk("world_link"),
               QStringLiteral("Links"), [&webImport] { webImport.MWSImportClick(WebImport::Source::WebPage); });
    // A page or file icon with a small sign in its corner.
    auto badged = [&silk](const char* base, const char* sign) {
        QPixmap p = silk(base);
        QPainter painter(&p);
        painter.drawPixmap(QRect(p.width() / 2, p.height() / 2, p.width() / 2, p.height() / 2), silk(sign));
        return p;
    };
    FileCommands& files = m_board.fileCommands();
    makeButton(QStringLiteral("OpenButton1"), QStringLiteral("Open Existing Lynkor File"), silk("folder"),
               QStringLiteral("Open"), [&files] { files.MFOpenClick(); });
    makeButton(QStringLiteral("DiskButton"), QStringLiteral("Copy Bookmarks to Diskette"), silk("drive"),
               QStringLiteral("Disk"), [&files] { files.DiskButtonClick(); });
    makeButton(QStringLiteral("AddPageBtn"), QStringLiteral("Add a new page to Lynkor"), badged("tab", "add"),
               QStringLiteral("+Page"), [this] { m_board.pageCommands().MAddPageTab1Click(); });
    makeButton(QStringLiteral("DeletePageBtn"), QStringLiteral("Delete page from Lynkor"), badged("tab", "delete"),
               QStringLiteral("-Page"), [this] { m_board.pageCommands().MDeletePageTab1Click(); });
    makeButton(QStringLiteral("HomeButton"), QStringLiteral("Go to the first page"), silk("resultset_first"),
               QStringLiteral("|<"), [this] { m_board.pages().HomeButtonClick(); });
    makeButton(QStringLiteral("EndButton"), QStringLiteral("Go to the last page"), silk("resultset_last"),
               QStringLiteral(">|"), [this] { m_board.pages().EndButtonClick(); });
    makeButton(QStringLiteral("GoPageBtn"), QStringLiteral("Go to a specific page in Lynkor"),
               badged("tab", "arrow_right"), QStringLiteral("Go"), [this] { m_navigator.GoPageBtnClick(); });
    m_browserButton =
        makeButton(QStringLiteral("BrowserButton1"), QStringLiteral("Select Default Browser for Lynkor"), silk("world"),
                   QStringLiteral("Browser"), [this] { m_browserMenu->popup(pos() + QPoint(4, 77)); });
    auto* single = makeButton(QString::fromLatin1(MenuItems::nameOf(MenuItem::SingleButton)),
                              QStringLiteral("Use current Browser window on Launch"), silk("application"),
                              QStringLiteral("1"), [this] { m_launcher.SingleButtonClick(true); });
    auto* multiple = makeButton(QString::fromLatin1(MenuItems::nameOf(MenuItem::MultButton)),
                                QStringLiteral("Open another Browser window on Launch"), silk("application_cascade"),
                                QStringLiteral("n"), [this] { m_launcher.SingleButtonClick(false); });
    single->setCheckable(true);
    multiple->setCheckable(true);
    makeButton(QStringLiteral("AlphaButton"), QStringLiteral("Alphabetize Bookmarks"), silk("application_view_list"),
               QStringLiteral("A-Z"), [this] { m_alphabetize.AlphaButtonClick(); });
    QToolButton* search = makeButton(QStringLiteral("SearchLynkorButton"), QStringLiteral("Search Lynkor Bookmarks"),
                                     silk("magnifier"), QStringLiteral("Find"), {});
    connect(search, &QToolButton::clicked, this, &MainWindow::openSearch);
    makeButton(QStringLiteral("SearchNetButton"), QStringLiteral("Search the World Wide Web"),
               badged("world", "magnifier"), QStringLiteral("Web"), [this] { searchTheInternet(); });
    PageOutput& output = m_exchange.output();
    makeButton(QStringLiteral("Print"), QStringLiteral("Print Bookmarks"), silk("printer"), QStringLiteral("Print"),
               [&output] { output.PrintClick(PageOutput::Mode::Print); });
    makeButton(QStringLiteral("HTML"), QStringLiteral("Export Bookmarks to HTML"), silk("html"), QStringLiteral("HTML"),
               [&output] { output.PrintClick(PageOutput::Mode::Html); });
    makeButton(QStringLiteral("Email1"), QStringLiteral("Email Bookmarks"), silk("email"), QStringLiteral("Mail"),
               [&output] { output.PrintClick(PageOutput::Mode::Email); });
    makeButton(QStringLiteral("ScreenSave"), QStringLiteral("Start the Screen Saver"), silk("monitor"),
               QStringLiteral("Saver"), [this] { m_board.modes().ScreenSaveClick(); });
    QToolButton* user =
        makeButton(QStringLiteral("UserButton1"), QStringLiteral("Change User Information"), silk("user"),
                   QStringLiteral("User"), [this] { m_exchange.userInfo().UserButton1Click(); });
    // The user's own picture, when there is one beside the settings.
    const ProgramFiles& programFiles = m_board.files();
    for (const QByteArray& name : {QByteArray("user.bmp"), programFiles.SettingsStem() + ".bmp"}) {
        const QPixmap picture(PathNames::toQt(programFiles.fixedFile(name)));
        if (!picture.isNull())
            user->setIcon(QIcon(picture));
    }
    makeButton(QStringLiteral("HelpButton1"), QStringLiteral("Search for Help"), silk("help"), QStringLiteral("?"),
               [this] { m_board.MHelpCClick(Board::HelpItem::HelpButton); });
    m_urlBox = new ManualUrlBox(m_toolBar);
    connect(m_urlBox, &ManualUrlBox::entered, this,
            [this](const QByteArray& text) { dispatch([this, text] { m_launcher.URLBoxEnter(text); }); });
    connect(m_urlBox, &ManualUrlBox::forgetRequested, this,
            [this](int index) { dispatch([this, index] { m_launcher.URLBoxDelete(index); }); });
    row->addSpacing(3);
    row->addWidget(m_urlBox, 1);
    row->addSpacing(3);
    m_dialUp = new QLabel(m_toolBar);
    m_dialUp->setObjectName(QStringLiteral("DialUp"));
    row->addWidget(m_dialUp);
}

BookmarkButton* MainWindow::button(const QString& name) const
{
    for (BookmarkButton* b : m_buttons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void MainWindow::rebuildButtons()
{
    const auto& faces = m_state.buttons();
    while (m_buttons.size() > faces.size()) {
        delete m_buttons.back();
        m_buttons.pop_back();
    }
    while (m_buttons.size() < faces.size()) {
        const int index = static_cast<int>(m_buttons.size());
        auto* b = new BookmarkButton(QString::fromLatin1(faces[index].name), m_panel);
        b->setFont(m_panel->font());
        connect(b, &BookmarkButton::pressed, this, [this, b](Qt::MouseButton m) { buttonPressed(b, m); });
        connect(b, &BookmarkButton::released, this, [this, b](const QPoint& at) { buttonReleased(b, at); });
        // A press through the accessibility interface is a click.
        connect(b, &QAbstractButton::clicked, this, [this, b] {
            const QByteArray name = b->objectName().toLatin1();
            dispatch([this, name] { m_board.ButtonClick(name); }, CommandKind::WhilePlacing);
        });
        // Focus asked for through it: the board's keys, with this button selected.
        b->setKeyboard(m_keys);
        connect(b, &BookmarkButton::keyboardRequested, this, [this, b] {
            if (!m_keys->isVisible())
                return;
            m_keys->setFocus(Qt::OtherFocusReason);
            const QByteArray name = b->objectName().toLatin1();
            dispatch([this, name] { m_board.keys().SelectButton(name); }, CommandKind::WhilePlacing);
        });
        m_buttons.push_back(b);
        b->show();
    }
    for (size_t i = 0; i < faces.size(); ++i) {
        m_buttons[i]->setObjectName(QString::fromLatin1(faces[i].name));
        m_buttons[i]->setGeometry(faces[i].left, faces[i].top, faces[i].width, faces[i].height);
    }
    renderFaces();
}

void MainWindow::renderFace(int index)
{
    if (index < 0 || index >= static_cast<int>(m_buttons.size()))
        return;
    const ButtonFace& f = m_state.buttons()[index];
    BookmarkButton* b = m_buttons[index];
    const QString caption = AnsiText::toUiStart(f.caption, kCaptionChars);
    b->setText(caption);
    b->setToolTip(plainToolTip(f.hint));
    // A blank button can be found and filled too.
    const QString slot = QString::fromLatin1(f.slotKey());
    b->setAccessibleName(!caption.isEmpty() ? caption
                         : f.handCursor     ? QStringLiteral("Bookmark ") + slot
                                            : QStringLiteral("Blank ") + slot);
    b->setAccessibleDescription(AnsiText::toUiStart(f.hint, kHintChars));
    b->setCaptionColor(WinColor::toQColor(f.color));
    b->setGlyph(m_icons.glyph(f.glyph, m_state.defaultIcon()));
    b->setMargin(f.margin);
    const bool selected = f.margin == BoardGeometry::kSelectedMargin;
    if (selected != b->isSelected()) {
        b->setSelected(selected);
        // The selection is where the keyboard is: tell assistive technology.
        if (selected && m_keys->hasFocus() && QAccessible::isActive()) {
            QAccessibleEvent event(b, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
    b->setEnabled(f.enabled);
    b->setCursor(f.handCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (b->geometry() != QRect(f.left, f.top, f.width, f.height))
        b->setGeometry(f.left, f.top, f.width, f.height);
}

void MainWindow::renderFaces()
{
    for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i)
        renderFace(i);
}

void MainWindow::applyButtonFont()
{
    QFont f(AnsiText::toUi(m_state.buttonFontName()));
    f.setPointSize(m_state.buttonFontSize() > 0 ? m_state.buttonFontSize() : 9);
    m_panel->setFont(f);
    for (BookmarkButton* b : m_buttons)
        b->setFont(f);
}

void MainWindow::renderTabs()
{
    QStringList names;
    for (const QByteArray& t : m_state.tabs())
        names << AnsiText::toUi(t);
    m_tabs->setPages(names, m_state.tabIndex());
}

void MainWindow::renderItems()
{
    for (MenuItem item : {MenuItem::SingleButton, MenuItem::MultButton})
        if (auto* b = m_toolBar->findChild<QToolButton*>(QString::fromLatin1(MenuItems::nameOf(item))))
            b->setChecked(m_state.checked(item));
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
        // Items without a state of their own (commands) are always there.
        const std::optional<MenuItem> item = MenuItems::named(it.key().toLatin1());
        const MenuItemState s = item ? m_state.item(*item) : MenuItemState{};
        if (it.value()->isCheckable())
            it.value()->setChecked(s.checked);
        it.value()->setEnabled(s.enabled);
        it.value()->setVisible(s.visible);
    }
}

void MainWindow::renderLock()
{
    const bool locked = m_state.locked();
    // What a locked file hides cannot be reached otherwise either: its menus
    // leave the menu bar (a screen reader finds nothing in them), the tool
    // bar and the tabs take no press.
    for (QMenu* m : m_menus) {
        m->menuAction()->setVisible(!locked);
        if (locked)
            menuBar()->removeAction(m->menuAction());
    }
    if (!locked && menuBar()->actions().isEmpty())
        for (QMenu* m : m_menus)
            menuBar()->addAction(m->menuAction());
    m_toolBar->setVisible(!locked);
    m_toolBar->setEnabled(!locked);
    m_tabs->setVisible(m_state.tabStripVisible());
    m_tabs->setLive(m_state.tabStripVisible());
    if (locked && !m_lockPanel) {
        buildLockPanel();
    } else if (!locked && m_lockPanel) {
        // Its button may be the one whose click unlocked the file.
        m_lockPanel->hide();
        m_lockPanel->deleteLater();
        m_lockPanel = nullptr;
    }
    // The tray offers only leaving while the file is locked (PopupMenu1).
    for (QAction* a : m_trayMenu->actions())
        if (a->objectName() != QLatin1String("PopExit"))
            a->setVisible(!locked);
    if (locked)
        m_lockPanel->findChild<QPushButton*>(QStringLiteral("ProgPassButton"))->setFocus();
}

void MainWindow::renderOnline()
{
    m_dialUp->setPixmap(led(m_state.online()));
    m_dialUp->setToolTip(m_state.onlineHint());
    m_dialUp->setAccessibleName(m_state.onlineHint());
}

void MainWindow::applyGeometry()
{
    const WindowGeometry& g = m_state.geometry();
    m_applyingGeometry = true;
    move(g.left, g.top);
    resize(g.width, g.height);
    m_applyingGeometry = false;
    reportSize();
}

int MainWindow::toolBarHeight() const
{
    return m_toolBar->isVisible() ? m_toolBar->sizeHint().height() : 0;
}

int MainWindow::tabStripHeight() const
{
    return m_tabs->isVisible() ? m_tabs->sizeHint().height() : 0;
}

void MainWindow::reportSize()
{
    // The window has no frame of its own: its client width is its width.
    const int clientHeight = height() - (menuBar()->isVisible() ? menuBar()->sizeHint().height() : 0);
    m_board.pages().FormResize(width(), width(), clientHeight, tabStripHeight(), toolBarHeight());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    deliver([this] { reportSize(); });
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    m_board.FormMoved(pos().x(), pos().y());
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    m_board.FormStateChanged(isMinimized());
    if (isMinimized() && !m_minimizing)
        deliver([this] { m_board.modes().AppMin(); });
}

void MainWindow::onWindowRequest(int request)
{
    if (request == static_cast<int>(BoardState::WindowRequest::Minimize)) {
        m_minimizing = true;
        showMinimized();
        m_minimizing = false;
        return;
    }
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::applyAlwaysOnTop()
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_state.alwaysOnTop());
    // Changing the flags hides the window.
    if (visible)
        show();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        deliver([this] { m_board.FormActivate(); });
    }
    focusKeys();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing is never refused, not even while a command waits for an answer.
    bool allowed = true;
    deliver([this, &allowed] {
        m_board.FormMoved(pos().x(), pos().y());
        allowed = m_board.FormCloseQuery();
    });
    if (!allowed) {
        event->ignore();
        return;
    }
    deliver([this] { m_board.FormClose(); });
    event->accept();
    emit closed();
}

void MainWindow::onKey(QKeyEvent* event)
{
    using Key = KeyboardNav::Key;
    Key key = Key::Other;
    switch (event->key()) {
    case Qt::Key_F1:
        key = Key::F1;
        break;
    case Qt::Key_F7:
        key = Key::F7;
        break;
    case Qt::Key_F9:
        key = Key::F9;
        break;
    case Qt::Key_Left:
        key = Key::Left;
        break;
    case Qt::Key_Right:
        key = Key::Right;
        break;
    case Qt::Key_Up:
        key = Key::Up;
        break;
    case Qt::Key_Down:
        key = Key::Down;
        break;
    case Qt::Key_PageUp:
        key = Key::PageUp;
        break;
    case Qt::Key_PageDown:
        key = Key::PageDown;
        break;
    case Qt::Key_Home:
        key = Key::Home;
        break;
    case Qt::Key_End:
        key = Key::End;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = Key::Enter;
        break;
    case Qt::Key_Space:
        key = Key::Space;
        break;
    case Qt::Key_Menu:
        key = Key::Menu;
        break;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier)
            key = Key::Menu;
        break;
    default:
        break;
    }
    if (key != Key::Other) {
        dispatch([this, key] { m_board.keys().KeysKeyDown(key); }, CommandKind::WhilePlacing);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        dispatch([this, text] { m_board.keys().KeysKeyPress(text); }, CommandKind::WhilePlacing);
}

void MainWindow::buttonPressed(BookmarkButton* button, Qt::MouseButton mouse)
{
    const QByteArray name = button->objectName().toLatin1();
    bool drag = false;
    dispatch(
        [this, name, mouse, &drag] {
            drag =
                m_board.editor().BitBtn1MouseDown(name, mouse == Qt::RightButton ? BookmarkEditor::MouseButton::Right
                                                                                 : BookmarkEditor::MouseButton::Left);
        },
        CommandKind::WhilePlacing);
    m_dragSource = drag ? button->objectName() : QString();
    if (drag)
        QApplication::setOverrideCursor(Qt::DragMoveCursor);
}

void MainWindow::buttonReleased(BookmarkButton*, const QPoint& boardPoint)
{
    if (m_dragSource.isEmpty())
        return;
    QApplication::restoreOverrideCursor();
    const QByteArray source = m_dragSource.toLatin1();
    m_dragSource.clear();
    // Only a drop on a bookmark button counts; anywhere else nothing happens.
    auto* target = qobject_cast<BookmarkButton*>(m_panel->childAt(boardPoint));
    if (!target)
        return;
    const QByteArray name = target->objectName().toLatin1();
    dispatch([this, name, source] { m_board.editor().ButtonDragDrop(name, source); }, CommandKind::WhilePlacing);
}

void MainWindow::boardDrop(QDropEvent* event)
{
    const BookmarkEditor::Dropped item = BookmarkEditor::droppedFrom(*event->mimeData());
    if (item.path.isEmpty() && item.url.isEmpty())
        return;
    event->acceptProposedAction();
    const QPoint at = event->position().toPoint();
    const int width = m_panel->width();
    dispatch([this, item, at, width] { m_board.editor().FilesDropped(item, at, width); });
}

void MainWindow::renderBrowsers()
{
    qDeleteAll(m_browserItems);
    m_browserItems.clear();
    const auto& browsers = m_state.browsers();
    for (int i = 0; i < browsers.size(); ++i) {
        const int n = i + 1;
        auto* a = new QAction(PathNames::toQt(PathNames::fileName(browsers[i])), m_browserMenu);
        a->setObjectName(QStringLiteral("Browser%1").arg(n));
        a->setCheckable(true);
        a->setChecked(n == m_state.browserIndex());
        connect(a, &QAction::triggered, this, [this, n] { dispatch([this, n] { m_launcher.ChangeBrowser(n); }); });
        m_browserMenu->insertAction(m_browserBar, a);
        m_browserItems << a;
    }
    m_browserBar->setVisible(!browsers.isEmpty());
    const int index = m_state.browserIndex() - 1;
    QIcon icon;
    if (index >= 0 && index < browsers.size()) {
        const QString path = PathNames::toQt(browsers[index]);
        icon = QIcon::fromTheme(QFileInfo(path).fileName());
        if (icon.isNull())
            icon = QFileIconProvider().icon(QFileInfo(path));
    }
    m_browserButton->setIcon(icon.isNull() ? QIcon(m_icons.internal(120)) : icon);
}

void MainWindow::setBrowserConnect(BrowserConnect* connect)
{
    m_browserConnect = connect;
    m_connectBrowsers->setVisible(connect != nullptr);
    renderConnectedBrowsers();
}

void MainWindow::renderConnectedBrowsers()
{
    const QStringList names = m_state.connectedBrowsers();
    const QString off = m_state.browserLinkOff();
    m_connectedBrowsers->setText(!off.isEmpty() ? QStringLiteral("Browser link off: %1").arg(off)
                                 : names.isEmpty()
                                     ? QStringLiteral("No browser connected")
                                     : QStringLiteral("Connected: %1").arg(names.join(QStringLiteral(", "))));
    m_connectedBrowsers->setVisible(m_browserConnect != nullptr);
}

void MainWindow::openSearch()
{
    if (!m_searchWindow)
        m_searchWindow = new SearchWindow(
            m_search, [this](const std::function<void()>& command) { dispatch(command); }, this);
    m_searchWindow->open();
}

void MainWindow::setLinkChecker(LinkChecker* checker)
{
    m_linkChecker = checker;
    // The checker's window, opened after its chooser as a command of its own.
    auto open = [this] {
        m_linkChecker->FormActivate();
        if (!m_linkCheckerWindow)
            m_linkCheckerWindow = new LinkCheckerWindow(
                *m_linkChecker, [this](const std::function<void()>& command) { dispatch(command); }, this);
        m_linkCheckerWindow->show();
        m_linkCheckerWindow->raise();
        m_linkCheckerWindow->activateWindow();
    };
    QAction* item = m_bookmarksMenu->addAction(QStringLiteral("Check &Links"));
    item->setObjectName(QStringLiteral("MCheckLinks"));
    connect(item, &QAction::triggered, this, open);
    m_actions.insert(item->objectName(), item);
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QStringLiteral("CheckBtn"));
    button->setToolTip(QStringLiteral("Check for valid and updated Links."));
    button->setAccessibleName(button->toolTip());
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoRaise(true);
    button->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/silk/link.png"))));
    connect(button, &QToolButton::clicked, this, open);
    auto* row = static_cast<QHBoxLayout*>(m_toolBar->layout());
    QWidget* after = m_toolBar->findChild<QWidget*>(QStringLiteral("Email1"));
    row->insertWidget(after ? row->indexOf(after) + 1 : 0, button);
}
