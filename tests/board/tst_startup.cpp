#include "BoardFixture.h"
#include "CommandLine.h"
#include "FileCommands.h"
#include "FileStamp.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "ProgramDirLocator.h"
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <QtTest>

using Answer = Prompter::Answer;

class TestStartUp : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void programDir();
    void firstRunWritesItsKeysAndShowsTenPages();
    void firstRunOnALowScreen();
    void fileNameWithoutDotIsAFirstRun();
    void migratedFileNameStaysInTheDataFolder_data();
    void migratedFileNameStaysInTheDataFolder();
    void stemArgumentUsesItsOwnSettingsFile();
    void bookmarkFileArguments_data();
    void bookmarkFileArguments();
    void installerFirstRunWelcomes();
    void legacySettingsAreCopiedOnce();
    void diskCopyIsRecovered();
    void optionsAndDefaults();
    void browsersAreSeededWhenNoneIsKnown();
    void defaultIconImageFormIsConverted();
    void titleFollowsTheSelectedPage();
    void lockedFileShowsALockedBoard();
    void badIconCodeOnFirstPageStillListsThePages();
    void closingSavesTheWindowPlace();
    void secondStartHandsOverItsFile_data();
    void secondStartHandsOverItsFile();
    void onlineIndicator();
    void helpItems();
    void unfitFileIsLeftAlone_data();
    void unfitFileIsLeftAlone();
    void longTitleOpensAndShowsItsStart();
    void fileCutAtANulKeepsItsWholeCopy();
};

void TestStartUp::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<QByteArray>("install");
    QTest::addColumn<QByteArray>("stem");
    QTest::addColumn<QByteArrayList>("files");
    QTest::newRow("none") << QStringList() << false << QByteArray() << QByteArray("LYK") << QByteArrayList();
    QTest::newRow("installer run") << QStringList{"/_/opt/setup"} << true << QByteArray("/opt/setup")
                                   << QByteArray("LYK") << QByteArrayList();
    QTest::newRow("stem") << QStringList{"work"} << false << QByteArray() << QByteArray("work")
                          << QByteArrayList{"work"};
    QTest::newRow("file with extension") << QStringList{"mine.LYK"} << false << QByteArray() << QByteArray("LYK")
                                         << QByteArrayList{"mine.LYK"};
    QTest::newRow("absolute path is a file, not a switch") << QStringList{"/home/u/b.LYK"} << false << QByteArray()
                                                           << QByteArray("LYK") << QByteArrayList{"/home/u/b.LYK"};
    QTest::newRow("path without extension: the stem is its name")
        << QStringList{"/home/u/work"} << false << QByteArray() << QByteArray("work") << QByteArrayList{"/home/u/work"};
    QTest::newRow("hidden folder does not give an extension")
        << QStringList{"/home/u/.lynkor/work"} << false << QByteArray() << QByteArray("work")
        << QByteArrayList{"/home/u/.lynkor/work"};
    QTest::newRow("second file wins") << QStringList{"a.LYK", "b.LYK"} << false << QByteArray() << QByteArray("LYK")
                                      << QByteArrayList{"a.LYK", "b.LYK"};
    QTest::newRow("installer run with a file")
        << QStringList{"/_/opt", "b.LYK"} << true << QByteArray("/opt") << QByteArray("LYK") << QByteArrayList{"b.LYK"};
}

void TestStartUp::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(bool, firstRun);
    QFETCH(QByteArray, install);
    QFETCH(QByteArray, stem);
    QFETCH(QByteArrayList, files);
    const CommandLine cl = CommandLine::parse(args);
    QCOMPARE(cl.firstRun, firstRun);
    QCOMPARE(cl.installFolder, install);
    QCOMPARE(cl.stem, stem);
    QCOMPARE(QByteArrayList(cl.bookmarkFiles.begin(), cl.bookmarkFiles.end()), files);
}

