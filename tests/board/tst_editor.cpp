#include "BookmarkDialog.h"
#include "BookmarkEditor.h"
#include "BookmarkText.h"
#include "GlyphChooser.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "LaunchFixture.h"
#include "LaunchText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "TestFiles.h"
#include "WebIconFiles.h"
#include "WindowModes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtTest>
#include <sys/stat.h>

using Answer = Prompter::Answer;
using MouseButton = BookmarkEditor::MouseButton;

namespace {

QByteArray line(int n, const QByteArray& title, const QByteArray& extra = {})
{
    const QByteArray k = QByteArray::number(n).rightJustified(2, '0');
    return k + "N=" + title + "\r\n" + k + "U=http://" + title.toLower() + ".example/\r\n" + extra;
}

using TestFiles::data;

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchFixture> make(const QByteArray& p, const QByteArray& q = {}, const QByteArray& settings = {})
    {
        auto f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", "[Tabs]\r\nCount=2\r\nTab1=P\r\nTab2=Q\r\n[P]\r\n" + p + "[Q]\r\n" + q);
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") +
                                    "\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=/usr/bin/env\r\n" + settings);
        f->start();
        return f;
    }
    QByteArray key(LaunchFixture& f, const QByteArray& k, const QByteArray& page = "P")
    {
        return f.key("Disk.LYK", page, k);
    }
    // Opens the bookmark dialog on a button and lets script act in it.
    void dialog(LaunchFixture& f, const QByteArray& button, std::function<void(BookmarkDialog&)> script)
    {
        f.ui.bookmarkDialogs.push_back(std::move(script));
        f.board->editor().BitBtn1MouseDown(button, MouseButton::Right);
    }

private slots:
    void saveRules_data();
    void saveRules();
    void clearedBoxesClearTheKeys();
    void mailtoBecomesALocalLaunch();
    void dialogShowsTheBookmark();
    void protectedBookmarkView();
    void passwordProtectAndRemove();
    void localFileToggle();
    void colourAndReset();
    void launchAsBoxes();
    void carriedBookmarkIsNeverLost_data();
    void carriedBookmarkIsNeverLost();
    void placingShowsAndWorksFromTheKeyboard();
    void movedBookmarkStaysInItsSlotUntilPutDown_data();
    void movedBookmarkStaysInItsSlotUntilPutDown();
    void longAddressOnAProtectedPage_data();
    void longAddressOnAProtectedPage();
    void undoRestoresOnlyItsOwnFile();
    void fileTitles_data();
    void fileTitles();
    void failedMoveLeavesNoOptionBehind();
    void droppedTextCannotBreakTheFile_data();
    void droppedTextCannotBreakTheFile();
    void droppedShortcutsAsWindowsReadsThem();
    void pipesWithShortcutNamesAreNotRead();
    void droppedScriptAddressesMakeNoBookmark();
    void copyThenRightClickShifts();
    void eraseWithAndWithoutConfirmation_data();
    void eraseWithAndWithoutConfirmation();
    void dragAndDrop();
    void iconChooserWrites_data();
    void iconChooserWrites();
    void iconFromTheDialog();
    void defaultIconForAllBookmarks();
    void blankLocalFileSlot();
    void dropPoint_data();
    void dropPoint();
    void droppedShortcutLandsInSlot23();
    void droppedDesktopLauncherIsAProgram();
    void droppedWebLink();
    void bookmarkCurrentWebPage();
};

void TestEditor::saveRules_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("storedTitle");
    QTest::addColumn<QByteArray>("storedUrl");
    QTest::newRow("title only") << "My Site"
                                << "" << QByteArray("My Site") << QByteArray("http://www.mysite.com/");
    QTest::newRow("url only with www") << ""
                                       << "http://www.site.com" << QByteArray("site")
                                       << QByteArray("http://www.site.com/");
    QTest::newRow("url only without www")
        << ""
        << "http://news.example.org" << QByteArray("news") << QByteArray("http://news.example.org/");
    QTest::newRow("both") << "Mine"
                          << "www.mine.com" << QByteArray("Mine") << QByteArray("http://www.mine.com/");
    QTest::newRow("both cleared") << ""
                                  << "" << QByteArray("Old") << QByteArray("http://old.example/");
}

void TestEditor::saveRules()
{
    QFETCH(QString, title);
    QFETCH(QString, url);
    QFETCH(QByteArray, storedTitle);
    QFETCH(QByteArray, storedUrl);
    auto f = make(line(4, "Old"));
    dialog(*f, "B04", [&](BookmarkDialog& d) {
        d.Desc1 = title;
        d.URL1 = url;
        QVERIFY(d.SaveBtnClick());
    });
    QCOMPARE(key(*f, "04N"), storedTitle);
    QCOMPARE(key(*f, "04U"), storedUrl);
    QCOMPARE(f->state.buttons()[3].caption, storedTitle); // the button shows what is stored
}

void TestEditor::clearedBoxesClearTheKeys()
{
    auto f = make(line(1, "Site", "01A=1.2.3.4\r\n01P=old\r\n01S=extra\r\n"));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        QCOMPARE(d.IP1, QStringLiteral("1.2.3.4"));
        d.IP1.clear();
        d.EI1 = QStringLiteral("first\r\nsecond");
        d.EI2.clear();
        d.SaveBtnClick();
    });
    QVERIFY(f->readFile("Disk.LYK").contains("01A=\r\n"));
    QCOMPARE(key(*f, "01P"), QByteArray("first|~second"));
    QVERIFY(f->readFile("Disk.LYK").contains("01S=\r\n"));
    QCOMPARE(f->state.buttons()[0].hint, QByteArray("http://site.example/\rfirst\r\nsecond"));
    // Empty boxes write nothing for keys that are not there.
    dialog(*f, "B02", [](BookmarkDialog& d) {
        d.Desc1 = QStringLiteral("New");
        d.SaveBtnClick();
    });
    QVERIFY(!f->readFile("Disk.LYK").contains("02A="));
    QVERIFY(!f->readFile("Disk.LYK").contains("02P="));
}

