#include "BrowserConnect.h"
#include "LaunchFixture.h"
#include "LaunchText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "PathNames.h"
#include "WindowModes.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

using Answer = Prompter::Answer;

namespace {

const QByteArray kBrowser = "/usr/bin/stand-in-browser";

QByteArray settings(const QByteArray& extra = {})
{
    return "[Browser]\r\nCount=1\r\nSelected=1\r\n1=" + kBrowser + "\r\n" + extra;
}

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

    // A fixture whose browser path exists (start-up drops one that does not).
    std::unique_ptr<LaunchFixture> make(const QByteArray& lyk, const QByteArray& extraSettings = {})
    {
        auto f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n" + settings(extraSettings));
        f->start();
        f->board->vars().BrowserPath = kBrowser;
        return f;
    }
    static QByteArray page(const QByteArray& entries)
    {
        return "[Tabs]\r\nCount=2\r\nTab1=Main\r\nTab2=Safe\r\n[Main]\r\n" + entries;
    }

private slots:
    void endSlash_data();
    void endSlash();
    void trimHttp_data();
    void trimHttp();
    void ipAddressUrl_data();
    void ipAddressUrl();
    void webLaunchStartsTheBrowser();
    void singleWindowUsesTheBrowserLink();
    void singleWindowFallsBackToANewProcess();
    void addressListsStartOneProcessEach();
    void optionLikeAddressIsRefused();
    void programsStartAgainAndAgain();
    void launchesSurviveAFullDisk();
    void launchersRunAsTheDesktopRunsThem_data();
    void launchersRunAsTheDesktopRunsThem();
    void shellLaunch_data();
    void shellLaunch();
    void recentEntriesAndTrayTip();
    void passwordProtectedBookmark();
    void protectedPageBookmark();
    void recentListLaunchOfAProtectedPage();
    void ipLaunch();
    void blankButtonTakesTheBrowsersPage();
    void blankButtonOnAProtectedPage();
    void browserList();
    void noBrowserOffersTheList();
    void singleAndMultiple();
    void manualBox();
    void manualBoxFindsFiles();
    void manualBoxDelete();
    void realStarterRefusesASecondStart();
    void connectBrowsers();
};

void TestLaunch::endSlash_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("completed");
    QTest::newRow("www and .com") << QByteArray("www.site.com") << QByteArray("http://www.site.com/");
    QTest::newRow("http and .org") << QByteArray("http://site.org") << QByteArray("http://site.org/");
    for (const char* tld : {".net", ".edu", ".gov", ".mil", ".au", ".ca", ".de", ".jp", ".uk"})
        QTest::newRow(tld) << QByteArray("http://x") + tld << QByteArray("http://x") + tld + "/";
    QTest::newRow("page name stays") << QByteArray("www.site.com/index.htm") << QByteArray("www.site.com/index.htm");
    QTest::newRow("mailto stays") << QByteArray("mailto:a@b.com") << QByteArray("mailto:a@b.com");
    QTest::newRow("capital extension stays") << QByteArray("www.SITE.COM") << QByteArray("www.SITE.COM");
    QTest::newRow("other domain stays") << QByteArray("http://x.io") << QByteArray("http://x.io");
    QTest::newRow("no dot") << QByteArray("localhost") << QByteArray("localhost");
}

void TestLaunch::endSlash()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, completed);
    QCOMPARE(LaunchText::EndSlash(address), completed);
}

void TestLaunch::trimHttp_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("position");
    QTest::newRow("https www") << QByteArray("https://www.x.com") << 13;
    QTest::newRow("http www") << QByteArray("http://www.x.com") << 12;
    QTest::newRow("https") << QByteArray("https://x.com") << 9;
    QTest::newRow("http") << QByteArray("http://x.com") << 8;
    QTest::newRow("none") << QByteArray("ftp://x.com") << 8;
}

void TestLaunch::trimHttp()
{
    QFETCH(QByteArray, address);
    QFETCH(int, position);
    QCOMPARE(LaunchText::TrimHTTP(address), position);
}