void TestStartUp::programDir()
{
    QTemporaryDir tmp;
    const QByteArray root = PathNames::fromQt(tmp.path());
    ProgramDirLocator l;
    l.home = root + "/home";
    l.programFolder = root + "/bin";
    QDir().mkpath(tmp.path() + "/bin");
    // Nothing set: the XDG data folder below home, created.
    QCOMPARE(l.locate(), root + "/home/.local/share/lynkor/");
    QVERIFY(QDir(tmp.path() + "/home/.local/share/lynkor").exists());
    l.xdgDataHome = root + "/data";
    QCOMPARE(l.locate(), root + "/data/lynkor/");
    // A program folder that holds a settings file is a portable installation.
    QFile ini(tmp.path() + "/bin/LYK.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.close();
    QCOMPARE(l.locate(), root + "/bin/");
    // LYNKOR_HOME wins over everything.
    l.lynkorHome = root + "/custom";
    QCOMPARE(l.locate(), root + "/custom/");
}

void TestStartUp::firstRunWritesItsKeysAndShowsTenPages()
{
    BoardFixture f;
    f.start();
    const QByteArray disk = f.path("Disk.LYK");
    QCOMPARE(f.key("lyk.ini", "File", "Name"), disk);
    QCOMPARE(f.key("lyk.ini", "Window", "State"), QByteArray("Norm"));
    QCOMPARE(f.key("lyk.ini", "Location", "ShowHint"), QByteArray("Yes"));
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), QByteArray("No"));
    QCOMPARE(f.key("lyk.ini", "Location", "Top"), QByteArray("50"));
    QCOMPARE(f.key("lyk.ini", "Location", "Left"), QByteArray("100"));
    QCOMPARE(f.key("lyk.ini", "Location", "Width"), QByteArray("620"));
    QCOMPARE(f.files.BookmarkFileName(), disk);
    QVERIFY(QFile::exists(PathNames::toQt(disk))); // loading the page saved it once

    QCOMPARE(f.state.tabs().size(), size_t(10));
    QCOMPARE(f.state.tabs().front(), QByteArray("Page1"));
    QCOMPARE(f.state.tabs().back(), QByteArray("Page10"));
    QCOMPARE(f.state.tabIndex(), 0);
    QCOMPARE(f.state.buttons().size(), size_t(80));
    for (const ButtonFace& b : f.state.buttons()) {
        QVERIFY(b.caption.isEmpty());
        QVERIFY(b.hint.isEmpty());
        QCOMPARE(b.glyph, IconRef::blank());
        QVERIFY(!b.handCursor);
    }
    QCOMPARE(f.state.buttons()[79].name, QByteArray("B80"));
    QCOMPARE(f.state.title(), QStringLiteral("Lynkor  [ Disk ]    Page1: Page 1 of 10   12/10/26"));
    QCOMPARE(f.state.geometry(), (WindowGeometry{100, 50, 620, 469}));
    QVERIFY(f.state.visible());
    QVERIFY(f.ui.asked.isEmpty());
}

void TestStartUp::firstRunOnALowScreen()
{
    BoardFixture f;
    f.desktop.height = 480;
    f.start();
    QCOMPARE(f.key("lyk.ini", "Location", "Top"), QByteArray("2"));
    QCOMPARE(f.key("lyk.ini", "Location", "Left"), QByteArray("2"));
}

void TestStartUp::fileNameWithoutDotIsAFirstRun()
{
    BoardFixture f;
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("nodot") + "\r\n[Location]\r\nTop=7\r\n");
    f.start();
    QCOMPARE(f.key("lyk.ini", "File", "Name"), f.path("Disk.LYK"));
    QCOMPARE(f.key("lyk.ini", "Location", "Top"), QByteArray("50"));
}

void TestStartUp::migratedFileNameStaysInTheDataFolder_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("Windows path") << QByteArray("C:\\LYNKOR\\Disk.LYK");
    QTest::newRow("relative path") << QByteArray("books/Disk.LYK");
}

