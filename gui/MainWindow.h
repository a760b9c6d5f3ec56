#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "Alphabetize.h"
#include "Board.h"
#include "BoardPanel.h"
#include "BookmarkSearch.h"
#include "KeyCatcher.h"
#include "ManualUrlBox.h"
#include "PageNavigator.h"

class BoardState;
class Exchange;
class Launcher;
class LinkChecker;
class BrowserConnect;
class LinkCheckerWindow;

class QComboBox;
class BookmarkButton;
class IconLibrary;
class Prompter;
class TabStrip;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QToolButton;

// The main window: renders the board state and forwards every event to the
// board's handlers.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Board& board, Prompter& prompter, IconLibrary& icons, Launcher& launcher, Exchange& exchange);
    ~MainWindow() override;

    // Runs one user command through the board, which refuses it while
    // another runs and shows a failure that ends it.
    void dispatch(const std::function<void()>& command, CommandKind kind = CommandKind::Normal);
    // What the window itself reports (size, place, state): never refused.
    void deliver(const std::function<void()>& notice);

    BookmarkButton* button(const QString& name) const;
    TabStrip* tabStrip() const { return m_tabs; }
    QWidget* keys() const { return m_keys; }
    QAction* action(const QString& name) const { return m_actions.value(name); }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const { return m_trayMenu; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* browserMenu() const { return m_browserMenu; }
    QMenu* tabsMenu() const { return m_tabsMenu; }
    QMenu* diskMenu() const { return m_diskMenu; }
    QComboBox* urlBox() const { return m_urlBox; }
    // The link checker, when the program has the web for it: "Check Links"
    // in the Bookmarks menu and the tool bar open its window.
    void setLinkChecker(LinkChecker* checker);
    // "Connect Browsers" in the Browsers menu, with the connected browsers below it.
    void setBrowserConnect(BrowserConnect* connect);
    // "&Search Lynkor" and the tool bar's magnifier.
    void openSearch();
    LinkCheckerWindow* linkCheckerWindow() const { return m_linkCheckerWindow; }
    class SearchWindow* searchWindow() const { return m_searchWindow; }
    BookmarkSearch& bookmarkSearch() { return m_search; }

    int toolBarHeight() const;
    int tabStripHeight() const;

signals:
    // The window has closed for good (not hidden): the program ends.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    // A command, named as the window names it.
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, const std::function<void()>& command,
                     bool checkable = false);
    // An item whose state the board keeps.
    QAction* addItem(QMenu* menu, MenuItem item, const QString& caption, const std::function<void()>& command,
                     bool checkable = false);
    void rebuildButtons();
    void renderFace(int index);
    void renderFaces();
    void renderTabs();
    void renderItems();
    void renderLock();
    void buildLockPanel();
    void renderOnline();
    void renderTray();
    void renderRecent();
    void renderVolumes();
    // Puts down what is carried, else opens the page's options.
    void tabRightClicked(int index);
    // The Internet search window; its addresses are launched when it closes.
    void searchTheInternet();
    void renderConnectedBrowsers();
    void buildTray();
    void onWindowRequest(int request);
    void applyAlwaysOnTop();
    void renderBrowsers();
    void buttonPressed(BookmarkButton* button, Qt::MouseButton mouse);
    void buttonReleased(BookmarkButton* button, const QPoint& boardPoint);
    void boardDrop(QDropEvent* event);
    void applyGeometry();
    void applyButtonFont();
    void reportSize();
    void onKey(QKeyEvent* event);
    void focusKeys();

    Board& m_board;
    BoardState& m_state;
    Prompter& m_prompter;
    IconLibrary& m_icons;
    Launcher& m_launcher;
    Exchange& m_exchange;
    Alphabetize m_alphabetize;
    BookmarkSearch m_search;
    PageNavigator m_navigator;
    class SearchWindow* m_searchWindow = nullptr;
    QMenu* m_bookmarksMenu = nullptr;
    LinkChecker* m_linkChecker = nullptr;
    BrowserConnect* m_browserConnect = nullptr;
    QAction* m_connectBrowsers = nullptr;
    QAction* m_connectedBrowsers = nullptr;
    LinkCheckerWindow* m_linkCheckerWindow = nullptr;
    QMenu* m_browserMenu = nullptr;
    QList<QAction*> m_browserItems;
    QAction* m_browserBar = nullptr;
    QToolButton* m_browserButton = nullptr;
    ManualUrlBox* m_urlBox = nullptr;
    QToolButton* m_addBookmark = nullptr;
    QString m_dragSource; // the button a left press picked up
    QWidget* m_toolBar = nullptr;
    BoardPanel* m_panel = nullptr;
    TabStrip* m_tabs = nullptr;
    KeyCatcher* m_keys = nullptr;
    QLabel* m_dialUp = nullptr;
    QWidget* m_lockPanel = nullptr; // only while the file is locked
    class QVBoxLayout* m_central = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_tabsMenu = nullptr;
    QMenu* m_diskMenu = nullptr;
    QAction* m_recentFilesBar = nullptr; // N14
    QList<QAction*> m_recentFileItems;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_trayBar = nullptr; // Pop5Bar
    QList<QAction*> m_trayRecentItems;
    std::vector<BookmarkButton*> m_buttons;
    QHash<QString, QAction*> m_actions;
    QList<QMenu*> m_menus;
    bool m_activated = false;
    bool m_applyingGeometry = false;
    bool m_minimizing = false;
};