void TestLaunch::ipAddressUrl_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("ip");
    QTest::addColumn<QByteArray>("opened");
    QTest::newRow("path kept") << QByteArray("http://www.site.example/a/b.html") << QByteArray("10.0.0.7")
                               << QByteArray("http://10.0.0.7/a/b.html");
    // A host without a "." before its path lost the path once.
    QTest::newRow("host without a dot") << QByteArray("http://localhost/cafe.html") << QByteArray("127.0.0.1:8123")
                                        << QByteArray("http://127.0.0.1:8123/cafe.html");
    QTest::newRow("the link's port kept") << QByteArray("http://localhost:8123/cafe.html") << QByteArray("127.0.0.1")
                                          << QByteArray("http://127.0.0.1:8123/cafe.html");
    QTest::newRow("the address's port wins") << QByteArray("http://localhost:8123/x") << QByteArray("127.0.0.1:9000")
                                             << QByteArray("http://127.0.0.1:9000/x");
    QTest::newRow("https stays https") << QByteArray("https://www.site.example/a") << QByteArray("10.0.0.7")
                                       << QByteArray("https://10.0.0.7/a");
    QTest::newRow("other schemes become http")
        << QByteArray("ftp://files.example/pub") << QByteArray("10.0.0.7") << QByteArray("http://10.0.0.7/pub");
    QTest::newRow("no path") << QByteArray("http://host.example") << QByteArray("10.0.0.7")
                             << QByteArray("http://10.0.0.7/");
    QTest::newRow("query kept") << QByteArray("http://host.example?q=1#top") << QByteArray("10.0.0.7")
                                << QByteArray("http://10.0.0.7?q=1#top");
    QTest::newRow("user name dropped") << QByteArray("http://me@host.example/x") << QByteArray("10.0.0.7")
                                       << QByteArray("http://10.0.0.7/x");
    QTest::newRow("IPv6 address") << QByteArray("http://host.example:81/x") << QByteArray("::1")
                                  << QByteArray("http://[::1]:81/x");
}

void TestLaunch::ipAddressUrl()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, ip);
    QFETCH(QByteArray, opened);
    QCOMPARE(LaunchText::IpAddressUrl(url, ip), opened);
}

void TestLaunch::webLaunchStartsTheBrowser()
{
    auto f = make(page("01N=Site\r\n01U=http://site.example/\r\n"));
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].program, QString::fromLatin1(kBrowser));
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://site.example/"});
    QCOMPARE(f->starter.starts[0].identifier, QStringLiteral("1"));
    QVERIFY(f->conversation.calls.isEmpty()); // many windows: no browser link
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts[1].identifier, QStringLiteral("2"));
}

void TestLaunch::singleWindowUsesTheBrowserLink()
{
    auto f = make(page("01N=Site\r\n01U=http://site.example/\r\n"), "[Show]\r\nPages=Single\r\n");
    f->conversation.replies.insert("WWW_Activate", QByteArray("\x01\x00\x00\x00", 4));
    f->conversation.replies.insert("WWW_OpenURL", QByteArray("\x01\x00\x00\x00", 4));
    f->board->ButtonClick("B01");
    // The board waits for the browser's answer; other commands are refused meanwhile.
    QVERIFY(f->board->busy());
    QCOMPARE(f->ui.cursor(), ScreenCursor::HourGlass);
    QVERIFY(!f->board->command([] {}));
    QCOMPARE(f->ui.beeps, 1);
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QVERIFY(f->starter.starts.isEmpty());
    QVERIFY(f->conversation.calls.contains("Request \"http://site.example/\",,0xFFFFFFFF,0x0,,,,"));
}

void TestLaunch::singleWindowFallsBackToANewProcess()
{
    auto f = make(page("01N=Site\r\n01U=http://site.example/\r\n"), "[Show]\r\nPages=Single\r\n");
    f->conversation.answers = false;
    f->board->ButtonClick("B01");
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://site.example/"});
    QCOMPARE(f->ui.messages().size(), 1); // the browser could not be found
}

void TestLaunch::addressListsStartOneProcessEach()
{
    auto f = make(page("01N=Trio\r\n01U=http://a.example/;;http://b.example/;;http://c.example/\r\n"),
                  "[Show]\r\nPages=Single\r\n");
    f->board->ButtonClick("B01");
    QVERIFY(f->conversation.calls.isEmpty());
    QCOMPARE(f->starter.starts.size(), 3);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://a.example/"});
    QCOMPARE(f->starter.starts[2].arguments, QStringList{"http://c.example/"});
    QCOMPARE(f->starter.starts[0].identifier, QStringLiteral("1"));
    QCOMPARE(f->starter.starts[1].identifier, QStringLiteral("2"));
    QCOMPARE(f->starter.starts[2].identifier, QStringLiteral("3"));
}