void TestStartUp::migratedFileNameStaysInTheDataFolder()
{
    QFETCH(QByteArray, stored);
    BoardFixture f;
    f.writeFile("lyk.ini", "[File]\r\nName=" + stored + "\r\n");
    f.writeFile("DISK.LYK", "[Tabs]\r\nCount=1\r\nTab1=Mine\r\n"); // the user's file, copied over
    // Started from another folder, nothing may be made there.
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    f.start();
    f.board->pages().LoadCurrent();
    QDir::setCurrent(before);
    QCOMPARE(f.files.BookmarkFileName(), f.path("DISK.LYK"));
    QCOMPARE(f.key("lyk.ini", "File", "Name"), f.path("DISK.LYK"));
    QCOMPARE(f.state.currentPage(), QByteArray("Mine"));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestStartUp::stemArgumentUsesItsOwnSettingsFile()
{
    BoardFixture f;
    f.start({"work"});
    QVERIFY(QFile::exists(PathNames::toQt(f.path("work.INI"))));
    // lyk.ini holds only the recent files, which are shared by every stem.
    QCOMPARE(f.key("lyk.ini", "File", "Name"), QByteArray());
    QCOMPARE(f.key("lyk.ini", "MRU", "1"), f.path("work"));
    QCOMPARE(f.key("work.INI", "File", "Name"), f.path("work"));
    QCOMPARE(f.files.BookmarkFileName(), f.path("work"));
    QCOMPARE(f.state.title(), QStringLiteral("Lynkor work [ work ]    Page1: Page 1 of 10   12/10/26"));
}

void TestStartUp::bookmarkFileArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected"); // relative to the data folder
    QTest::newRow("name without folder is in the data folder") << QStringList{"mine.LYK"} << QByteArray("mine.LYK");
    QTest::newRow("second argument wins") << QStringList{"a.LYK", "b.LYK"} << QByteArray("b.LYK");
    QTest::newRow("absolute path") << QStringList{"@/sub/abs.LYK"} << QByteArray("sub/abs.LYK");
}

void TestStartUp::bookmarkFileArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    BoardFixture f;
    for (QString& a : args)
        a.replace(QLatin1Char('@'), f.dir.path());
    QDir().mkpath(f.dir.path() + "/sub");
    f.start(args);
    QCOMPARE(f.files.BookmarkFileName(), f.path(expected));
    QCOMPARE(f.key("lyk.ini", "File", "Name"), f.path(expected));
    QCOMPARE(f.files.SettingsStem(), QByteArray("LYK"));
}

void TestStartUp::installerFirstRunWelcomes()
{
    BoardFixture f;
    QTemporaryDir install;
    QFile setup(install.filePath("setup.exe"));
    QVERIFY(setup.open(QIODevice::WriteOnly));
    setup.write("installer");
    setup.close();
    f.ui.answer(0);
    f.start({"/_" + install.path()});
    QCOMPARE(f.ui.asked.size(), 1);
    const auto& q = f.ui.asked.front();
    QCOMPARE(q.kind, QStringLiteral("choice"));
    QCOMPARE(q.text, QStringLiteral("Welcome to Lynkor"));
    QCOMPARE(q.options, QStringList{"Begin"});
    QCOMPARE(q.lines, (QStringList{"Click on any blank button to add bookmarks to Lynkor.", "",
                                   "Other Lynkor data files can be opened or created using the File menu.", "",
                                   "Click your Right mouse button on any Page Tab or Button for Options."}));
    QCOMPARE(f.readFile("setup.exe"), QByteArray("installer"));
    QCOMPARE(f.files.SettingsStem(), QByteArray("LYK"));
}

void TestStartUp::legacySettingsAreCopiedOnce()
{
    BoardFixture f;
    f.writeFile("KV.INI", "[Column]\r\nCount=2\r\n");
    f.writeFile("kv.use", "[User]\r\nName=Me\r\n");
    f.start();
    QCOMPARE(f.key("lyk.ini", "Column", "Count"), QByteArray("2"));
    QCOMPARE(f.state.buttons().size(), size_t(40));
    QCOMPARE(f.readFile("lyk.use"), QByteArray("[User]\r\nName=Me\r\n"));

    BoardFixture g;
    g.writeFile("lyk.ini", "[Column]\r\nCount=3\r\n");
    g.writeFile("kv.ini", "[Column]\r\nCount=2\r\n");
    g.start();
    QCOMPARE(g.state.buttons().size(), size_t(60));
}