void TestEditor::mailtoBecomesALocalLaunch()
{
    auto f = make({});
    dialog(*f, "B01", [](BookmarkDialog& d) {
        d.Desc1 = QStringLiteral("Write me");
        d.URL1 = QStringLiteral("mailto:me@example.org");
        d.SaveBtnClick();
        QCOMPARE(d.action, int(BookmarkDialog::LocalFile));
    });
    QCOMPARE(key(*f, "01U"), QByteArray("mailto:me@example.org"));
    QCOMPARE(key(*f, "01L"), QByteArray("Yes"));
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.documents, QStringList{"mailto:me@example.org"});
}

void TestEditor::dialogShowsTheBookmark()
{
    auto f =
        make(line(3, "Shown", "03P=a|~b\r\n03S=x\r\n03L=IP\r\n03C=255\r\n"), {}, "[Notebook]\r\nFontColor=128\r\n");
    bool seen = false;
    dialog(*f, "B03", [&](BookmarkDialog& d) {
        seen = true;
        QCOMPARE(d.Desc1, QStringLiteral("Shown"));
        QCOMPARE(d.URL1, QStringLiteral("http://shown.example/"));
        QCOMPARE(d.EI1, QStringLiteral("a\r\nb"));
        QCOMPARE(d.EI2, QStringLiteral("x"));
        QVERIFY(d.launch == BookmarkDialog::Launch::Ip);
        QCOMPARE(d.color, 255);
        QCOMPARE(d.defaultColor, 128);
        QVERIFY(d.resetColorVisible());
        QVERIFY(!d.passChecked);
        QVERIFY(!d.protectedView);
        d.HelpBtnClick();
    });
    QVERIFY(seen);
    QCOMPARE(f->ui.helpShown, QList<int>{74});
    QVERIFY(QFile::exists(PathNames::toQt(f->path("Disk.bak")))); // taken before the dialog opened
}

void TestEditor::protectedBookmarkView()
{
    auto f = make("01N=Bank\r\n01U=" + PassText::Encrypt("http://bank.example/", "pw") + "\r\n");
    dialog(*f, "B01", [](BookmarkDialog& d) {
        QVERIFY(d.passChecked);
        QVERIFY(d.protectedView);
        QVERIFY(d.passBoxVisible());
    });
    // On a protected page the address shows deciphered and the box is hidden.
    auto g = make({}, "01N=Vault\r\n01U=" + PassText::Encrypt("http://vault.example/", "pp") + "\r\n");
    g->board->PagePassBox().add("Q", "pp");
    g->ui.answer(QStringLiteral("pp"));
    g->board->pages().selectTab(1);
    dialog(*g, "B01", [](BookmarkDialog& d) {
        QCOMPARE(d.URL1, QStringLiteral("http://vault.example/"));
        QVERIFY(!d.passBoxVisible());
        QVERIFY(!d.protectedView);
        d.URL1 = QStringLiteral("http://vault2.example/");
        d.SaveBtnClick();
    });
    QCOMPARE(key(*g, "01U", "Q"), PassText::Encrypt("http://vault2.example/", "pp"));
}

void TestEditor::passwordProtectAndRemove()
{
    auto f = make(line(2, "Bank"));
    f->ui.answer(QStringLiteral("secret"));
    dialog(*f, "B02", [](BookmarkDialog& d) { QVERIFY(d.PassBoxClick()); });
    QCOMPARE(key(*f, "02U"), PassText::Encrypt("http://bank.example/", "secret"));
    QCOMPARE(f->state.buttons()[1].hint, QByteArray("Password Protected"));
    QVERIFY(f->ui.asked.back().newPassword);
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Password for the bookmark \"Bank\":"));

    f->ui.answer(QStringLiteral("wrong"));
    dialog(*f, "B02", [](BookmarkDialog& d) { d.PassBoxClick(); });
    QCOMPARE(f->ui.messages().back(), QStringLiteral("Invalid Password!"));
    f->ui.answer(QStringLiteral("secret"));
    dialog(*f, "B02", [](BookmarkDialog& d) { d.PassBoxClick(); });
    QCOMPARE(key(*f, "02U"), QByteArray("http://bank.example/"));
    QCOMPARE(f->state.buttons()[1].hint, QByteArray("http://bank.example/"));
}

void TestEditor::localFileToggle()
{
    auto f = make(line(1, "Web") + line(2, "Prog", "02L=Yes\r\n"));
    // The boxes choose; what they chose is kept with the text.
    dialog(*f, "B01", [](BookmarkDialog& d) {
        QVERIFY(!d.LocalBoxClick());
        QVERIFY(d.SaveBtnClick());
    });
    QCOMPARE(key(*f, "01L"), QByteArray("Yes"));
    dialog(*f, "B02", [](BookmarkDialog& d) {
        QVERIFY(!d.URLBoxClick());
        QVERIFY(d.SaveBtnClick());
    });
    QCOMPARE(key(*f, "02L"), QByteArray());
    QVERIFY(!f->readFile("Disk.LYK").contains("02L="));
    // A blank slot ticked "Local File" offers a program or file, and keeps
    // "Yes" only when one was chosen.
    f->ui.answer(QString());
    dialog(*f, "B05", [](BookmarkDialog& d) {
        QVERIFY(!d.LocalBoxClick());
        QVERIFY(d.SaveBtnClick());
    });
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Select a Program or File"));
    QCOMPARE(key(*f, "05L"), QByteArray());
}