void TestLaunch::optionLikeAddressIsRefused()
{
    // An address for the browser and a document for the opener are refused;
    // the options of a program the user stored are the user's command.
    auto f = make(page("01N=Odd\r\n01U=--user-data-dir=/tmp/x\r\n02N=Prog\r\n02U=/bin/ls /-la\r\n02L=Yes\r\n"
                       "03N=Doc\r\n03U=-rf.txt\r\n03L=Yes\r\n"));
    f->board->ButtonClick("B01");
    f->board->ButtonClick("B02");
    f->board->ButtonClick("B03");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(QFileInfo(f->starter.starts[0].program).canonicalFilePath(), QFileInfo("/bin/ls").canonicalFilePath());
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"-la"});
    QVERIFY(f->starter.documents.isEmpty());
    QCOMPARE(f->ui.messages().size(), 2);
    QVERIFY(f->ui.messages()[0].contains(QStringLiteral("--user-data-dir=/tmp/x")));
    QVERIFY(f->ui.messages()[1].contains(QStringLiteral("\"-rf.txt\"")));
}

void TestLaunch::programsStartAgainAndAgain()
{
    // The same program twice, and a second bookmark of it: each a process of its own.
    auto f =
        make(page("01N=Sleep\r\n01U=/bin/sleep /30\r\n01L=Yes\r\n02N=Sleep too\r\n02U=/bin/sleep /30\r\n02L=Yes\r\n"));
    f->board->ButtonClick("B01");
    f->board->ButtonClick("B01");
    f->board->ButtonClick("B02");
    QCOMPARE(f->starter.starts.size(), 3);
    for (const auto& s : std::as_const(f->starter.starts))
        QCOMPARE(s.identifier, QString());
    QVERIFY(f->ui.messages().isEmpty());
    // The real starter keeps its one-at-a-time rule for browser starts only.
    ProcessStarter real;
    QTemporaryDir dir;
    QVERIFY(real.start("/bin/sleep", {"5"}, dir.path()).started);
    QVERIFY(real.start("/bin/sleep", {"5"}, dir.path()).started);
    QProcess::execute("pkill", {"-f", "^/bin/sleep 5$"});
}

void TestLaunch::launchesSurviveAFullDisk()
{
    // Nothing can be saved (a read-only or full disk): the bookmark opens
    // all the same, and the recent list's failure is said once.
    auto f = make(page("01N=Site\r\n01U=http://site.example/\r\n02N=Other\r\n02U=http://other.example/\r\n"),
                  "[WebIcon]\r\nSearch=Off\r\n");
    const QByteArray before = f->readFile("Disk.LYK");
    {
        const TestFiles::WritesFailBeyond full(10);
        f->board->command([&] { f->board->ButtonClick("B01"); });
        f->board->command([&] { f->board->ButtonClick("B02"); });
    }
    QCOMPARE(f->starter.starts.size(), 2);
    QCOMPARE(f->starter.starts[1].arguments, QStringList{"http://other.example/"});
    QCOMPARE(f->ui.messages().size(), 1);
    QVERIFY2(f->ui.messages().front().startsWith(QStringLiteral("Cannot create file")),
             qPrintable(f->ui.messages().front()));
    QVERIFY(f->ui.messages().front().endsWith(QStringLiteral("the list of recent bookmarks could not be saved.")));
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestLaunch::launchersRunAsTheDesktopRunsThem_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::newRow("quoting kept, options passed") << QByteArray("Exec=sh -c \"echo hi; sleep 30\"\nPath=/tmp\n")
                                                  << "/usr/bin/sh" << QStringList{"-c", "echo hi; sleep 30"} << "/tmp";
    QTest::newRow("field codes") << QByteArray("Exec=sh -c 'x' %U --name=%c\nIcon=tool\n") << "/usr/bin/sh"
                                 << QStringList{"-c", "'x'", "--name=Tool"} << "@home";
    QTest::newRow("in a terminal") << QByteArray("Exec=top -d 2\nTerminal=true\n") << "@terminal"
                                   << QStringList{"-e", "/usr/bin/top", "-d", "2"} << "@home";
}