void TestStartUp::diskCopyIsRecovered()
{
    BoardFixture f;
    const QByteArray original = f.path("travel.LYK");
    f.writeFile("lyk.ini",
                "[File]\r\nName=" + original + "\r\nTempName=Disk\r\n[Search]\r\nName=" + f.path("sites.ISE") + "\r\n");
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=Trip\r\n");
    f.writeFile("disk.ise", "sites");
    f.start();
    QCOMPARE(f.key("lyk.ini", "File", "TempName"), QByteArray());
    QVERIFY(!QFile::exists(PathNames::toQt(f.path("Disk.LYK"))));
    QCOMPARE(f.readFile("sites.ISE"), QByteArray("sites"));
    QCOMPARE(f.files.BookmarkFileName(), original);
    QCOMPARE(f.state.tabs().front(), QByteArray("Trip"));

    // An existing file of the original name is never replaced.
    BoardFixture g;
    g.writeFile("lyk.ini", "[File]\r\nName=" + g.path("keep.LYK") + "\r\nTempName=Disk\r\n");
    g.writeFile("keep.LYK", "[Tabs]\r\nCount=1\r\nTab1=Kept\r\n");
    g.writeFile("disk.lyk", "[Tabs]\r\nCount=1\r\nTab1=Copy\r\n");
    g.start();
    QCOMPARE(g.state.tabs().front(), QByteArray("Kept"));
    QCOMPARE(g.key("lyk.ini", "File", "TempName"), QByteArray());
}

void TestStartUp::optionsAndDefaults()
{
    BoardFixture f;
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("a.LYK") +
                               "\r\n[Column]\r\nCount=3\r\n[Auto]\r\nBackup=Off\r\n"
                               "[Button]\r\nNotes=off\r\nUrl=Off\r\n[Location]\r\nTop=33\r\nLeft=44\r\nWidth=700\r\n"
                               "[Tabs]\r\nFontName=Courier\r\nSelectedColor=255\r\n"
                               "[Notebook]\r\nFontSize=12\r\nFontColor=128\r\n");
    f.start();
    QCOMPARE(f.state.buttons().size(), size_t(60));
    QVERIFY(f.state.checked(MenuItem::MBIcon));
    QVERIFY(f.state.checked(MenuItem::MBNotes)); // only exactly "Off" is off
    QVERIFY(!f.state.checked(MenuItem::MBUrl));
    QVERIFY(!f.state.checked(MenuItem::MBackup));
    QVERIFY(!f.state.item(MenuItem::MUndo).enabled);
    QVERIFY(f.state.checked(MenuItem::MNewDlg));
    QVERIFY(f.state.checked(MenuItem::MWebDlg));
    QVERIFY(f.state.checked(MenuItem::MWebIcon));
    QVERIFY(f.state.checked(MenuItem::MColumn3));
    QVERIFY(!f.state.checked(MenuItem::MColumn4));
    QCOMPARE(f.state.geometry(), (WindowGeometry{44, 33, 700, 469}));
    QCOMPARE(f.state.tabStyle().fontName, QByteArray("Courier"));
    QCOMPARE(f.state.tabStyle().selectedColor, 255);
    QCOMPARE(f.state.tabStyle().unselectedColor, 11228244);
    QCOMPARE(f.state.tabStyle().fontSize, 9);
    QCOMPARE(f.state.buttonFontName(), QByteArray("Arial"));
    QCOMPARE(f.state.buttonFontSize(), 12);
    QCOMPARE(f.board->vars().ButtonFontColor, 128);
    QCOMPARE(f.board->vars().WindowWidth, 700);

    BoardFixture g;
    g.writeFile("lyk.ini", "[Column]\r\nCount=7\r\n");
    g.start();
    QCOMPARE(g.state.buttons().size(), size_t(80)); // a damaged count is not 140 buttons
}

