#include "BookmarkDialog.h"
#include "BookmarkEditor.h"
#include "GlyphChooser.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

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
    void moveToAFullPageKeepsTheRecord();
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
    QTest::newRow("title only") << "My Site" << "" << QByteArray("My Site") << QByteArray("http://www.mysite.com/");
    QTest::newRow("url only with www") << "" << "http://www.site.com" << QByteArray("site")
                                       << QByteArray("http://www.site.com/");
    QTest::newRow("url only without www") << "" << "http://news.example.org" << QByteArray("news")
                                          << QByteArray("http://news.example.org/");
    QTest::newRow("both") << "Mine" << "www.mine.com" << QByteArray("Mine") << QByteArray("http://www.mine.com/");
    QTest::newRow("both cleared") << "" << "" << QByteArray("Old") << QByteArray("http://old.example/");
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
    auto f = make(line(3, "Shown", "03P=a|~b\r\n03S=x\r\n03L=IP\r\n03C=255\r\n"), {}, "[Notebook]\r\nFontColor=128\r\n");
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
    QVERIFY(!f->ui.asked.back().masked);

    f->ui.answer(QStringLiteral("wrong"));
    dialog(*f, "B02", [](BookmarkDialog& d) { d.PassBoxClick(); });
    QCOMPARE(f->ui.messages().back(), QStringLiteral("Invalid Password!"));
    f->ui.answer(QStringLiteral("secret"));
    dialog(*f, "B02", [](BookmarkDialog& d) { d.PassBoxClick(); });
    QCOMPARE(key(*f, "02U"), QByteArray("http://bank.example/"));
    QCOMPARE(f->state.buttons()[1].hint, QByteArray("http://bank.example/"));
    QVERIFY(f->board->vars().TypedPassword.isEmpty());
}

void TestEditor::localFileToggle()
{
    auto f = make(line(1, "Web") + line(2, "Prog", "02L=Yes\r\n"));
    dialog(*f, "B01", [](BookmarkDialog& d) { d.LocalBoxClick(); });
    QCOMPARE(key(*f, "01L"), QByteArray("Yes"));
    dialog(*f, "B02", [](BookmarkDialog& d) { d.LocalBoxClick(); });
    QCOMPARE(key(*f, "02L"), QByteArray());
    // A blank slot ticked "Local File" offers a program or file, and keeps
    // "Yes" only when one was chosen.
    f->ui.answer(QString());
    dialog(*f, "B05", [](BookmarkDialog& d) { d.LocalBoxClick(); });
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
    dialog(*f, "B01", [](BookmarkDialog& d) { d.IPBoxClick(); });
    QCOMPARE(key(*f, "01L"), QByteArray("IP"));
    dialog(*f, "B01", [](BookmarkDialog& d) { d.URLBoxClick(); });
    QVERIFY(f->readFile("Disk.LYK").contains("01L=\r\n"));
}

void TestEditor::moveToAFullPageKeepsTheRecord()
{
    QByteArray full;
    for (int n = 38; n <= 40; ++n)
        full += line(n, "Full" + QByteArray::number(n));
    auto f = make(line(1, "Mover", "01P=carried\r\n"), full, "[Column]\r\nCount=2\r\n");
    dialog(*f, "B01", [](BookmarkDialog& d) { d.MoveBtnClick(); });
    QCOMPARE(f->ui.cursor(), ScreenCursor::Drag);
    QCOMPARE(key(*f, "01U"), QByteArray()); // the source is erased at once
    f->board->pages().selectTab(1);
    f->board->editor().BitBtn1MouseDown("B38", MouseButton::Right);
    QCOMPARE(key(*f, "38N", "Q"), QByteArray("Full38"));
    QCOMPARE(f->board->records().BookmarkBox().value(0), QByteArray("Mover"));
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    // Put down on the first page again, it lands.
    f->ui.setCursor(ScreenCursor::Drag);
    f->board->pages().selectTab(0);
    f->board->editor().BitBtn1MouseDown("B03", MouseButton::Left);
    QCOMPARE(key(*f, "03N"), QByteArray("Mover"));
    QCOMPARE(key(*f, "03P"), QByteArray("carried"));
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
    f->ui.answer(QString()); // cancelled: nothing written
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
    QCOMPARE(key(*f, "01N"), QByteArray("Shell Script"));
    QCOMPARE(key(*f, "01U"), QByteArray("/bin/echo /hello world"));
    QCOMPARE(key(*f, "01S"), PathNames::fromQt(dir.path()));
    QCOMPARE(key(*f, "01I"), PathNames::fromQt(launcher));
    QCOMPARE(key(*f, "01G"), QByteArray("600"));
    QCOMPARE(f->state.buttons()[0].glyph, (IconRef{IconRef::File, 0, PathNames::fromQt(launcher)}));
    // It launches as a program, in its working folder.
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
    QCOMPARE(key(*f, "03N"), QByteArray("The Page"));
    QCOMPARE(key(*f, "03U"), QByteArray("http://www.page.com/"));
    f->conversation.replies.remove("WWW_GetWindowInfo");
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->editor().AddBookmarkClick();
    QCOMPARE(f->readFile("Disk.LYK"), before); // the browser shows nothing: no change
}

QTEST_GUILESS_MAIN(TestEditor)
#include "tst_editor.moc"