void TestEditor::colourAndReset()
{
    auto f = make(line(1, "Red"), {}, "[Colors]\r\nColorA=0000FF\r\n");
    f->ui.answer(255);
    dialog(*f, "B01", [](BookmarkDialog& d) { d.BMColorClick(); });
    QCOMPARE(key(*f, "01C"), QByteArray("255"));
    QCOMPARE(f->state.buttons()[0].color, 255);
    QCOMPARE(f->ui.asked.back().lines.front(), QStringLiteral("ColorA=0000FF"));
    QCOMPARE(f->ui.asked.back().lines.size(), 16);
    QCOMPARE(f->key("lyk.ini", "Colors", "ColorP"), QByteArray("FFFFFF"));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        QVERIFY(d.resetColorVisible());
        d.ResetColorClick();
    });
    QCOMPARE(key(*f, "01C"), QByteArray());
    QCOMPARE(f->state.buttons()[0].color, 0);
}

void TestEditor::launchAsBoxes()
{
    auto f = make(line(1, "Box", "01A=10.0.0.1\r\n"));
    // A box alone, then Cancel: nothing is written.
    dialog(*f, "B01", [](BookmarkDialog& d) { QVERIFY(!d.IPBoxClick()); });
    QVERIFY(!f->readFile("Disk.LYK").contains("01L="));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        d.IPBoxClick();
        d.SaveBtnClick();
    });
    QCOMPARE(key(*f, "01L"), QByteArray("IP"));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        QCOMPARE(d.launch, BookmarkDialog::Launch::Ip);
        d.URLBoxClick();
        d.SaveBtnClick();
    });
    QVERIFY(f->readFile("Disk.LYK").contains("01L=\r\n"));
}

void TestEditor::carriedBookmarkIsNeverLost_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("told");
    QTest::newRow("dragged onto a full page") << "drag" << true;
    QTest::newRow("moved onto a full page") << "full" << true;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("another file opened") << "file" << false;
    QTest::newRow("window closed") << "close" << false;
    QTest::newRow("another command") << "command" << false;
}

void TestEditor::carriedBookmarkIsNeverLost()
{
    QFETCH(QString, how);
    QFETCH(bool, told);
    // Page P is full from slot 38 on (two columns: 40 slots).
    QByteArray full;
    for (int n = 2; n <= 40; ++n)
        full += line(n, "Full" + QByteArray::number(n));
    auto f = make(line(1, "Mover", "01P=carried\r\n01G=7\r\n") + full, {}, "[Column]\r\nCount=2\r\n");
    f->writeFile("other.LYK", "[Tabs]\r\nCount=1\r\nTab1=O\r\n");
    if (how == QLatin1String("drag")) {
        QVERIFY(f->board->editor().BitBtn1MouseDown("B01", MouseButton::Left));
        f->board->editor().ButtonDragDrop("B38", "B01");
    } else {
        const QByteArray before = f->readFile("Disk.LYK");
        dialog(*f, "B01", [](BookmarkDialog& d) { d.MoveBtnClick(); });
        QVERIFY(f->board->records().placing());
        QCOMPARE(f->readFile("Disk.LYK"), before); // it stays in its slot while carried
        if (how == QLatin1String("full"))
            f->board->editor().BitBtn1MouseDown("B38", MouseButton::Left);
        else if (how == QLatin1String("escape"))
            f->board->command([&] { f->board->keys().KeysKeyDown(KeyboardNav::Key::Escape); },
                              CommandKind::WhilePlacing);
        else if (how == QLatin1String("file"))
            f->board->command([&] { f->board->modes().MruList2MruClick(f->path("other.LYK")); });
        else if (how == QLatin1String("close"))
            f->board->FormCloseQuery();
        else
            f->board->command([&] { f->board->MResetSizeClick(); });
    }
    // Back where it came from, whole, and nothing else changed.
    QCOMPARE(f->key("Disk.LYK", "P", "01N"), QByteArray("Mover"));
    QCOMPARE(f->key("Disk.LYK", "P", "01P"), QByteArray("carried"));
    QCOMPARE(f->key("Disk.LYK", "P", "01G"), QByteArray("7"));
    QCOMPARE(f->key("Disk.LYK", "P", "38N"), QByteArray("Full38"));
    QCOMPARE(f->key("Disk.LYK", "P", "40N"), QByteArray("Full40"));
    QCOMPARE(f->readFile("Disk.LYK").count("N=Full"), 39);
    QVERIFY(!f->board->records().placing());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QVERIFY(f->board->records().BookmarkBox().isEmpty());
    QCOMPARE(f->ui.messages(), told ? QStringList{"The page is full from this button on, so \"Mover\" could not be "
                                                  "put there. It is back in its place."}
                                    : QStringList());
}

void TestEditor::placingShowsAndWorksFromTheKeyboard()
{
    auto f = make(line(1, "Mover"), line(1, "There"));
    dialog(*f, "B01", [](BookmarkDialog& d) { d.MoveBtnClick(); });
    QCOMPARE(f->ui.cursor(), ScreenCursor::Drag);
    QCOMPARE(f->state.title(), QStringLiteral("Lynkor - placing \"Mover\": press a bookmark button to put it there, "
                                              "Escape puts it back"));
    // Switching pages keeps it; the title still says so.
    f->board->command([&] { f->board->keys().KeysKeyDown(KeyboardNav::Key::Right); }, CommandKind::WhilePlacing);
    QCOMPARE(f->state.currentPage(), QByteArray("Q"));
    QVERIFY(f->state.title().startsWith(QStringLiteral("Lynkor - placing")));
    // Down selects a button, Enter puts it down there.
    f->board->keys().KeysKeyDown(KeyboardNav::Key::Down);
    f->board->keys().KeysKeyDown(KeyboardNav::Key::Enter);
    QCOMPARE(key(*f, "01N", "Q"), QByteArray("Mover"));
    QCOMPARE(key(*f, "02N", "Q"), QByteArray("There"));
    QCOMPARE(key(*f, "01N"), QByteArray());
    QVERIFY(!f->board->records().placing());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QVERIFY(f->starter.starts.isEmpty()); // placed, not launched
}