void TestStartUp::browsersAreSeededWhenNoneIsKnown()
{
    QTemporaryDir bin;
    const QByteArray firefox = PathNames::fromQt(bin.filePath("firefox"));
    const QByteArray chromium = PathNames::fromQt(bin.filePath("chromium"));
    for (const QByteArray& p : {firefox, chromium}) {
        QFile file(PathNames::toQt(p));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    BoardFixture f;
    f.desktop.browsers = {firefox, chromium};
    f.writeFile("lyk.ini", "[Browser]\r\nCount=3\r\nSelected=3\r\n3=/gone/browser\r\n");
    f.start();
    QCOMPARE(f.key("lyk.ini", "Browser", "1"), firefox);
    QCOMPARE(f.key("lyk.ini", "Browser", "2"), chromium);
    QCOMPARE(f.key("lyk.ini", "Browser", "Count"), QByteArray("2"));
    QCOMPARE(f.key("lyk.ini", "Browser", "Selected"), QByteArray("1"));
    QCOMPARE(f.board->vars().BrowserPath, firefox);
    QCOMPARE(f.board->vars().BrowserIndex, 1);

    // A browser that still exists is kept.
    BoardFixture g;
    g.desktop.browsers = {firefox};
    g.writeFile("lyk.ini", "[Browser]\r\nCount=2\r\nSelected=2\r\n1=/x\r\n2=" + chromium + "\r\n");
    g.start();
    QCOMPARE(g.board->vars().BrowserPath, chromium);
    QCOMPARE(g.key("lyk.ini", "Browser", "1"), QByteArray("/x"));

    // Nothing found: nothing written.
    BoardFixture h;
    h.start();
    QCOMPARE(h.key("lyk.ini", "Browser", "Count"), QByteArray());
}

void TestStartUp::defaultIconImageFormIsConverted()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Default]\r\nIconG=Image007\r\n");
    f.start();
    QCOMPARE(f.state.defaultIcon(), (IconRef{IconRef::Internal, 7, {}}));
    QCOMPARE(f.key("Disk.LYK", "Default", "IconG"), QByteArray("7"));

    BoardFixture g;
    g.writeFile("Disk.LYK", "[Default]\r\nIconG=33\r\n");
    g.start();
    QCOMPARE(g.state.defaultIcon(), (IconRef{IconRef::Internal, 33, {}}));
    BoardFixture h;
    h.start();
    QCOMPARE(h.state.defaultIcon(), (IconRef{IconRef::Internal, 120, {}}));
    // An image of a file chosen as the default icon comes back at the next start.
    BoardFixture i;
    i.writeFile("Disk.LYK", "[Default]\r\nIconG=601\r\nIconI=/usr/share/icons/my.ico\r\n");
    i.start();
    QCOMPARE(i.state.defaultIcon(), (IconRef{IconRef::File, 1, "/usr/share/icons/my.ico"}));
}

void TestStartUp::titleFollowsTheSelectedPage()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=10\r\nTab3=Work\r\n");
    f.start();
    f.board->pages().selectTab(2);
    QCOMPARE(f.state.title(), QStringLiteral("Lynkor  [ Disk ]    Work: Page 3 of 10   12/10/26"));
}

void TestStartUp::lockedFileShowsALockedBoard()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=2\r\n\xDF_\xB6__=pbttxpse\r\n[Program]\r\nVersion=3.x\r\n"
                            "[Page1]\r\n01N=Bank\r\n01U=http://bank.example/\r\n02N=Blank title\r\n");
    f.start();
    QCOMPARE(f.board->vars().FilePasswordValue, QByteArray("pbttxpse3.x"));
    QVERIFY(f.state.locked());
    QVERIFY(!f.state.tabStripVisible());
    const ButtonFace& filled = f.state.buttons()[0];
    QVERIFY(!filled.enabled);
    QVERIFY(filled.caption.isEmpty());
    QCOMPARE(filled.glyph, IconRef::blank()); // nothing shows that a bookmark is there
    QVERIFY(filled.hint.isEmpty());
    const ButtonFace& blank = f.state.buttons()[1];
    QVERIFY(blank.enabled);
    QCOMPARE(blank.caption, QByteArray("Blank title"));
}