void TestLaunch::launchersRunAsTheDesktopRunsThem()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    // The user's terminal, as Debian names it.
    const QString terminal = dir.filePath(QStringLiteral("x-terminal-emulator"));
    TestFiles::write(terminal, "#!/bin/sh\n");
    QFile::setPermissions(terminal, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
    const QString top = QStandardPaths::findExecutable(QStringLiteral("top"));
    const QString launcher = dir.filePath(QStringLiteral("tool.desktop"));
    TestFiles::write(launcher, "[Desktop Entry]\nType=Application\nName=Tool\n" + entry);
    auto f = make(page("01N=Tool\r\n01U=" + QFile::encodeName(launcher) + "\r\n01L=Yes\r\n"));
    f->board->ButtonClick("B01");
    qputenv("PATH", path);
    if (program == QLatin1String("@terminal") && top.isEmpty())
        QSKIP("top is not installed");
    QVERIFY2(f->ui.messages().isEmpty(), qPrintable(f->ui.messages().join(QLatin1Char('\n'))));
    QCOMPARE(f->starter.starts.size(), 1);
    const auto& s = f->starter.starts[0];
    QCOMPARE(s.program, program == QLatin1String("@terminal") ? terminal : program);
    arguments.replaceInStrings(QStringLiteral("/usr/bin/top"), top);
    QCOMPARE(s.arguments, arguments);
    QCOMPARE(s.folder, folder == QLatin1String("@home") ? QDir::homePath() : folder);
}

void TestLaunch::shellLaunch_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("extraInfo");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("document");
    QTest::newRow("program with parameters") << QByteArray("/bin/cat /readme.txt more") << QByteArray() << "/bin/cat"
                                             << QStringList{"readme.txt", "more"} << "/bin/" << QString();
    QTest::newRow("start folder from extra info") << QByteArray("/bin/cat /readme.txt") << QByteArray("@") << "/bin/cat"
                                                  << QStringList{"readme.txt"} << "@" << QString();
    QTest::newRow("extra info that is no folder")
        << QByteArray("/bin/cat") << QByteArray("not a folder") << "/bin/cat" << QStringList() << "/bin/" << QString();
    QTest::newRow("quoted parameter") << QByteArray("/bin/cat /\"a b.txt\"") << QByteArray() << "/bin/cat"
                                      << QStringList{"a b.txt"} << "/bin/" << QString();
    QTest::newRow("program on PATH") << QByteArray("sh") << QByteArray() << "/usr/bin/sh" << QStringList() << "/usr/bin"
                                     << QString();
    QTest::newRow("document") << QByteArray("@/notes.txt") << QByteArray() << QString() << QStringList() << QString()
                              << "@/notes.txt";
    QTest::newRow("mail address") << QByteArray("mailto:me@x.example") << QByteArray() << QString() << QStringList()
                                  << QString() << "mailto:me@x.example";
}

void TestLaunch::shellLaunch()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, extraInfo);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QFETCH(QString, document);
    QTemporaryDir dir;
    const QByteArray here = PathNames::fromQt(dir.path());
    url.replace('@', here);
    extraInfo.replace('@', here);
    folder.replace(QLatin1Char('@'), dir.path());
    document.replace(QLatin1Char('@'), dir.path());
    QByteArray entries = "01N=Thing\r\n01U=" + url + "\r\n01L=Yes\r\n";
    if (!extraInfo.isEmpty())
        entries += "01S=" + extraInfo + "\r\n";
    auto f = make(page(entries));
    f->board->ButtonClick("B01");
    if (program.isEmpty()) {
        QVERIFY(f->starter.starts.isEmpty());
        QCOMPARE(f->starter.documents, QStringList{document});
        return;
    }
    QCOMPARE(f->starter.starts.size(), 1);
    const auto& s = f->starter.starts[0];
    QCOMPARE(QFileInfo(s.program).canonicalFilePath(), QFileInfo(program).canonicalFilePath());
    QCOMPARE(s.arguments, arguments);
    QCOMPARE(QDir(s.folder).canonicalPath(), QDir(folder).canonicalPath());
    QCOMPARE(s.identifier, QString()); // every launch a new process
}

void TestLaunch::recentEntriesAndTrayTip()
{
    auto f =
        make(page("01N=Site\r\n01U=http://site.example/\r\n01P=first|~second\r\n02U=http://untitled.example/\r\n"));
    f->state.setTrayAvailable(true);
    f->board->modes().MStartSmallClick(MenuItem::MStartSmall);
    f->board->ButtonClick("B01");
    QCOMPARE(f->state.recentBookmarks(), QList<QByteArray>{"Site  |Main::01"});
    QCOMPARE(f->state.currentRecent(), QByteArray("Site  |Main::01"));
    QCOMPARE(f->key("Disk.LYK", "MRU", "1"), QByteArray("Site  |Main::01"));
    QVERIFY(!f->state.visible());
    QVERIFY(f->state.trayIconVisible());
    QCOMPARE(f->state.trayTip(), QStringLiteral("first\r\nsecond"));
    f->board->modes().TaskIconClick();
    f->board->ButtonClick("B02"); // no title: recorded by its address
    QCOMPARE(f->state.recentBookmarks(), (QList<QByteArray>{"http://untitled.example/  |Main::02", "Site  |Main::01"}));
    QCOMPARE(f->state.trayTip(), QStringLiteral("Lynkor"));
    // Chosen from the tray menu, the entry launches its bookmark again.
    f->starter.starts.clear();
    f->board->MruList1MruClick("Site  |Main::01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://site.example/"});
}