void TestEditor::movedBookmarkStaysInItsSlotUntilPutDown_data()
{
    QTest::addColumn<QByteArray>("page");   // where it is put down
    QTest::addColumn<QByteArray>("button"); // "" = Escape
    QTest::addColumn<QStringList>("p");
    QTest::addColumn<QStringList>("q");
    QTest::addColumn<int>("saves");
    const QStringList q{"01:There"};
    QTest::newRow("onto a blank slot of its page")
        << QByteArray("P") << QByteArray("B05") << QStringList{"01:One", "03:Three", "05:Two"} << q << 1;
    QTest::newRow("onto a filled slot of its page, shifting")
        << QByteArray("P") << QByteArray("B03") << QStringList{"01:One", "03:Two", "04:Three"} << q << 1;
    QTest::newRow("onto another page, shifting")
        << QByteArray("Q") << QByteArray("B01") << QStringList{"01:One", "03:Three"}
        << QStringList{"01:Two", "02:There"} << 1;
    QTest::newRow("onto its own slot") << QByteArray("P") << QByteArray("B02")
                                       << QStringList{"01:One", "02:Two", "03:Three"} << q << 0;
    QTest::newRow("Escape") << QByteArray("P") << QByteArray() << QStringList{"01:One", "02:Two", "03:Three"} << q << 0;
}

void TestEditor::movedBookmarkStaysInItsSlotUntilPutDown()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, button);
    QFETCH(QStringList, p);
    QFETCH(QStringList, q);
    QFETCH(int, saves);
    auto f = make(line(1, "One") + line(2, "Two", "02P=carried|~notes\r\n02G=7\r\n") + line(3, "Three"),
                  line(1, "There"), "[Auto]\r\nBackup=Off\r\n");
    const QByteArray before = f->readFile("Disk.LYK");
    dialog(*f, "B02", [](BookmarkDialog& d) { d.MoveBtnClick(); });
    QVERIFY(f->board->records().placing());
    // A crash now loses nothing: the file still holds it in its slot.
    QCOMPARE(f->readFile("Disk.LYK"), before);
    if (page == "Q")
        f->board->command([&] { f->board->pages().selectTab(1); }, CommandKind::WhilePlacing);
    QCOMPARE(f->readFile("Disk.LYK"), before);
    const int writes = f->store.writes();
    if (button.isEmpty())
        f->board->command([&] { f->board->keys().KeysKeyDown(KeyboardNav::Key::Escape); }, CommandKind::WhilePlacing);
    else
        f->board->editor().BitBtn1MouseDown(button, MouseButton::Left);
    QVERIFY(!f->board->records().placing());
    // Taken from its slot and put down in one save.
    QCOMPARE(f->store.writes() - writes, saves);
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "P"), p);
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "Q"), q);
    QCOMPARE(f->readFile("Disk.LYK").count("P=carried|~notes"), 1);
    QCOMPARE(f->readFile("Disk.LYK").count("G=7"), 1);
    if (saves == 0)
        QCOMPARE(f->readFile("Disk.LYK"), before);
    QVERIFY(f->ui.messages().isEmpty());
}

void TestEditor::copyThenRightClickShifts()
{
    auto f = make(line(1, "Source") + line(5, "Five") + line(6, "Six"));
    dialog(*f, "B01", [](BookmarkDialog& d) { d.CopyBtnClick(); });
    f->board->editor().BitBtn1MouseDown("B05", MouseButton::Right);
    QCOMPARE(key(*f, "05N"), QByteArray("Source"));
    QCOMPARE(key(*f, "06N"), QByteArray("Five"));
    QCOMPARE(key(*f, "07N"), QByteArray("Six"));
    QCOMPARE(key(*f, "01N"), QByteArray("Source"));
    QCOMPARE(f->ui.asked.count(), 1); // no dialog in placing mode
}

void TestEditor::eraseWithAndWithoutConfirmation_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<bool>("erased");
    QTest::newRow("confirmed") << QByteArray() << QVariant::fromValue(Answer::Yes) << true;
    QTest::newRow("refused") << QByteArray() << QVariant::fromValue(Answer::No) << false;
    QTest::newRow("no confirmation") << QByteArray("[Confirm]\r\nDialog=Off\r\n") << QVariant() << true;
}

void TestEditor::eraseWithAndWithoutConfirmation()
{
    QFETCH(QByteArray, settings);
    QFETCH(QVariant, answer);
    QFETCH(bool, erased);
    auto f = make(line(2, "Doomed"), {}, settings);
    if (answer.isValid())
        f->ui.answer(answer);
    dialog(*f, "B02", [](BookmarkDialog& d) { d.EraseBtnClick(); });
    if (answer.isValid())
        QCOMPARE(f->ui.messages().back(), QStringLiteral("Are you sure you want to delete the \"Doomed\" bookmark?"));
    QCOMPARE(key(*f, "02N").isEmpty(), erased);
}