void TestStartUp::badIconCodeOnFirstPageStillListsThePages()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=3\r\n[Page1]\r\n01N=A\r\n01U=a\r\n02N=B\r\n02U=b\r\n02G=xyz\r\n");
    f.start();
    QCOMPARE(f.ui.messages(), QStringList{"'xyz' is not a valid integer value"});
    QCOMPARE(f.state.tabs().size(), size_t(3));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("A"));
    QVERIFY(!f.board->vars().FirstBuild);
}

void TestStartUp::closingSavesTheWindowPlace()
{
    BoardFixture f;
    f.start();
    f.board->FormMoved(12, 34);
    f.board->pages().FormResize(700, 700, 469, 20, 28);
    QVERIFY(f.board->FormCloseQuery());
    QCOMPARE(f.key("lyk.ini", "Location", "Top"), QByteArray("34"));
    QCOMPARE(f.key("lyk.ini", "Location", "Left"), QByteArray("12"));
    QCOMPARE(f.key("lyk.ini", "Location", "Width"), QByteArray("700"));
    QCOMPARE(f.key("lyk.ini", "Window", "State"), QByteArray("Norm"));
    f.board->FormStateChanged(true);
    f.board->FormCloseQuery();
    QCOMPARE(f.key("lyk.ini", "Window", "State"), QByteArray("Min"));
}

void TestStartUp::secondStartHandsOverItsFile_data()
{
    QTest::addColumn<QStringList>("arguments"); // "@" is another folder
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<bool>("busy");      // a command waits for its answer meanwhile
    QTest::addColumn<QString>("opened"); // "" = the open file stays
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("no file: the start is only reported")
        << QStringList{} << QVariantList{} << false << "" << QStringList{"Program Already Running!"};
    QTest::newRow("a file of the data folder")
        << QStringList{"Trips.LYK"} << QVariantList{} << false << "Trips.LYK" << QStringList{};
    QTest::newRow("the second of two files")
        << QStringList{"Disk.LYK", "Trips.LYK"} << QVariantList{} << false << "Trips.LYK" << QStringList{};
    QTest::newRow("a file of another folder, with File Open's question")
        << QStringList{"@/Far.LYK"} << QVariantList{QVariant::fromValue(Answer::No)} << false << "@/Far.LYK"
        << QStringList{"Would you like to copy this data file to the Lynkor directory"};
    QTest::newRow("while a command waits for its answer")
        << QStringList{"Trips.LYK"} << QVariantList{} << true << "Trips.LYK" << QStringList{};
    QTest::newRow("a file that is not there")
        << QStringList{"Nowhere.LYK"} << QVariantList{} << false << "" << QStringList{"Cannot open file %1Nowhere.LYK"};
}

