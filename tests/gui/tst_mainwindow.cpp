#include "AccessSpeed.h"
#include "AccessSpeedWindow.h"
#include "BoardPanel.h"
#include "BookmarkButton.h"
#include "CommandError.h"
#include "EchoService.h"
#include "FileError.h"
#include "IconLibrary.h"
#include "LaunchFixture.h"
#include "MainWindow.h"
#include "NameLookup.h"
#include "PageDisplay.h"
#include "Passwords.h"
#include "PathNames.h"
#include "TabForm.h"
#include "TabFormWidget.h"
#include "TabStrip.h"
#include "TestFiles.h"
#include "UserProfile.h"

#include "BookmarkDialog.h"
#include "GuiPrompter.h"
#include "HelpWindow.h"
#include "InternetSearch.h"
#include "InternetSearchWidget.h"
#include "Progress.h"

#include "WindowModes.h"
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QByteArray prepared(const QByteArray& pngPath)
{
    return "[Tabs]\r\nCount=3\r\nTab1=News\r\nTab2=Tools\r\nTab3=Music\r\n"
           "[News]\r\n"
           "01N=Daily Paper\r\n01U=http://paper.example/\r\n01P=<b>not bold</b>|~second line\r\n01C=255\r\n"
           "02N=Weather\r\n02U=http://weather.example/\r\n02G=7\r\n"
           "03N=Picture\r\n03U=" +
           pngPath +
           "\r\n03G=600\r\n"
           "21N=Column two\r\n21U=http://two.example/\r\n"
           "[Tools]\r\n01N=Editor\r\n01U=/usr/bin/editor\r\n01L=Yes\r\n";
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<LaunchFixture> f;
    std::unique_ptr<IconLibrary> icons;
    std::unique_ptr<MainWindow> w;

    void open(const QByteArray& lyk = {})
    {
        f = std::make_unique<LaunchFixture>();
        if (!lyk.isEmpty())
            f->writeFile("Disk.LYK", lyk);
        icons = std::make_unique<IconLibrary>();
        w = std::make_unique<MainWindow>(*f->board, f->ui, *icons, f->launcher, f->exchange);
        f->start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    QByteArray png()
    {
        const QByteArray path = PathNames::fromQt(QDir::temp().filePath("lynkor-test-icon.png"));
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::red);
        image.save(PathNames::toQt(path));
        return path;
    }

private slots:
    void cleanup();
    void newUserSeesTenPagesOfBlankButtons();
    void menusShowOnlyWorkingItems();
    void preparedFileRendersItsFaces();
    void clickingATabShowsItsPage();
    void keysMoveAroundTheBoard();
    void displayOptionFromTheMenu();
    void resizingLaysTheButtonsOut();
    void commandFailureIsShown();
    void lockedFileHidesMenusAndTools();
    void recentListsInTheMenus();
    void userInformationFromTheTrayAndTheToolBar();
    void windowFollowsTheModes();
    void accessiblePressActsAsAClick();
    void accessibleFocusSelectsABookmark();
    void hiddenControlsCannotBePressed_data();
    void hiddenControlsCannotBePressed();
    void keyboardReachesEverything();
    void checkMarksShowWhatIsStored_data();
    void checkMarksShowWhatIsStored();
    void closingWritesThePagePasswords();
    void dialogsLeaveTheHelpUsable();
    void longWorkShowsItsProgressAndCancels();
    void accessSpeedFromThePageOptions();
    void internetSearchFromTheToolBar();
    void urlBoxOpensAndForgets();
    void pageCarriedFromTheMenusAndTheStrip();
    void pageOptionsActOnTheSelectedRows();
    void droppedLinkTakesTheTextItCarries_data();
    void droppedLinkTakesTheTextItCarries();
};

void TestMainWindow::cleanup()
{
    w.reset();
    icons.reset();
    f.reset();
}