void TestEditor::dragAndDrop()
{
    auto f = make(line(1, "First") + line(3, "Third") + line(4, "Fourth"));
    // A press stores the record and starts a drag; a drop on another button moves it there.
    QVERIFY(f->board->editor().BitBtn1MouseDown("B01", MouseButton::Left));
    QCOMPARE(f->board->records().BookmarkBox().value(0), QByteArray("First"));
    f->board->editor().ButtonDragDrop("B03", "B01");
    QCOMPARE(key(*f, "01N"), QByteArray());
    QCOMPARE(key(*f, "03N"), QByteArray("First"));
    QCOMPARE(key(*f, "04N"), QByteArray("Third"));
    QCOMPARE(key(*f, "05N"), QByteArray("Fourth"));
    QCOMPARE(f->state.buttons()[2].caption, QByteArray("First"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray());
    // A drop on the same button is a click: it launches.
    QVERIFY(f->board->editor().BitBtn1MouseDown("B03", MouseButton::Left));
    f->board->editor().ButtonDragDrop("B03", "B03");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://first.example/"});
}

void TestEditor::iconChooserWrites_data()
{
    QTest::addColumn<int>("action"); // 0 internal icon, 1 first file image, 2 placeholder, 3 default icon
    QTest::addColumn<QByteArray>("glyph");
    QTest::addColumn<QByteArray>("iconFile");
    QTest::newRow("internal icon clears the file") << 0 << QByteArray("33") << QByteArray();
    QTest::newRow("first image of a file") << 1 << QByteArray("600") << QByteArray("@");
    QTest::newRow("placeholder keeps the stored glyph") << 2 << QByteArray("612") << QByteArray("@");
    QTest::newRow("default icon") << 3 << QByteArray() << QByteArray();
}

void TestEditor::iconChooserWrites()
{
    QFETCH(int, action);
    QFETCH(QByteArray, glyph);
    QFETCH(QByteArray, iconFile);
    const QByteArray dll = PathNames::fromQt(data("icons/two-icons.dll"));
    iconFile.replace('@', dll);
    auto f = make(line(1, "Iconic", "01G=612\r\n01I=/old/file.ico\r\n"));
    GlyphChooser chooser(*f->board);
    chooser.FormActivate("P", "01");
    QCOMPARE(chooser.filePath, QByteArray("/old/file.ico"));
    QCOMPARE(chooser.chosenNumber, 120);
    switch (action) {
    case 0:
        chooser.DefaultBtnClick();
        chooser.select(33);
        break;
    case 1:
    case 2:
        f->ui.answer(PathNames::toQt(dll));
        QVERIFY(chooser.FileBtnClick());
        QCOMPARE(chooser.fileImageCount, 3); // placeholder and two icons
        chooser.select(action == 1 ? 1 : 0);
        QCOMPARE(chooser.dialogAction, 20);
        break;
    case 3:
        chooser.NoIconBtnClick();
        QVERIFY(f->readFile("Disk.LYK").contains("01G=\r\n"));
        QVERIFY(f->readFile("Disk.LYK").contains("01I=\r\n"));
        break;
    }
    chooser.close();
    QCOMPARE(key(*f, "01G"), glyph);
    QCOMPARE(key(*f, "01I"), iconFile);
    if (action == 3)
        QCOMPARE(chooser.chosenNumber, 120);
}

void TestEditor::iconFromTheDialog()
{
    const QByteArray dll = PathNames::fromQt(data("icons/two-icons.dll"));
    auto f = make(line(1, "Iconic"));
    f->ui.iconChoosers.push_back([&](GlyphChooser& c) {
        c.filePath = dll;
        c.fileImageCount = 3;
        c.select(2);
    });
    dialog(*f, "B01", [](BookmarkDialog& d) { d.IconButtonClick(); });
    QCOMPARE(key(*f, "01G"), QByteArray("601"));
    QCOMPARE(key(*f, "01I"), dll);
    QCOMPARE(f->state.buttons()[0].glyph, (IconRef{IconRef::File, 1, dll}));
}

void TestEditor::defaultIconForAllBookmarks()
{
    auto f = make(line(1, "Plain"));
    f->ui.iconChoosers.push_back([](GlyphChooser& c) {
        c.DefaultBtnClick();
        c.select(7);
    });
    f->board->editor().MDBIconClick();
    QCOMPARE(f->key("Disk.LYK", "Default", "IconG"), QByteArray("7"));
    QCOMPARE(f->state.defaultIcon(), (IconRef{IconRef::Internal, 7, {}}));
    QCOMPARE(f->state.buttons()[0].glyph, IconRef::defaultIcon());
}

void TestEditor::blankLocalFileSlot()
{
    QTemporaryDir dir;
    const QString shortcut = dir.filePath("News Site.url");
    QFile file(shortcut);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[InternetShortcut]\r\nURL=http://news.example/\r\n");
    file.close();
    auto f = make("07L=Yes\r\n08L=Yes\r\n");
    f->ui.answer(shortcut);
    f->board->ButtonClick("B07");
    QCOMPARE(key(*f, "07U"), QByteArray("http://news.example/"));
    QCOMPARE(key(*f, "07N"), QByteArray("News Site"));
    QCOMPARE(f->state.buttons()[6].caption, QByteArray("News Site"));
    QVERIFY(f->starter.starts.isEmpty() && f->starter.documents.isEmpty()); // nothing is launched
    f->ui.answer(QString());                                                // cancelled: nothing written
    f->board->ButtonClick("B08");
    QCOMPARE(key(*f, "08U"), QByteArray());
}

void TestEditor::dropPoint_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("slot");
    // Board 600 wide: columns of 200 (3) or 150 (4); rows of 19.
    QTest::newRow("first row") << 3 << QPoint(5, 0) << 1;
    QTest::newRow("row three, column two") << 3 << QPoint(201, 45) << 23;
    QTest::newRow("on the line between rows 1 and 2") << 3 << QPoint(5, 19) << 2;
    QTest::newRow("on a column's right edge") << 3 << QPoint(200, 5) << 1;
    QTest::newRow("last row, last column") << 4 << QPoint(599, 379) << 80;
    QTest::newRow("below the last row") << 4 << QPoint(10, 380) << 0;
    QTest::newRow("above the board") << 4 << QPoint(10, -1) << 0;
}

void TestEditor::dropPoint()
{
    QFETCH(int, columns);
    QFETCH(QPoint, at);
    QFETCH(int, slot);
    auto f = make({});
    f->board->pages().MColumn2Click(columns);
    QCOMPARE(f->board->editor().slotAt(at, 600), slot);
}