void TestStartUp::secondStartHandsOverItsFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QVariantList, answers);
    QFETCH(bool, busy);
    QFETCH(QString, opened);
    QFETCH(QStringList, asked);
    BoardFixture f;
    QTemporaryDir far;
    const QByteArray trips = "[Tabs]\r\nCount=1\r\nTab1=Rome\r\n[Rome]\r\n01N=Forum\r\n01U=http://forum.example/\r\n";
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=Home\r\n");
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.writeFile("Trips.LYK", trips);
    QFile farFile(far.filePath(QStringLiteral("Far.LYK")));
    QVERIFY(farFile.open(QIODevice::WriteOnly));
    farFile.write(trips);
    farFile.close();
    f.start();
    arguments.replaceInStrings(QStringLiteral("@"), far.path());
    opened.replace(QStringLiteral("@"), far.path());
    asked.replaceInStrings(QStringLiteral("%1"), QString::fromUtf8(f.programDir()));
    const QByteArray expected = opened.isEmpty()                      ? f.path("Disk.LYK")
                                : opened.startsWith(QLatin1Char('/')) ? PathNames::fromQt(opened)
                                                                      : f.path(opened.toUtf8());

    // The running instance and a second start, on a socket of their own.
    const QString key = QStringLiteral("lynkor-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance running(key);
    QVERIFY(running.start({}));
    int askedInside = -1;
    QObject::connect(&running, &SingleInstance::anotherInstanceStarted, f.board->context(),
                     [&](const QStringList& handed) {
                         f.board->deliver([&] {
                             f.board->OnceInstanceStarted(handed);
                             askedInside = int(f.ui.asked.size());
                         });
                     });
    std::shared_ptr<void> waiting;
    if (busy)
        waiting = f.board->waitForAnswer();
    for (const QVariant& a : answers)
        f.ui.answer(a);
    SingleInstance second(key);
    QVERIFY(!second.start(arguments));
    QTRY_VERIFY(askedInside >= 0);
    // Nothing is asked from inside the delivery of the hand-over.
    QCOMPARE(askedInside, 0);
    if (busy) {
        QTest::qWait(200);
        QCOMPARE(f.files.BookmarkFileName(), f.path("Disk.LYK")); // the command that runs comes first
        waiting.reset();
    }
    QTRY_VERIFY(f.ui.asked.size() == asked.size() && f.files.BookmarkFileName() == expected);
    QStringList texts;
    for (const ScriptedPrompter::Question& q : f.ui.asked)
        texts << q.text;
    QCOMPARE(texts, asked);
    if (!opened.isEmpty()) {
        QCOMPARE(f.state.currentPage(), QByteArray("Rome"));
        QCOMPARE(f.state.buttons()[0].caption, QByteArray("Forum"));
        QCOMPARE(f.key("lyk.ini", "File", "Name"), expected);
        QVERIFY(f.state.visible());
    }
}

void TestStartUp::onlineIndicator()
{
    BoardFixture f;
    f.board->NetDetectorChanged(true);
    QVERIFY(f.state.online());
    QCOMPARE(f.state.onlineHint(), QStringLiteral("Dialup = OnLine"));
    f.board->NetDetectorChanged(false);
    QCOMPARE(f.state.onlineHint(), QStringLiteral("Dialup = OffLine"));
}

void TestStartUp::helpItems()
{
    BoardFixture f;
    f.start();
    f.board->MHelpCClick(Board::HelpItem::Contents);
    f.board->MHelpCClick(Board::HelpItem::About);
    f.board->MHelpCClick(Board::HelpItem::Search);
    f.board->MHelpCClick(Board::HelpItem::HelpButton);
    QCOMPARE(f.ui.helpShown, (QList<int>{1, 9, -1, -1}));
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"

void TestStartUp::unfitFileIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("hundredMegabytes"); // else one 10 MB line
    QTest::addColumn<int>("pressed");           // -1: only "Exit" is offered
    QTest::newRow("100 MB, open the default file") << QByteArray("Big.LYK") << true << 0;
    QTest::newRow("10 MB line, open the default file") << QByteArray("Line.LYK") << false << 0;
    QTest::newRow("10 MB line, exit") << QByteArray("Line.LYK") << false << 1;
    QTest::newRow("the default file itself") << QByteArray("Disk.LYK") << false << -1;
}