void TestMainWindow::newUserSeesTenPagesOfBlankButtons()
{
    open();
    QCOMPARE(w->tabStrip()->count(), 10);
    QCOMPARE(w->tabStrip()->tabText(0), QStringLiteral("Page1"));
    QCOMPARE(w->tabStrip()->tabText(9), QStringLiteral("Page10"));
    const auto buttons = w->findChildren<BookmarkButton*>();
    QCOMPARE(buttons.size(), 80);
    for (BookmarkButton* b : buttons) {
        QVERIFY(b->isVisible());
        QVERIFY(b->text().isEmpty());
        // A blank button can be found by its name: "Blank 07".
        QCOMPARE(b->accessibleName(), QStringLiteral("Blank ") + b->objectName().mid(1));
    }
    QVERIFY(w->button("B80"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Lynkor  [ Disk ]    Page1: Page 1 of 10   12/10/26"));
    QCOMPARE(w->width(), 620);
    QCOMPARE(w->button("B01")->width(), 154);
    QVERIFY(w->keys()->hasFocus());
}

void TestMainWindow::menusShowOnlyWorkingItems()
{
    open();
    QStringList menus;
    for (QAction* a : w->menuBar()->actions())
        if (a->isVisible())
            menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Setup", "&Browsers", "B&ookmarks", "Page &Tabs", "&Help"}));
    QStringList items;
    for (QAction* a : w->menuBar()->actions())
        for (QAction* item : a->menu()->actions())
            if (const QString name = item->menu() ? item->menu()->objectName() : item->objectName();
                !item->isSeparator() && item->isVisible() && !name.isEmpty())
                items << name;
    QCOMPARE(items,
             (QStringList{"MFNew",          "MFOpen",       "MFSaveAs",        "MFRename",        "MFDelete",
                          "MFMerge",        "MImportNS",    "MExportNS",       "MImportIE",       "MExportIE",
                          "MWSImport",      "MCBImport",    "MExportP",        "MExportH",        "MExportE",
                          "MDrive",         "MProgPass",    "MExit1",          "MBIcon",          "MBNotes",
                          "MBUrl",          "MColumn2",     "MColumn3",        "MColumn4",        "MDBIcon",
                          "MFontButton",    "MResetSize",   "MChangeUserINfo", "MStartSmall",     "MStartBar",
                          "MMini",          "MHide",        "MWebIcon",        "MBackup",         "MNewDlg",
                          "MWebDlg",        "MMRU",         "MHotkeys",        "MAutoRun",        "MAddBrowser",
                          "MMultiple",      "MSingle",      "MUndo",           "MAlpha",          "MSearch",
                          "MSearchNet",     "MCount",       "MAddPageTab1",    "MDeletePageTab1", "MChangePageTabName1",
                          "GoTo1",          "MPageOptions", "MMovePageTab1",   "MCopyPageTab",    "MEraseB",
                          "MAlphaPageTab1", "MEMailPage",   "MFontTab",        "MChangeColor2",   "MChangeColor1",
                          "MPagePass",      "MHelpC",       "MHelpS",          "MHelpA"}));
    QVERIFY(w->action("MBIcon")->isChecked());
    QVERIFY(w->action("MColumn4")->isChecked());
    QVERIFY(!w->action("MColumn3")->isChecked());
}

void TestMainWindow::preparedFileRendersItsFaces()
{
    open(prepared(png()));
    BookmarkButton* paper = w->button("B01");
    QCOMPARE(paper->text(), QStringLiteral("Daily Paper"));
    QCOMPARE(paper->accessibleName(), QStringLiteral("Daily Paper"));
    QCOMPARE(paper->captionColor(), QColor(255, 0, 0));
    // A note is shown as text, never as markup.
    QVERIFY(paper->toolTip().contains(QStringLiteral("&lt;b&gt;not bold&lt;/b&gt;")));
    QCOMPARE(paper->accessibleDescription(), QStringLiteral("http://paper.example/\r<b>not bold</b>\r\nsecond line"));
    QCOMPARE(paper->glyph().size(), QSize(15, 15));
    QCOMPARE(paper->glyph().toImage(), icons->internal(120).toImage());
    QCOMPARE(w->button("B02")->glyph().toImage(), icons->internal(7).toImage());
    const QImage picture = w->button("B03")->glyph().toImage();
    QCOMPARE(picture.size(), QSize(15, 15));
    QCOMPARE(QColor(picture.pixel(7, 7)), QColor(Qt::red));
    QCOMPARE(w->button("B21")->text(), QStringLiteral("Column two"));
    QCOMPARE(w->button("B21")->x(), 156);
    QVERIFY(w->button("B04")->glyph().toImage().allGray()); // blank
    QCOMPARE(w->button("B01")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w->button("B04")->cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindow::clickingATabShowsItsPage()
{
    open(prepared(png()));
    TabStrip* tabs = w->tabStrip();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(f->state.tabIndex(), 1);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(w->button("B01")->text(), QStringLiteral("Editor"));
    QVERIFY(w->button("B02")->text().isEmpty());
    QCOMPARE(w->windowTitle(), QStringLiteral("Lynkor  [ Disk ]    Tools: Page 2 of 3   12/10/26"));
}

void TestMainWindow::keysMoveAroundTheBoard()
{
    open(prepared(png()));
    QTest::keyClick(w->keys(), Qt::Key_Right);
    QCOMPARE(f->state.tabIndex(), 1);
    QTest::keyClick(w->keys(), Qt::Key_M);
    QCOMPARE(f->state.currentPage(), QByteArray("Music"));
    QTest::keyClick(w->keys(), Qt::Key_Home);
    QCOMPARE(f->state.tabIndex(), 0);
    QTest::keyClick(w->keys(), Qt::Key_Down);
    QCOMPARE(w->button("B01")->margin(), 30);
    QCOMPARE(w->windowTitle(), QStringLiteral("1 : http://paper.example/ <b>not bold</b>  second line"));
    QTest::keyClick(w->keys(), Qt::Key_F1);
    QCOMPARE(f->ui.helpShown, QList<int>{1});
}

void TestMainWindow::displayOptionFromTheMenu()
{
    open(prepared(png()));
    w->action("MBUrl")->trigger();
    QVERIFY(!w->action("MBUrl")->isChecked());
    QCOMPARE(f->key("lyk.ini", "Button", "Url"), QByteArray("Off"));
    QVERIFY(!w->button("B02")->toolTip().contains(QStringLiteral("weather")));
    w->action("MColumn2")->trigger();
    QCOMPARE(w->findChildren<BookmarkButton*>().size(), 40);
    QCOMPARE(w->button("B21")->x(), 311);
    QVERIFY(w->action("MColumn2")->isChecked());
    QVERIFY(!w->action("MColumn4")->isChecked());
}

void TestMainWindow::resizingLaysTheButtonsOut()
{
    open();
    w->resize(804, 469);
    QTRY_COMPARE(w->button("B21")->x(), 202);
    QCOMPARE(w->button("B21")->width(), 200);
    w->action("MResetSize")->trigger();
    QTRY_COMPARE(w->width(), 620);
    QCOMPARE(w->button("B21")->x(), 156);
}

void TestMainWindow::commandFailureIsShown()
{
    open("[Tabs]\r\nCount=2\r\n[Page2]\r\n01N=x\r\n01U=y\r\n01G=bad\r\n");
    QTest::mouseClick(w->tabStrip(), Qt::LeftButton, {}, w->tabStrip()->tabRect(1).center());
    QCOMPARE(f->ui.messages(), QStringList{"'bad' is not a valid integer value"});
    QCOMPARE(f->ui.asked.back().type, Prompter::Type::Error);
    // A command that fails with the hourglass showing does not leave it behind.
    w->dispatch([this] {
        f->ui.setCursor(ScreenCursor::HourGlass);
        throw FileError(QStringLiteral("Cannot create file x"));
    });
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QCOMPARE(f->ui.messages().back(), QStringLiteral("Cannot create file x"));
}

void TestMainWindow::lockedFileHidesMenusAndTools()
{
    open("[Tabs]\r\nCount=2\r\n\xDF_\xB6__=acd\r\n[Page1]\r\n01N=Bank\r\n01U=http://bank.example/\r\n");
    for (QAction* a : w->menuBar()->actions())
        QVERIFY(!a->isVisible());
    QVERIFY(!w->tabStrip()->isVisible());
    QVERIFY(!w->findChild<QWidget*>("Panel1")->isVisible());
    QStringList tray;
    for (QAction* a : w->trayMenu()->actions())
        if (a->isVisible() && !a->isSeparator())
            tray << a->text();
    QCOMPARE(tray, QStringList{"E&xit"});
    QVERIFY(!w->button("B01")->isEnabled());
    auto* unlock = w->findChild<QPushButton*>("ProgPassButton");
    QVERIFY(unlock->isVisible());
    QCOMPARE(unlock->text(), QStringLiteral("Access Protected File"));
    f->ui.answer(QStringLiteral("abc"));
    f->ui.answer(QVariant::fromValue(Prompter::Answer::No));
    QTest::mouseClick(unlock, Qt::LeftButton);
    QVERIFY(!unlock->isVisible());
    QVERIFY(w->tabStrip()->isVisible());
    QVERIFY(w->menuBar()->actions().front()->isVisible());
    QCOMPARE(w->button("B01")->text(), QStringLiteral("Bank"));
    QVERIFY(w->button("B01")->isEnabled());
}

void TestMainWindow::recentListsInTheMenus()
{
    open();
    f->board->modes().addRecentBookmark(WindowModes::recentEntry("Mail", "Page1", "01"));
    QStringList tray;
    for (QAction* a : w->trayMenu()->actions())
        if (!a->isSeparator())
            tray << a->text();
    QCOMPARE(tray.mid(tray.indexOf(QStringLiteral("Copy Text File to Clipboard"))),
             (QStringList{"Copy Text File to Clipboard", "Mail  |Page1::01", "E&xit"}));
    QStringList file;
    for (QAction* a : w->fileMenu()->actions())
        if (!a->isSeparator())
            file << a->text();
    QCOMPARE(file.mid(file.indexOf(QStringLiteral("Pass&word Protect File"))),
             (QStringList{"Pass&word Protect File", "&1 " + PathNames::toQt(f->path("Disk.LYK")), "E&xit"}));
}

void TestMainWindow::windowFollowsTheModes()
{
    open();
    w->action("MMini")->trigger();
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QTRY_COMPARE(w->height(), 88);
    QVERIFY(w->isVisible());
    w->action("MMini")->trigger();
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
    QTRY_COMPARE(w->height(), 469);
    f->board->modes().AfterLaunch({});
    QVERIFY(w->isVisible());
    w->action("MStartBar")->trigger();
    f->board->modes().AfterLaunch({});
    QTRY_VERIFY(w->isMinimized());
    f->board->modes().TaskIconClick();
    QTRY_VERIFY(!w->isMinimized());
    QVERIFY(w->isVisible());
}

namespace {

void press(QWidget* widget, int child = -1)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (child >= 0)
        a = a->child(child);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

void TestMainWindow::accessiblePressActsAsAClick()
{
    open(prepared(png()));
    f->board->vars().BrowserPath = "/usr/bin/stand-in";
    // A bookmark opens through the accessibility interface.
    press(w->button("B02"));
    QTRY_COMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://weather.example/"});
    // A blank button is found by its name and filled the same way.
    QCOMPARE(w->button("B05")->accessibleName(), QStringLiteral("Blank 05"));
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"http://shown.example/\",\"Shown\",\"\"");
    f->board->vars().BrowserPath = "/usr/bin/chromium";
    press(w->button("B05"));
    QTRY_COMPARE(w->button("B05")->text(), QStringLiteral("Shown"));
    QCOMPARE(w->button("B05")->accessibleName(), QStringLiteral("Shown"));
    // A tab pressed through it switches pages, as a click does (and a
    // protected page would still ask first).
    press(w->tabStrip(), 2);
    QTRY_COMPARE(f->state.currentPage(), QByteArray("Music"));
    QCOMPARE(w->tabStrip()->currentIndex(), 2);
}

void TestMainWindow::accessibleFocusSelectsABookmark()
{
    open(prepared(png()));
    f->board->vars().BrowserPath = "/usr/bin/stand-in";
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w->button("B02"));
    QVERIFY(a && a->actionInterface());
    QCOMPARE(a->role(), QAccessible::Button);
    QVERIFY(a->state().focusable);
    QVERIFY(!a->state().focused);
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::setFocusAction()));
    // Focus through the accessibility interface puts the keyboard on that
    // bookmark, as the arrow keys do.
    a->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QTRY_VERIFY(w->button("B02")->isSelected());
    QVERIFY(w->keys()->hasFocus());
    QVERIFY(a->state().focused);
    QVERIFY(!QAccessible::queryAccessibleInterface(w->button("B01"))->state().focused);
    QCOMPARE(f->starter.starts.size(), 0);
    QTest::keyClick(w->keys(), Qt::Key_Space);
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://weather.example/"});
    QTest::keyClick(w->keys(), Qt::Key_Down);
    QVERIFY(w->button("B03")->isSelected());
    QVERIFY(!a->state().focused);
}

namespace {

// Every control the accessibility interface offers under `root` that is
// hidden (itself or a container above it) and still takes an action.
void hiddenButLive(QAccessibleInterface* root, bool hiddenAbove, QStringList& out, int depth = 0)
{
    if (!root || depth > 30)
        return;
    bool hidden = hiddenAbove;
    if (auto* action = qobject_cast<QAction*>(root->object()))
        hidden = hidden || !action->isVisible();
    else if (auto* widget = qobject_cast<QWidget*>(root->object()); widget && !widget->isWindow())
        hidden = hidden || widget->isHidden();
    QAccessibleActionInterface* actions = root->actionInterface();
    if (hidden && actions && !actions->actionNames().isEmpty() && !root->state().disabled)
        out << QStringLiteral("%1 (%2)").arg(root->text(QAccessible::Name),
                                             root->object() ? root->object()->objectName() : QString());
    for (int i = 0; i < root->childCount(); ++i)
        hiddenButLive(root->child(i), hidden, out, depth + 1);
}

bool inTree(QAccessibleInterface* root, const QString& name, int depth = 0)
{
    if (!root || depth > 30)
        return false;
    if (root->text(QAccessible::Name) == name)
        return true;
    for (int i = 0; i < root->childCount(); ++i)
        if (inTree(root->child(i), name, depth + 1))
            return true;
    return false;
}

} // namespace

void TestMainWindow::hiddenControlsCannotBePressed_data()
{
    QTest::addColumn<QByteArray>("lyk");
    QTest::addColumn<bool>("locked");
    QTest::newRow("an open file") << prepared(png()) << false;
    QTest::newRow("a locked file") << QByteArray("[Tabs]\r\nCount=2\r\n\xDF_\xB6__=acd\r\n[Page1]\r\n01N=Bank\r\n"
                                                 "01U=http://bank.example/\r\n")
                                   << true;
}

void TestMainWindow::hiddenControlsCannotBePressed()
{
    QFETCH(QByteArray, lyk);
    QFETCH(bool, locked);
    open(lyk);
    QCOMPARE(f->state.locked(), locked);
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
    QStringList live;
    hiddenButLive(root, false, live);
    QVERIFY2(live.isEmpty(), qPrintable(live.join(QStringLiteral(", "))));
    // The controls of a locked file are not there while the file is open.
    QCOMPARE(inTree(root, QStringLiteral("Access Protected File")), locked);
    if (!locked) {
        // Nor does its command ask for a password then.
        f->board->command([&] { f->board->passwords().ProgPassButtonClick(); });
        QCOMPARE(f->ui.asked.size(), 0);
        return;
    }
    // Unlocked through the accessibility interface: the same holds for the
    // open file.
    f->ui.answer(QStringLiteral("abc"));
    f->ui.answer(QVariant::fromValue(Prompter::Answer::No));
    press(w->findChild<QPushButton*>(QStringLiteral("ProgPassButton")));
    QTRY_VERIFY(!f->state.locked());
    QTRY_VERIFY(!inTree(root, QStringLiteral("Access Protected File")));
    live.clear();
    hiddenButLive(root, false, live);
    QVERIFY2(live.isEmpty(), qPrintable(live.join(QStringLiteral(", "))));
    QVERIFY(inTree(root, QStringLiteral("Page Options...")));
}

void TestMainWindow::keyboardReachesEverything()
{
    open(prepared(png()));
    f->board->vars().BrowserPath = "/usr/bin/stand-in";
    QVERIFY(w->keys()->hasFocus());
    // Tab goes round the tool bar, the address box and the board.
    QStringList visited;
    for (int i = 0; i < 26; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QVERIFY(visited.contains(QStringLiteral("AddBookmark")));
    QVERIFY(visited.contains(QStringLiteral("HelpButton1")));
    QVERIFY(visited.contains(QStringLiteral("URLBox")));
    QVERIFY(visited.contains(QStringLiteral("Keys")));
    // Ctrl+L goes to the address box; Escape and Tab come back.
    QTest::keyClick(w.get(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(w->urlBox()->hasFocus());
    w->keys()->setFocus(Qt::TabFocusReason);
    // Reached with Tab, the board shows its selection.
    QVERIFY(w->button("B01")->isSelected());
    QTest::keyClick(w->keys(), Qt::Key_Down);
    QVERIFY(w->button("B02")->isSelected());
    QVERIFY(!w->button("B01")->isSelected());
    // Space opens the selected bookmark; the Menu key or Shift+F10 its dialog.
    QTest::keyClick(w->keys(), Qt::Key_Space);
    QCOMPARE(f->starter.starts.size(), 1);
    f->ui.bookmarkDialogs.push_back([](BookmarkDialog& d) { QCOMPARE(d.Desc1, QStringLiteral("Weather")); });
    QTest::keyClick(w->keys(), Qt::Key_Menu);
    f->ui.bookmarkDialogs.push_back([](BookmarkDialog& d) { QCOMPARE(d.Desc1, QStringLiteral("Weather")); });
    QTest::keyClick(w->keys(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(f->ui.bookmarkDialogs.empty());
}

void TestMainWindow::checkMarksShowWhatIsStored_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QVariantList>("answers");
    QTest::newRow("page password cancelled") << "MPagePass" << false << QVariantList{ScriptedPrompter::closed()};
    QTest::newRow("the columns already shown") << "MColumn4" << true << QVariantList{};
    QTest::newRow("stealth without a way back") << "MHide" << false << QVariantList{};
    QTest::newRow("tray without a tray") << "MStartSmall" << false << QVariantList{};
    QTest::newRow("start entry that fails") << "MAutoRun" << false << QVariantList{};
}

void TestMainWindow::checkMarksShowWhatIsStored()
{
    QFETCH(QString, item);
    QFETCH(bool, checked);
    QFETCH(QVariantList, answers);
    open();
    f->autostart.fails = true;
    f->state.setTrayAvailable(false);
    for (const QVariant& answer : answers)
        f->ui.answer(answer);
    w->action(item)->trigger();
    QCOMPARE(w->action(item)->isChecked(), checked);
    QCOMPARE(f->state.checked(*MenuItems::named(item.toLatin1())), checked);
}

void TestMainWindow::closingWritesThePagePasswords()
{
    // A first run: the file gets its page list and the (empty) page-password list.
    open();
    QSignalSpy closed(w.get(), &MainWindow::closed);
    QVERIFY(w->close());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(f->readFile("Disk.LYK"), QByteArray("\r\n[Tabs]\r\nP_\xDF_\xB6_=\r\n"));
}

void TestMainWindow::dialogsLeaveTheHelpUsable()
{
    // Every dialog is modal for the main window only, so that the help window
    // (a window of its own) can be read and typed into while one waits.
    open();
    GuiPrompter prompter(w.get());
    QWidget* seen = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(200, [&] {
        seen = QApplication::activeModalWidget();
        if (seen)
            modality = seen->windowModality();
        prompter.showHelp(74);
        if (seen)
            seen->close();
    });
    prompter.choice({QStringLiteral("Test"), {QStringLiteral("OK")}, {}, std::nullopt});
    QVERIFY(seen);
    QCOMPARE(modality, Qt::WindowModal);
    HelpWindow* help = prompter.helpWindow();
    QVERIFY(help->isVisible());
    QVERIFY(!help->parentWidget());
}

void TestMainWindow::longWorkShowsItsProgressAndCancels()
{
    // The gauge follows the work's feed; Cancel (pressed as the
    // accessibility interface presses it) asks the work to stop; the end of
    // the work takes the window away.
    open();
    GuiPrompter prompter(w.get());
    auto feed = std::make_shared<WorkFeed>();
    Progress progress(QStringLiteral("Import Netscape Bookmarks"), QStringLiteral("Reading big.html ..."), feed);
    prompter.showProgress(progress);
    feed->report(420);
    QProgressDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = w->findChild<QProgressDialog*>(QStringLiteral("ProgressForm"))) && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Import Netscape Bookmarks"));
    QCOMPARE(dialog->labelText(), QStringLiteral("Reading big.html ..."));
    QTRY_COMPARE(dialog->value(), 42);
    // Work that cannot say how far it got (a search) shows a busy gauge.
    feed->report(WorkFeed::kUnmeasured);
    QTRY_COMPARE(dialog->maximum(), 0);
    QPushButton* cancel = dialog->findChild<QPushButton*>();
    QVERIFY(cancel);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(cancel);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(feed->cancelled());
    QPointer<QProgressDialog> gone(dialog);
    progress.finish();
    QTRY_VERIFY(!gone);
}

void TestMainWindow::accessSpeedFromThePageOptions()
{
    // Ping Selected Bookmarks in the page options, the real Access Speed
    // window with its bars, and the second bar pressed through the
    // accessibility interface: that bookmark opens.
    open("[Tabs]\r\nCount=1\r\nTab1=Sites\r\n[Sites]\r\n01N=One\r\n01U=http://127.0.0.1/one\r\n"
         "02N=Two\r\n02U=http://127.0.0.2/two\r\n03N=Three\r\n03U=http://127.0.0.3/three\r\n");
    f->board->vars().BrowserPath = "/usr/bin/stand-in-browser";
    struct TimedEcho : EchoService
    {
        EchoProbe::Result echo(const QHostAddress& a, const EchoProbe::Options&, const std::atomic<bool>*) override
        {
            EchoProbe::Result r;
            r.replied = true;
            r.measure = EchoProbe::Measure::IcmpDatagram;
            r.ms = a.toString().endsWith(QLatin1Char('1')) ? 10 : a.toString().endsWith(QLatin1Char('2')) ? 20 : 40;
            return r;
        }
    } echoes;
    NameLookup lookup;
    PingTest ping(*f->board, echoes, lookup);
    f->board->setSiteSpeed(&ping);
    auto unset = qScopeGuard([this] { f->board->setSiteSpeed(nullptr); });
    f->ui.tabForms.push_back([](TabForm& form) {
        form.BtnListSelectItem({0, 1, 2});
        QVERIFY(form.Group2Click(TabForm::PingSelected));
    });
    bool shown = false;
    f->ui.pingWindows.push_back([&](PingForm& model) {
        AccessSpeedWindow window(model, w.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Access Speed"));
        QTRY_COMPARE(window.bars().size(), 3);
        QCOMPARE(window.height(), 3 * 20 + 50);
        SpeedBar* second = window.bars()[1];
        QCOMPARE(second->objectName(), QStringLiteral("SB1"));
        QCOMPARE(second->text(), QStringLiteral("127.0.0.2 : 127.0.0.2"));
        QCOMPARE(second->percent, 50);
        QVERIFY(window.bars()[0]->fastest);
        QCOMPARE(second->toolTip(), QStringLiteral("Click to Launch"));
        QVERIFY(!window.findChild<QLabel*>(QStringLiteral("StatusLine"))->isVisible());
        if (qEnvironmentVariableIsSet("LYNKOR_SCREENSHOTS"))
            window.grab().save(QStringLiteral("/tmp/lynkor-accessspeed.png"));
        press(second);
        QTRY_VERIFY(!window.isVisible());
        shown = true;
    });
    QTest::mouseClick(w->tabStrip(), Qt::RightButton, {}, w->tabStrip()->tabRect(0).center());
    QVERIFY(shown);
    QTRY_COMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://127.0.0.2/two"});
}

void TestMainWindow::internetSearchFromTheToolBar()
{
    // The real search window: a site selected, the topic typed, Enter; the
    // window closes and the browser gets the address.
    open(prepared(png()));
    f->board->vars().BrowserPath = "/usr/bin/stand-in-browser";
    f->writeFile("Disk.ISE", "[Sites]\r\nCount=2\r\n1=Zoo\r\n2=Atlas\r\nZoo1=http://zoo.example/?q=\r\n"
                             "Atlas1=http://atlas.example/find/\r\nAtlas2=/all\r\n");
    WebSearchCommand command(*f->board);
    f->board->setNetSearcher(&command);
    bool shown = false;
    f->ui.internetSearches.push_back([&](InternetSearch& model) {
        InternetSearchWidget dialog(model, w.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Internet Search  [ Disk ]"));
        QTreeWidget* list = dialog.siteList();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Atlas"));
        list->setFocus();
        list->setCurrentItem(list->topLevelItem(0));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label10"))->text(), QStringLiteral("1 Selected"));
        QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("AddButton1"))->isEnabled());
        auto* topic = dialog.findChild<QLineEdit*>(QStringLiteral("SearchText1"));
        topic->setFocus();
        QTest::keyClicks(topic, QStringLiteral("big cats"));
        if (qEnvironmentVariableIsSet("LYNKOR_SCREENSHOTS"))
            dialog.grab().save(QStringLiteral("/tmp/lynkor-internetsearch.png"));
        QTest::keyClick(topic, Qt::Key_Return);
        QTRY_VERIFY(!dialog.isVisible());
        shown = true;
    });
    press(w->findChild<QToolButton*>(QStringLiteral("SearchNetButton")));
    QTRY_VERIFY(shown);
    QTRY_COMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://atlas.example/find/big+cats/all"});
    f->board->setNetSearcher(nullptr);
}

void TestMainWindow::urlBoxOpensAndForgets()
{
    // Typed by hand: Enter opens it and the box remembers it; a double click
    // opens what the box shows; Ctrl+Delete forgets the entry shown.
    open();
    f->board->vars().BrowserPath = "/usr/bin/stand-in";
    const QString notes = f->dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(TestFiles::write(notes, "text"));
    QComboBox* box = w->urlBox();
    QLineEdit* edit = box->lineEdit();
    QTest::keyClicks(edit, notes);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(f->starter.documents, QStringList{notes});
    QCOMPARE(edit->text(), QString());
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), notes);

    box->setEditText(box->itemText(0));
    QTest::mouseDClick(edit, Qt::LeftButton);
    QTRY_COMPARE(f->starter.documents.size(), 2);

    box->setEditText(box->itemText(0));
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(box->count(), 0);
    QCOMPARE(f->ui.beeps, 1);
    QVERIFY(f->state.manualUrls().isEmpty());
}

void TestMainWindow::pageCarriedFromTheMenusAndTheStrip()
{
    // Move Page and Put Page Here work from the menus alone (the keyboard's
    // way); a right-click on a tab puts a carried page down, and offers the
    // page commands when none is carried.
    open(prepared(png()));
    QAction* put = w->action(QStringLiteral("MPutPage"));
    QVERIFY(!put->isVisible());
    w->action(QStringLiteral("MMovePageTab1"))->trigger();
    QVERIFY(put->isVisible());
    QCOMPARE(w->tabStrip()->count(), 2);
    QVERIFY(w->windowTitle().contains(QStringLiteral("carrying the page \"News\"")));
    press(w->tabStrip(), 1); // Music
    QCOMPARE(f->state.currentPage(), QByteArray("Music"));
    put->trigger();
    QCOMPARE(f->state.tabs(), (std::vector<QByteArray>{"Tools", "News", "Music"}));
    QVERIFY(!put->isVisible());
    QCOMPARE(f->state.currentPage(), QByteArray("News"));

    w->action(QStringLiteral("MMovePageTab1"))->trigger();
    const QRect first = w->tabStrip()->tabRect(0);
    QTest::mouseClick(w->tabStrip(), Qt::RightButton, {}, first.center());
    QCOMPARE(f->state.tabs(), (std::vector<QByteArray>{"News", "Tools", "Music"}));
    QVERIFY(!w->tabsMenu()->isVisible());

    f->ui.tabForms.push_back([](TabForm& form) { QCOMPARE(form.TabName, QByteArray("Music")); });
    QTest::mouseClick(w->tabStrip(), Qt::RightButton, {}, w->tabStrip()->tabRect(2).center());
    QCOMPARE(f->state.currentPage(), QByteArray("Music"));
    QCOMPARE(f->ui.asked.last().kind, QStringLiteral("tabForm"));
}

void TestMainWindow::pageOptionsActOnTheSelectedRows()
{
    // The real options dialog: three rows selected, "Copy Selected Bookmarks"
    // pressed through the accessibility interface, then a right-click on
    // another tab puts the copies down.
    open(prepared(png()));
    bool shown = false;
    f->ui.tabForms.push_back([&](TabForm& form) {
        TabFormWidget dialog(form, w.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Page Options for the News page."));
        auto* group2 = dialog.findChild<QGroupBox*>(QStringLiteral("Group2"));
        QCOMPARE(group2->title(), QStringLiteral("Action for 0 Bookmarks:"));
        QTreeWidget* list = dialog.bookmarkList();
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(3)->text(0), QStringLiteral("21"));
        QCOMPARE(list->topLevelItem(3)->text(1), QStringLiteral("Column two"));
        // Keyboard: the first row, then Shift+Down twice.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        list->setCurrentItem(list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(list->selectedItems().size(), 3);
        QCOMPARE(group2->title(), QStringLiteral("Action for 3 Bookmarks:"));
        QAbstractButton* copy = nullptr;
        for (QAbstractButton* b : group2->findChildren<QAbstractButton*>())
            if (b->text() == QStringLiteral("Copy Selected Bookmarks"))
                copy = b;
        QVERIFY(copy && copy->isEnabled());
        if (qEnvironmentVariableIsSet("LYNKOR_SCREENSHOTS"))
            dialog.grab().save(QStringLiteral("/tmp/lynkor-pageoptions.png"));
        press(copy);
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        shown = true;
    });
    QTest::mouseClick(w->tabStrip(), Qt::RightButton, {}, w->tabStrip()->tabRect(0).center());
    QVERIFY(shown);
    QVERIFY(w->windowTitle().contains(QStringLiteral("carrying 3 bookmarks")));
    QAction* put = w->action(QStringLiteral("MPutBookmarks"));
    QVERIFY(put->isVisible());
    QTest::mouseClick(w->tabStrip(), Qt::RightButton, {}, w->tabStrip()->tabRect(1).center());
    QVERIFY(!put->isVisible());
    QCOMPARE(f->key("Disk.LYK", "Tools", "01N"), QByteArray("Editor"));
    QCOMPARE(f->key("Disk.LYK", "Tools", "02N"), QByteArray("Daily Paper"));
    QCOMPARE(f->key("Disk.LYK", "Tools", "04N"), QByteArray("Picture"));
    QCOMPARE(f->key("Disk.LYK", "News", "01N"), QByteArray("Daily Paper"));

    // The keyboard's way to the options: Page Tabs > Page Options.
    f->ui.tabForms.push_back([](TabForm& form) { QCOMPARE(form.TabName, QByteArray("News")); });
    w->action(QStringLiteral("MPageOptions"))->trigger();
    QCOMPARE(f->ui.asked.last().kind, QStringLiteral("tabForm"));
    // And the menu key on the tab strip.
    f->ui.tabForms.push_back([](TabForm& form) { QCOMPARE(form.TabName, QByteArray("News")); });
    const int asked = f->ui.asked.size();
    QTest::keyClick(w->tabStrip(), Qt::Key_Menu);
    QCOMPARE(f->ui.asked.size(), asked + 1);
    QCOMPARE(f->ui.asked.last().kind, QStringLiteral("tabForm"));
}

void TestMainWindow::userInformationFromTheTrayAndTheToolBar()
{
    open();
    f->writeFile("lyk.use", "[User]\r\nFirst=Ann\r\nLast=Lee\r\n");
    auto trayItem = [this](const QString& name) {
        for (QAction* a : w->trayMenu()->actions())
            if (a->objectName() == name)
                return a;
        return static_cast<QAction*>(nullptr);
    };
    QVERIFY(trayItem(QStringLiteral("Full")));
    trayItem(QStringLiteral("Full"))->trigger();
    QCOMPARE(f->clipboard.content, QStringLiteral("Ann Lee"));
    QCOMPARE(trayItem(QStringLiteral("Full"))->text(), QStringLiteral("Copy 'Full Name' to Clipboard"));
    QVERIFY(!trayItem(QStringLiteral("MailS"))); // the mail server has no copy entry

    // The tool-bar button and the Setup menu open the profile; Save writes it.
    f->ui.userProfiles.push_back([](UserProfile& p) {
        QCOMPARE(p.values.value(0), QStringLiteral("Ann"));
        p.values[UserProfile::kEmail] = QStringLiteral("ann@example.org");
        QVERIFY(p.SpeedButton1Click());
    });
    auto* user = w->findChild<QToolButton*>(QStringLiteral("UserButton1"));
    QVERIFY(user);
    user->click();
    QCOMPARE(f->key("lyk.use", "User", "Email"), QByteArray("ann@example.org"));
    f->ui.userProfiles.push_back(
        [](UserProfile& p) { QCOMPARE(p.values.value(11), QStringLiteral("ann@example.org")); });
    w->action(QStringLiteral("MChangeUserINfo"))->trigger();
    QVERIFY(f->ui.userProfiles.empty());
}

void TestMainWindow::droppedLinkTakesTheTextItCarries_data()
{
    using Formats = QList<QPair<QString, QByteArray>>;
    QTest::addColumn<Formats>("formats");
    QTest::addColumn<QByteArray>("title");
    const QByteArray url = "http://127.0.0.1:9/page.html";
    auto utf16 = [](const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); };
    const Formats uriList{{"text/uri-list", url + "\r\n"}};
    // What browsers and other programs put beside the address.
    QTest::newRow("text/x-moz-url in UTF-16")
        << (uriList + Formats{{"text/x-moz-url", utf16(QString::fromLatin1(url) + "\nMoz Text")}})
        << QByteArray("Moz Text");
    QTest::newRow("text/x-moz-url in UTF-8")
        << (uriList + Formats{{"text/x-moz-url", url + "\nCaf\xc3\xa9 Text"}}) << QByteArray("Caf\xe9 Text");
    QTest::newRow("_NETSCAPE_URL") << (uriList + Formats{{"_NETSCAPE_URL", url + "\nNetscape Text"}})
                                   << QByteArray("Netscape Text");
    QTest::newRow("the link in text/html")
        << (uriList +
            Formats{{"text/html", "<meta charset=\"utf-8\"><a href=\"" + url + "\">Link &amp; <b>its</b>\n text</a>"}})
        << QByteArray("Link & its text");
    QTest::newRow("nothing but the address: the site's name") << uriList << QByteArray("127.0.0.1");
}

void TestMainWindow::droppedLinkTakesTheTextItCarries()
{
    using Formats = QList<QPair<QString, QByteArray>>;
    QFETCH(Formats, formats);
    QFETCH(QByteArray, title);
    open();
    QMimeData mime;
    for (const auto& [format, data] : formats)
        mime.setData(format, data);
    auto* panel = w->findChild<BoardPanel*>();
    QVERIFY(panel);
    // What the board hands on of a drop at its first button.
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    emit panel->dropped(&drop);
    QTRY_COMPARE(f->key("Disk.LYK", "Page1", "01U"), QByteArray("http://127.0.0.1:9/page.html"));
    QCOMPARE(f->key("Disk.LYK", "Page1", "01N"), title);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