void TestEditor::droppedShortcutLandsInSlot23()
{
    auto f = make(line(23, "Occupant"), {}, "[Column]\r\nCount=3\r\n");
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(data("shortcuts/editor.lnk"));
    f->board->editor().FilesDropped(item, QPoint(201, 45), 600);
    QCOMPARE(key(*f, "23N"), QByteArray("My Editor"));
    QCOMPARE(key(*f, "23U"), QByteArray("C:\\Tools\\Edit.exe /readme.txt /x"));
    QCOMPARE(key(*f, "23S"), QByteArray("D:\\Docs"));
    QCOMPARE(key(*f, "23L"), QByteArray("Yes"));
    QCOMPARE(key(*f, "24N"), QByteArray("Occupant")); // shifted
    QCOMPARE(f->state.buttons()[22].caption, QByteArray("My Editor"));
}

void TestEditor::droppedShortcutsAsWindowsReadsThem()
{
    // A target only the item-ID list names is its bookmark's address; a
    // Control Panel shortcut says why it makes none.
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(data("shortcuts/idlist-long.lnk"));
    f->board->editor().FilesDropped(item, QPoint(5, 5), 600);
    QCOMPARE(key(*f, "01U"), QByteArray("C:\\Program Files\\xt\\xterm main.exe /-geometry 80x24"));
    QCOMPARE(key(*f, "01N"), QByteArray("idlist-long"));
    const QByteArray before = f->readFile("Disk.LYK");
    item.path = PathNames::fromQt(data("shortcuts/namespace.lnk"));
    f->board->editor().FilesDropped(item, QPoint(5, 25), 600);
    QCOMPARE(f->ui.messages(), QStringList{"\"namespace.lnk\" is a shortcut to a Windows item such as a Control Panel "
                                           "page, not to a file, a folder or a program, so it makes no bookmark."});
    QCOMPARE(key(*f, "02U"), QByteArray());
    QCOMPARE(key(*f, "02N"), QByteArray());
}

void TestEditor::droppedDesktopLauncherIsAProgram()
{
    QTemporaryDir dir;
    const QString launcher = dir.filePath("Shell.desktop");
    QFile file(launcher);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nName=Shell Script\nExec=/bin/echo hello world %U\nPath=" +
               QFile::encodeName(dir.path()) + "\nIcon=utilities-terminal\n");
    file.close();
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(launcher);
    f->board->editor().FilesDropped(item, QPoint(5, 5), 600);
    // The launcher itself is kept, so that it runs as the desktop runs it.
    QCOMPARE(key(*f, "01N"), QByteArray("Shell Script"));
    QCOMPARE(key(*f, "01U"), PathNames::fromQt(launcher));
    QCOMPARE(key(*f, "01L"), QByteArray("Yes"));
    QCOMPARE(key(*f, "01I"), PathNames::fromQt(launcher));
    QCOMPARE(key(*f, "01G"), QByteArray("600"));
    QCOMPARE(f->state.buttons()[0].glyph, (IconRef{IconRef::File, 0, PathNames::fromQt(launcher)}));
    // It launches its program, in its working folder.
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].program, QStringLiteral("/bin/echo"));
    QCOMPARE(f->starter.starts[0].arguments, (QStringList{"hello", "world"}));
    QCOMPARE(f->starter.starts[0].folder, dir.path());
}

void TestEditor::droppedWebLink()
{
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.url = "https://site.example/page";
    item.title = "A Site";
    f->board->editor().FilesDropped(item, QPoint(5, 24), 600);
    QCOMPARE(key(*f, "02U"), QByteArray("https://site.example/page"));
    QCOMPARE(key(*f, "02N"), QByteArray("A Site"));
    QCOMPARE(key(*f, "02L"), QByteArray());
}

void TestEditor::bookmarkCurrentWebPage()
{
    auto f = make(line(1, "One") + line(2, "Two"));
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"http://www.page.com/\",\"The Page\",\"\"");
    f->board->editor().AddBookmarkClick();
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(key(*f, "03N"), QByteArray("The Page"));
    QCOMPARE(key(*f, "03U"), QByteArray("http://www.page.com/"));
    f->conversation.replies.remove("WWW_GetWindowInfo");
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->editor().AddBookmarkClick();
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->readFile("Disk.LYK"), before); // the browser shows nothing: no change, and a word why
    QCOMPARE(f->ui.messages(), QStringList{f->launcher.noPageText()});
}

namespace {

// An address whose enciphered form would hold the mark before its end.
QByteArray longAddress(const QByteArray& password)
{
    QByteArray url = "http://www.example.com/";
    while (PassText::EncryptRoundTrips(url, password))
        url += 'a';
    return url;
}

} // namespace

void TestEditor::longAddressOnAProtectedPage_data()
{
    QTest::addColumn<QString>("writer");
    QTest::newRow("bookmark dialog") << "dialog";
    QTest::newRow("blank button from the browser") << "browser";
    QTest::newRow("dropped file") << "drop";
    QTest::newRow("Local File") << "local";
}