void TestStartUp::unfitFileIsLeftAlone()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, hundredMegabytes);
    QFETCH(int, pressed);
    BoardFixture f;
    const QByteArray path = f.path(name);
    {
        QFile file(QString::fromUtf8(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (hundredMegabytes) {
            file.write("[Tabs]\r\nCount=1\r\nTab1=P\r\n");
            QVERIFY(file.resize(qint64(100) << 20)); // the rest NUL bytes, as a damaged disk gives
        } else {
            // One line of 10 MB and nothing else: no bookmark file.
            file.write(QByteArray(10 << 20, 'x'));
        }
    }
    const FileStamp before = FileStamp::of(path);
    f.writeFile("lyk.ini", "[File]\r\nName=" + path + "\r\n");
    QSignalSpy quit(&f.state, &BoardState::quitRequested);
    f.ui.answer(std::max(pressed, 0));
    f.start();
    QCOMPARE(f.ui.asked[0].kind, QStringLiteral("choice"));
    QCOMPARE(f.ui.asked[0].text, QStringLiteral("Bookmark file not opened"));
    QVERIFY(f.ui.asked[0].lines[0].startsWith(QLatin1Char('"') + QString::fromUtf8(path) + QLatin1Char('"')));
    QVERIFY(
        f.ui.asked[0].lines[0].contains(hundredMegabytes ? QStringLiteral("is 100 MB") : QStringLiteral("of 10 MB")));
    QCOMPARE(f.ui.asked[0].options, pressed < 0 ? QStringList{"Exit"} : (QStringList{"Open Default File", "Exit"}));
    QCOMPARE(FileStamp::of(path), before);
    if (pressed == 0) {
        QCOMPARE(quit.count(), 0);
        QCOMPARE(f.files.BookmarkFileName(), f.path("Disk.LYK"));
        QCOMPARE(f.key("lyk.ini", "File", "Name"), f.path("Disk.LYK"));
        QCOMPARE(f.state.tabs().size(), size_t(10));
    } else {
        QCOMPARE(quit.count(), 1);
        QVERIFY(!f.state.visible());
    }
    // Opened later from the File menu, it is refused the same way.
    if (pressed == 0) {
        f.ui.answer(QString::fromUtf8(path));
        f.board->command([&] { f.board->fileCommands().MFOpenClick(); });
        QVERIFY(f.ui.messages().back().endsWith(QStringLiteral("Nothing was changed.")));
        QCOMPARE(f.files.BookmarkFileName(), f.path("Disk.LYK"));
        QCOMPARE(FileStamp::of(path), before);
    }
}

void TestStartUp::longTitleOpensAndShowsItsStart()
{
    // A bookmark file with one 10 MB title is a bookmark file: it opens, and
    // the title is stored whole.
    BoardFixture f;
    const QByteArray title = QByteArray(10 << 20, 'T');
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n01N=" + title + "\r\n01U=http://a.example/\r\n");
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.start();
    QVERIFY(f.ui.asked.isEmpty());
    QCOMPARE(f.state.currentPage(), QByteArray("P"));
    QCOMPARE(f.key("Disk.LYK", "P", "01N").size(), title.size());
    // What the title bar shows of it is a start.
    f.board->keys().KeysKeyDown(KeyboardNav::Key::Down);
    QVERIFY(f.state.title().size() < 2000);
}

void TestStartUp::fileCutAtANulKeepsItsWholeCopy()
{
    BoardFixture f;
    const QByteArray text = QByteArray("[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n01N=A\r\n01U=http://a.example/\r\n") +
                            QByteArray(1, '\0') + "02N=B\r\n02U=http://b.example/\r\n";
    f.writeFile("Disk.LYK", text);
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.start();
    // Start-up saved the page it showed: the whole file went aside first.
    QCOMPARE(f.readFile("Disk.LYK.damaged"), text);
    QVERIFY(!f.readFile("Disk.LYK").contains('\0'));
    f.board->command([] {});
    const QStringList said = f.ui.messages();
    QCOMPARE(said.size(), 1);
    QVERIFY(said[0].contains(QStringLiteral("NUL")));
    QVERIFY(said[0].contains(QString::fromUtf8(f.path("Disk.LYK.damaged"))));
    // Later saves find nothing more to keep, and say nothing.
    {
        TIniFile32 ini(f.store, f.files.BookmarkFileName());
        ini.WriteString("P", "03N", "C");
    }
    f.board->command([] {});
    QCOMPARE(f.ui.messages().size(), 1);
    QVERIFY(!QFile::exists(QString::fromUtf8(f.path("Disk.LYK.damaged2"))));
}