void TestLaunch::passwordProtectedBookmark()
{
    const QByteArray stored = PassText::Encrypt("http://bank.example/", "secret");
    auto f = make(page("01N=Bank\r\n01U=" + stored + "\r\n"));
    QCOMPARE(f->state.buttons()[0].hint, QByteArray("Password Protected"));
    f->ui.answer(QStringLiteral("wrong"));
    f->board->ButtonClick("B01");
    QVERIFY(f->ui.asked.back().kind == "message");
    QCOMPARE(f->ui.messages(), QStringList{"Invalid Password!"});
    QVERIFY(f->starter.starts.isEmpty());
    f->ui.answer(QStringLiteral("secret"));
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://bank.example/"});
}

void TestLaunch::protectedPageBookmark()
{
    auto f = make("[Tabs]\r\nCount=2\r\nTab1=Main\r\nTab2=Safe\r\n\r\nP_\xDF_\xB6_=" + PassText::scramble("Safepw") +
                  "\xA7\r\n[Safe]\r\n01N=Vault\r\n01U=" + PassText::Encrypt("http://vault.example/", "pw") + "\r\n");
    f->ui.answer(QStringLiteral("pw"));
    f->board->pages().selectTab(1);
    QCOMPARE(f->state.buttons()[0].hint, QByteArray("http://vault.example/"));
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://vault.example/"});
    QCOMPARE(f->ui.asked.size(), 1); // only the page asked, not the click
}

void TestLaunch::recentListLaunchOfAProtectedPage()
{
    auto f = make("[Tabs]\r\nCount=2\r\nTab1=Main\r\nTab2=Safe\r\nP_\xDF_\xB6_=" + PassText::scramble("Safepw") +
                  "\xA7\r\n[Safe]\r\n01N=Vault\r\n01U=" + PassText::Encrypt("http://vault.example/", "pw") + "\r\n");
    f->ui.answer(QStringLiteral("nope"));
    f->board->MruList1MruClick("Vault  |Safe::01");
    QVERIFY(f->starter.starts.isEmpty());
    QCOMPARE(f->ui.messages(), QStringList{"Invalid Password!"});
    f->ui.answer(QStringLiteral("pw"));
    f->board->MruList1MruClick("Vault  |Safe::01");
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://vault.example/"});
}

void TestLaunch::ipLaunch()
{
    auto f = make(page("01N=Router\r\n01U=https://router.home.example/admin/\r\n01L=IP\r\n01A=192.168.1.1\r\n"
                       "02N=No address\r\n02U=http://x.example/p\r\n02L=IP\r\n"));
    f->board->ButtonClick("B01");
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"https://192.168.1.1/admin/"});
    f->board->ButtonClick("B02");
    QCOMPARE(f->starter.starts[1].arguments, QStringList{"http://x.example/p"});
}

void TestLaunch::blankButtonTakesTheBrowsersPage()
{
    auto f = make(page("02N=Kept title only\r\n02C=255\r\n"));
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"http://www.news.com\",\"Daily News\",\"\"");
    f->board->ButtonClick("B01");
    QTRY_VERIFY(!f->board->busy());
    QVERIFY(f->starter.starts.isEmpty()); // nothing is launched
    QCOMPARE(f->key("Disk.LYK", "Main", "01U"), QByteArray("http://www.news.com/"));
    QCOMPARE(f->key("Disk.LYK", "Main", "01N"), QByteArray("Daily News"));
    QCOMPARE(f->key("Disk.LYK", "Main", "01C"), QByteArray());
    const ButtonFace& face = f->state.buttons()[0];
    QCOMPARE(face.caption, QByteArray("Daily News"));
    QCOMPARE(face.hint, QByteArray("http://www.news.com/"));
    QVERIFY(face.handCursor);
    QCOMPARE(f->conversation.program, kBrowser);
    // A blank slot with a colour of its own keeps it.
    f->board->ButtonClick("B02");
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->key("Disk.LYK", "Main", "02C"), QByteArray("255"));
    QCOMPARE(f->key("Disk.LYK", "Main", "02N"), QByteArray("Daily News"));

    // No page in the browser (or only its own new-tab page): nothing is
    // stored, and the user is told how to make it work.
    for (const QByteArray& reply : {QByteArray(), QByteArray("\"chrome://newtab/\",\"New Tab\",\"\"")}) {
        auto g = make(page(""));
        g->conversation.replies.insert("WWW_GetWindowInfo", reply);
        g->board->ButtonClick("B01");
        QTRY_VERIFY(!g->board->busy());
        QCOMPARE(g->key("Disk.LYK", "Main", "01U"), QByteArray());
        QCOMPARE(g->ui.messages(), QStringList{g->launcher.noPageText()});
        QVERIFY(g->launcher.noPageText().endsWith(QStringLiteral("Start the browser with its link.")));
    }
}