void TestEditor::longAddressOnAProtectedPage()
{
    QFETCH(QString, writer);
    const QByteArray url = longAddress("pw");
    QVERIFY(url.size() > 112);
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\nP_\xDF_\xB6_=" + PassText::scramble("Ppw") + "\xA7\r\n");
    f->writeFile("lyk.ini", "[Browser]\r\nCount=1\r\nSelected=1\r\n1=/usr/bin/env\r\n");
    f->start();
    f->board->vars().BrowserPath = "/usr/bin/chromium";
    QVERIFY(f->board->PagePassBox().PageProtected("P"));
    if (writer == QLatin1String("dialog")) {
        dialog(*f, "B01", [&](BookmarkDialog& d) {
            d.Desc1 = QStringLiteral("Long");
            d.URL1 = QString::fromLatin1(url);
            QVERIFY(!d.SaveBtnClick()); // the dialog stays open to mend the address
        });
    } else if (writer == QLatin1String("browser")) {
        f->conversation.replies.insert("WWW_GetWindowInfo", "\"" + url + "\",\"Long\",\"\"");
        f->board->ButtonClick("B01");
        QTRY_VERIFY(!f->board->busy());
    } else if (writer == QLatin1String("drop")) {
        BookmarkEditor::Dropped item;
        item.url = url;
        item.title = "Long";
        f->board->editor().FilesDropped(item, QPoint(5, 5), 600);
    } else {
        // A file whose path is as long.
        QTemporaryDir dir;
        QByteArray path = PathNames::fromQt(dir.path()) + "/";
        while (PassText::EncryptRoundTrips(path + ".txt", "pw"))
            path += 'a';
        QVERIFY(TestFiles::write(PathNames::toQt(path + ".txt"), "x"));
        {
            TIniFile32 ini(f->store, f->path("Disk.LYK"));
            ini.WriteString("P", "01L", "Yes");
        }
        f->ui.answer(PathNames::toQt(path + ".txt"));
        f->board->ButtonClick("B01");
    }
    QCOMPARE(f->key("Disk.LYK", "P", "01U"), QByteArray());
    QCOMPARE(f->ui.messages().size(), 1);
    QVERIFY2(f->ui.messages().front().startsWith(QStringLiteral("The address of the bookmark \"")),
             qPrintable(f->ui.messages().front()));
}

void TestEditor::undoRestoresOnlyItsOwnFile()
{
    auto f = make(line(1, "Old"));
    f->writeFile("Work.2023.LYK", "[Tabs]\r\nCount=1\r\nTab1=A\r\n[A]\r\n01N=Year 23\r\n01U=http://23.example/\r\n");
    f->writeFile("Work.2024.LYK", "[Tabs]\r\nCount=1\r\nTab1=A\r\n[A]\r\n01N=Year 24\r\n01U=http://24.example/\r\n");
    // An edit of the 2023 file backs it up as Work.bak.
    f->board->modes().MruList2MruClick(f->path("Work.2023.LYK"));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        d.Desc1 = QStringLiteral("Edited 23");
        d.SaveBtnClick();
    });
    QVERIFY(f->readFile("Work.bak").contains("Year 23"));
    // Opened next, the 2024 file is never overwritten with the 2023 backup.
    f->board->modes().MruList2MruClick(f->path("Work.2024.LYK"));
    const QByteArray year24 = f->readFile("Work.2024.LYK");
    f->board->records().MUndoClick();
    QCOMPARE(f->readFile("Work.2024.LYK"), year24);
    QCOMPARE(f->ui.messages().back(),
             QStringLiteral("The backup \"Work.bak\" was taken of \"%1\", not of the open file \"Work.2024.LYK\"; "
                            "nothing was restored.")
                 .arg(PathNames::toQt(f->path("Work.2023.LYK"))));
    // Its own backup it restores.
    f->board->modes().MruList2MruClick(f->path("Work.2023.LYK"));
    dialog(*f, "B01", [](BookmarkDialog& d) {
        d.Desc1 = QStringLiteral("Edited again");
        d.SaveBtnClick();
    });
    f->board->records().MUndoClick();
    QCOMPARE(f->key("Work.2023.LYK", "A", "01N"), QByteArray("Edited 23"));

    // A backup of an older version knows no owner: with another file of that
    // stem beside it, it is refused too.
    LaunchFixture g;
    g.writeFile("Work.2023.LYK", "[A]\r\n01N=Year 23\r\n01U=http://23.example/\r\n");
    g.writeFile("Work.2024.LYK", "[A]\r\n01N=Year 24\r\n01U=http://24.example/\r\n");
    g.writeFile("Work.bak", "[A]\r\n01N=Year 23\r\n01U=http://23.example/\r\n");
    g.writeFile("lyk.ini", "[File]\r\nName=" + g.path("Work.2024.LYK") + "\r\n");
    g.start();
    g.board->records().MUndoClick();
    QCOMPARE(g.key("Work.2024.LYK", "A", "01N"), QByteArray("Year 24"));
    QVERIFY(g.ui.messages().back().startsWith(QStringLiteral("The backup \"Work.bak\" may have been taken of")));
}

void TestEditor::fileTitles_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("title");
    QTest::newRow("three letters") << QByteArray("notes.txt") << QByteArray("notes");
    QTest::newRow("four letters") << QByteArray("report.html") << QByteArray("report");
    QTest::newRow("two letters") << QByteArray("README.md") << QByteArray("README");
    QTest::newRow("two extensions") << QByteArray("archive.tar.gz") << QByteArray("archive.tar");
    QTest::newRow("none") << QByteArray("Makefile") << QByteArray("Makefile");
    QTest::newRow("hidden file") << QByteArray(".profile") << QByteArray(".profile");
}

void TestEditor::fileTitles()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, title);
    QCOMPARE(LaunchText::FileTitle(name), title);
    QTemporaryDir dir;
    TestFiles::write(dir.filePath(QString::fromLatin1(name)), "x");
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(dir.filePath(QString::fromLatin1(name)));
    f->board->editor().FilesDropped(item, QPoint(5, 5), 600);
    QCOMPARE(key(*f, "01N"), title);
}

void TestEditor::failedMoveLeavesNoOptionBehind()
{
    // A drag whose erase fails (the disk is full) must not leave erasing
    // without its web-icon question for the rest of the session.
    auto f = make(line(1, "Site") + line(2, "Other"), {}, "[Auto]\r\nBackup=Off\r\n");
    const QByteArray icon = WebIconFiles::folder(f->path("Disk.LYK")) + "site_example_.ico";
    QDir().mkpath(PathNames::toQt(WebIconFiles::folder(f->path("Disk.LYK"))));
    QVERIFY(TestFiles::write(PathNames::toQt(icon), "icon"));
    {
        TIniFile32 ini(f->store, f->path("Disk.LYK"));
        ini.WriteString("P", "02U", "http://site.example/");
        ini.WriteString("P", "02I", icon);
    }
    QVERIFY(f->board->editor().BitBtn1MouseDown("B01", MouseButton::Left));
    {
        const TestFiles::WritesFailBeyond full(10);
        f->board->command([&] { f->board->editor().ButtonDragDrop("B05", "B01"); });
    }
    QVERIFY2(!f->ui.messages().isEmpty() && f->ui.messages().back().startsWith(QStringLiteral("Cannot create file")),
             qPrintable(f->ui.messages().join(QLatin1Char('|')) + f->readFile("Disk.LYK")));
    f->ui.answer(1); // Keep Image
    f->board->records().EraseButton("P", "02");
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Delete Web Icon for \"Other\""));
}

void TestEditor::droppedTextCannotBreakTheFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("url"); // "@" is the dropped file
    const QByteArray head = "[Desktop Entry]\nType=Application\nExec=/bin/true\n";
    QTest::newRow("launcher name with LF") << "a.desktop" << head + "Name=Nice\\n01U=http://evil.example/\\n01L=\n"
                                           << QByteArray("Nice 01U=http://evil.example/ 01L=") << QByteArray("@");
    QTest::newRow("launcher name with CR") << "b.desktop" << head + "Name=Nice\\r02N=Extra\n"
                                           << QByteArray("Nice 02N=Extra") << QByteArray("@");
    QTest::newRow("launcher folder") << "c.desktop" << head + "Name=Folder\nPath=/tmp\\n02U=http://evil.example/\n"
                                     << QByteArray("Folder") << QByteArray("@");
    QTest::newRow("link address") << "d.desktop"
                                  << QByteArray(
                                         "[Desktop Entry]\nType=Link\nName=Link\nURL=http://ok.example/\\n01L=Yes\n")
                                  << QByteArray("Link") << QByteArray("http://ok.example/ 01L=Yes");
    QTest::newRow("shortcut description with CR LF and arguments with LF")
        << "" << QByteArray() << QByteArray("Nice  01U=http://evil.example/  01L=")
        << QByteArray("^/bin/run.exe /one two");
}

void TestEditor::droppedTextCannotBreakTheFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, url);
    QTemporaryDir dir;
    QString path = data("shortcuts/injection.lnk");
    if (!file.isEmpty()) {
        path = dir.filePath(file);
        QVERIFY(TestFiles::write(path, content));
    }
    url.replace("@", PathNames::fromQt(path));
    // A shortcut's relative target counts from the shortcut's folder's parent here.
    url.replace("^", PathNames::fromQt(QDir::cleanPath(QFileInfo(path).absolutePath() + QStringLiteral("/.."))));
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(path);
    f->board->editor().FilesDropped(item, QPoint(5, 5), 600);
    // Exactly the dropped bookmark's own keys, each on its own line.
    QByteArray section = f->readFile("Disk.LYK");
    section = section.mid(section.indexOf("[P]\r\n") + 5);
    section = section.left(section.indexOf("[Q]"));
    for (const QByteArray& l : section.split('\n')) {
        const QByteArray k = l.left(l.indexOf('='));
        QVERIFY2(l.trimmed().isEmpty() ||
                     (k.size() == 3 && k.startsWith("01") && QByteArray("NUCDPSLGIA").contains(k[2])),
                 l.constData());
    }
    QCOMPARE(key(*f, "01N"), title);
    QCOMPARE(key(*f, "01U"), url);
    QCOMPARE(key(*f, "02U"), QByteArray());
}

void TestEditor::pipesWithShortcutNamesAreNotRead()
{
    // Named pipes called like a shortcut would never end when read.
    QTemporaryDir dir;
    for (const char* name : {"x.url", "y.lnk"})
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QString::fromLatin1(name))).constData(), 0600), 0);
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.path = PathNames::fromQt(dir.filePath("x.url"));
    f->board->command([&] { f->board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    QCOMPARE(f->ui.messages(), QStringList{"Cannot open file " + dir.filePath("x.url")});
    QCOMPARE(key(*f, "01U"), QByteArray());
    item.path = PathNames::fromQt(dir.filePath("y.lnk"));
    f->board->command([&] { f->board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    QCOMPARE(key(*f, "01U"), item.path); // not read: kept as a file
}

void TestEditor::droppedScriptAddressesMakeNoBookmark()
{
    // A link or shortcut whose address runs or shows what it holds is said
    // and left out; a shortcut saved with a byte-order mark is read.
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath("script.url"), "[InternetShortcut]\r\nURL=javascript:alert(1)\r\n"));
    QVERIFY(
        TestFiles::write(dir.filePath("marked.url"), "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://m.example/\r\n"));
    auto f = make({});
    BookmarkEditor::Dropped item;
    item.url = "javascript:alert(document.cookie)";
    f->board->command([&] { f->board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    item = {};
    item.path = PathNames::fromQt(dir.filePath("script.url"));
    f->board->command([&] { f->board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    QCOMPARE(key(*f, "01U"), QByteArray());
    QCOMPARE(f->ui.messages(),
             (QStringList{"\"javascript:alert(document.cookie)\" makes no bookmark: only web, FTP, file and program "
                          "addresses do (not javascript:, data: and the like).",
                          "\"javascript:alert(1)\" makes no bookmark: only web, FTP, file and program addresses do "
                          "(not javascript:, data: and the like)."}));
    item.path = PathNames::fromQt(dir.filePath("marked.url"));
    f->board->command([&] { f->board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    QCOMPARE(key(*f, "01U"), QByteArray("http://m.example/"));
}

QTEST_GUILESS_MAIN(TestEditor)
#include "tst_editor.moc"