void TestLaunch::blankButtonOnAProtectedPage()
{
    auto f = make("[Tabs]\r\nCount=2\r\nTab1=Main\r\nTab2=Safe\r\nP_\xDF_\xB6_=" + PassText::scramble("Safepw") +
                  "\xA7\r\n");
    f->ui.answer(QStringLiteral("pw"));
    f->board->pages().selectTab(1);
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"http://secret.example/\",\"Secret\",\"\"");
    f->board->ButtonClick("B03");
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->key("Disk.LYK", "Safe", "03U"), PassText::Encrypt("http://secret.example/", "pw"));
    QCOMPARE(f->state.buttons()[2].hint, QByteArray("http://secret.example/"));
}

void TestLaunch::browserList()
{
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("lyk.ini", "[Browser]\r\nCount=3\r\nSelected=1\r\n1=/bin/sh\r\n2=/bin/cat\r\n3=/bin/ls\r\n");
    f->start();
    QCOMPARE(f->state.browsers(), (QList<QByteArray>{"/bin/sh", "/bin/cat", "/bin/ls"}));
    f->launcher.ChangeBrowser(2);
    QCOMPARE(f->board->vars().BrowserPath, QByteArray("/bin/cat"));
    QCOMPARE(f->key("lyk.ini", "Browser", "Selected"), QByteArray("2"));
    QCOMPARE(f->state.browserIndex(), 2);

    // Remove the selected one: the rest close up.
    f->ui.answer(1);
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->launcher.AddBrowserClick();
    QCOMPARE(f->ui.asked[0].text, QStringLiteral("Add or Remove Browser"));
    QCOMPARE(f->ui.asked[0].options, (QStringList{"Add", "Remove", "Ignore"}));
    QCOMPARE(f->ui.asked[0].lines,
             (QStringList{"Add         =  Add an installed browser to list.", "Remove  =  Remove browser from list."}));
    QCOMPARE(f->ui.asked[1].text, QStringLiteral("Are you sure you want to delete [ cat ] from the browser list?"));
    QCOMPARE(f->key("lyk.ini", "Browser", "Count"), QByteArray("2"));
    QCOMPARE(f->key("lyk.ini", "Browser", "1"), QByteArray("/bin/sh"));
    QCOMPARE(f->key("lyk.ini", "Browser", "2"), QByteArray("/bin/ls"));
    QCOMPARE(f->key("lyk.ini", "Browser", "3"), QByteArray());
    QCOMPARE(f->key("lyk.ini", "Browser", "Selected"), QByteArray("1"));
    QCOMPARE(f->board->vars().BrowserPath, QByteArray("/bin/sh"));
    QCOMPARE(f->state.browsers(), (QList<QByteArray>{"/bin/sh", "/bin/ls"}));

    // Add one.
    f->ui.answer(0);
    f->ui.answer(QStringLiteral("/usr/bin/env"));
    f->launcher.AddBrowserClick();
    QCOMPARE(f->key("lyk.ini", "Browser", "3"), QByteArray("/usr/bin/env"));
    QCOMPARE(f->key("lyk.ini", "Browser", "Count"), QByteArray("3"));
    QCOMPARE(f->key("lyk.ini", "Browser", "Selected"), QByteArray("3"));
    QCOMPARE(f->board->vars().BrowserPath, QByteArray("/usr/bin/env"));

    // Ignore and a cancelled file dialog change nothing.
    const QByteArray before = f->readFile("lyk.ini");
    f->ui.answer(2);
    f->launcher.AddBrowserClick();
    f->ui.answer(0);
    f->ui.answer(QString());
    f->launcher.AddBrowserClick();
    QCOMPARE(f->readFile("lyk.ini"), before);
}

void TestLaunch::noBrowserOffersTheList()
{
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("Disk.LYK", page("01N=Site\r\n01U=http://site.example/\r\n"));
    f->start();
    QVERIFY(f->board->vars().BrowserPath.isEmpty());
    f->ui.answer(2); // Ignore
    f->board->ButtonClick("B01");
    QCOMPARE(f->ui.asked.front().text, QStringLiteral("Add or Remove Browser"));
    QCOMPARE(f->ui.messages().size(), 1); // the start with no browser fails visibly
}

void TestLaunch::singleAndMultiple()
{
    auto f = make(page(""));
    QVERIFY(f->state.checked(MenuItem::MultButton));
    f->launcher.SingleButtonClick(true);
    QCOMPARE(f->key("lyk.ini", "Show", "Pages"), QByteArray("Single"));
    QVERIFY(f->state.checked(MenuItem::SingleButton));
    QVERIFY(f->state.checked(MenuItem::MSingle));
    QVERIFY(!f->state.checked(MenuItem::MMultiple));
    f->launcher.SingleButtonClick(false);
    QCOMPARE(f->key("lyk.ini", "Show", "Pages"), QByteArray("Multiple"));
}

void TestLaunch::manualBox()
{
    auto f = std::make_unique<LaunchFixture>();
    QByteArray many;
    for (int i = 20; i >= 1; --i)
        many += "http://site" + QByteArray::number(i) + ".example/\r\n";
    f->writeFile("manualurl.txt", many);
    f->writeFile("lyk.ini", settings());
    f->start();
    f->board->vars().BrowserPath = kBrowser;
    QCOMPARE(f->state.manualUrls().size(), 15); // never more than 15
    f->launcher.URLBoxEnter("www.new.com");
    QCOMPARE(f->starter.starts.back().arguments, QStringList{"http://www.new.com/"});
    QCOMPARE(f->state.manualUrls().size(), 15);
    QCOMPARE(f->state.manualUrls().front(), QByteArray("http://www.new.com/"));
    QCOMPARE(f->state.manualUrls().back(), QByteArray("http://site7.example/"));
    QVERIFY(f->readFile("manualurl.txt").startsWith("http://www.new.com/\r\nhttp://site20.example/\r\n"));
    // Launched from the box: no page, so no recent entry and the tray tip stays.
    QVERIFY(f->state.recentBookmarks().isEmpty());
    f->launcher.URLBoxEnter("http://site20.example/");
    QCOMPARE(f->state.manualUrls().front(), QByteArray("http://www.new.com/")); // already listed
}

void TestLaunch::manualBoxFindsFiles()
{
    auto f = make(page(""));
    QTemporaryDir dir;
    const QByteArray here = PathNames::fromQt(dir.path());
    QDir().mkpath(dir.path() + "/deep/er");
    QDir().mkpath(dir.path() + "/.cache/x");
    TestFiles::write(dir.path() + "/deep/er/Report.TXT", "");
    // A copy in a hidden folder is never what the user meant.
    TestFiles::write(dir.path() + "/.cache/x/report.txt", "");
    // Typed into the box, as the window hands it over; the board takes
    // commands again once the search has ended.
    auto enter = [&f](const QByteArray& typed) {
        QVERIFY(f->board->command([&] { f->launcher.URLBoxEnter(typed); }));
        QTRY_VERIFY(!f->board->busy());
    };
    // The search is work in the background: the command returns at once,
    // the window shows what is searched for with Cancel, and the board is
    // busy until it ends.
    QVERIFY(f->board->command([&] { f->launcher.URLBoxEnter(here + "/report.txt"); }));
    QVERIFY(f->board->busy());
    QVERIFY(f->starter.documents.isEmpty());
    QCOMPARE(f->ui.asked.size(), 1);
    QCOMPARE(f->ui.asked[0].kind, QStringLiteral("progress"));
    QCOMPARE(f->ui.asked[0].lines, QStringList{QStringLiteral("Searching for report.txt ...")});
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->starter.documents, QStringList{dir.path() + "/deep/er/Report.TXT"});
    QVERIFY(f->starter.starts.isEmpty()); // a file never goes to the browser
    QCOMPARE(f->state.manualUrls().front(), here + "/deep/er/Report.TXT");

    // Several match: the user chooses.
    TestFiles::write(dir.path() + "/deep/report.txt", "");
    f->ui.answer(1);
    enter(here + "/report.txt");
    QCOMPARE(f->ui.asked.back().kind, QStringLiteral("chooseItem"));
    QCOMPARE(f->ui.asked.back().options,
             (QStringList{dir.path() + "/deep/er/Report.TXT", dir.path() + "/deep/report.txt"}));
    QCOMPARE(f->starter.documents.back(), dir.path() + "/deep/report.txt");
    f->ui.answer(ScriptedPrompter::closed()); // and may cancel
    enter(here + "/report.txt");
    QCOMPARE(f->starter.documents.size(), 2);

    // Cancelled, or found nowhere: nothing opens and nothing is remembered.
    const QList<QByteArray> remembered = f->state.manualUrls();
    f->ui.asked.clear();
    f->ui.cancelProgress = true;
    enter(here + "/report.txt");
    f->ui.cancelProgress = false;
    QCOMPARE(f->ui.asked.size(), 1); // the progress only
    enter(here + "/missing.txt");
    QCOMPARE(f->starter.documents.size(), 2);
    QCOMPARE(
        f->ui.messages(),
        QStringList{QStringLiteral("\"%1/missing.txt\" was not found in %1/ or the folders in it.").arg(dir.path())});
    QCOMPARE(f->state.manualUrls(), remembered);

    // A program's name finds the program.
    enter("sleep");
    QCOMPARE(QFileInfo(f->starter.starts.back().program).fileName(), QStringLiteral("sleep"));
}

void TestLaunch::manualBoxDelete()
{
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("ManualURL.txt", "a\r\nb\r\nc\r\n");
    f->start();
    f->launcher.URLBoxDelete(1);
    QCOMPARE(f->state.manualUrls(), (QList<QByteArray>{"a", "c"}));
    QCOMPARE(f->readFile("ManualURL.txt"), QByteArray("a\r\nc\r\n"));
    QCOMPARE(f->ui.beeps, 1);
    QVERIFY(f->starter.starts.isEmpty());
}

void TestLaunch::realStarterRefusesASecondStart()
{
    ProcessStarter starter;
    QTemporaryDir dir;
    QVERIFY(starter.start("/bin/sleep", {"5"}, dir.path(), "1").started);
    const auto again = starter.start("/bin/sleep", {"5"}, dir.path(), "1");
    QVERIFY(!again.started);
    QVERIFY(!again.error.isEmpty());
    QVERIFY(starter.start("/bin/sleep", {"0"}, dir.path(), "2").started);
    QVERIFY(!starter.start("/no/such/program", {}, dir.path(), "3").started);
    QCOMPARE(ProcessStarter::splitArguments("a \"b c\" d"), (QStringList{"a", "b c", "d"}));
    QProcess::execute("pkill", {"-f", "^/bin/sleep 5$"});
}

void TestLaunch::connectBrowsers()
{
    // Browsers, Connect Browsers: the host registered with the six
    // browsers of the user, and the way to add the extension said.
    auto f = make(page({}));
    QTemporaryDir home;
    BrowserConnect connect(*f->board, QStringLiteral("/bin/true"), QStringLiteral("/opt/lynkor/ext"), home.path(), {});
    f->board->command([&] { connect.MConnectBrowsersClick(); });
    QCOMPARE(f->ui.messages().size(), 1);
    const QString said = f->ui.messages().first();
    QVERIFY2(said.startsWith(QStringLiteral("Lynkor's browser link is set up for Chromium, Google Chrome, Brave, "
                                            "Microsoft Edge, Vivaldi, Firefox.")),
             qPrintable(said));
    QVERIFY(said.contains(QStringLiteral("/opt/lynkor/ext/chromium")));
    QVERIFY(said.contains(QStringLiteral("/opt/lynkor/ext/firefox/manifest.json")));
    QCOMPARE(f->ui.asked.last().helpContext, BrowserConnect::kHelpContext);
    QVERIFY(QFile::exists(home.filePath(".config/vivaldi/NativeMessagingHosts/io.github.lynkor.browser.json")));

    // Without its host nothing is written, and the user is told.
    QTemporaryDir other;
    BrowserConnect missing(*f->board, other.filePath("lynkor-browser-host"), {}, other.path(), {});
    f->board->command([&] { missing.MConnectBrowsersClick(); });
    QVERIFY(f->ui.messages().last().contains(QStringLiteral("is missing")));
    QVERIFY(!QFile::exists(other.filePath(".config")));
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
