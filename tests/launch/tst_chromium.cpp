#include "BoardFixture.h"
#include "BookmarkText.h"
#include "BrowserBridge.h"
#include "DevToolsConversation.h"
#include "Exchange.h"
#include "ExtensionConversation.h"
#include "FakeClipboard.h"
#include "HttpClient.h"
#include "InternetSearch.h"
#include "Launcher.h"
#include "LocalHttpServer.h"
#include "MessagingHosts.h"
#include "PathNames.h"
#include "RecordingMailTransport.h"
#include "RecordingStarter.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "WwwDde.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <optional>

// The browser link against Debian's Chromium, headless, on pages served from
// 127.0.0.1.
class TestChromium : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    LocalHttpServer m_server;
    QString m_browser;
    QString m_profile;
    int m_port = 0;
    std::unique_ptr<DevToolsConversation> m_conversation;

    // A board whose launches go to a browser through a conversation of the
    // test's choice, and whose other programs are only recorded.
    struct LaunchRig
    {
        BoardFixture f;
        RecordingStarter starter;
        Launcher launcher;
        explicit LaunchRig(BrowserConversation& conversation) : launcher(*f.board, conversation, starter)
        {
            f.board->setLauncher(&launcher);
        }
    };

    static int freePort()
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        return s.serverPort();
    }
    static std::optional<bool> openUrl(TWwwDde& dde, const QByteArray& address)
    {
        QObject context;
        std::optional<bool> result;
        dde.OpenURL(address, &context, [&](bool ok) { result = ok; });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 20000);
        return result;
    }
    // Polls the browser until its page has the wanted title.
    bool pageShows(TWwwDde& dde, const QByteArray& title, QByteArray* url = nullptr)
    {
        QByteArray t, u;
        for (int i = 0; i < 100; ++i) {
            QObject context;
            bool answered = false;
            bool ok = false;
            dde.GetWindowInfo(&context, [&](bool o, const QByteArray& gotTitle, const QByteArray& gotUrl) {
                answered = true;
                ok = o;
                t = gotTitle;
                u = gotUrl;
            });
            (void)QTest::qWaitFor([&] { return answered; }, 5000);
            if (ok && t == title) {
                if (url)
                    *url = u;
                return true;
            }
            QTest::qWait(100);
        }
        qWarning() << "last seen" << t << u;
        return false;
    }
    // A program that poses as a browser: it notes that it was started, and
    // never opens a DevTools port.
    QByteArray silentBrowser(const QString& marker)
    {
        const QString path = m_dir.filePath(QStringLiteral("chromium-silent"));
        QFile script(path);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(marker) + "'\nsleep 30\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFile::encodeName(path);
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowInfoAndOpenUrl();
    void slowAndDeadSitesAreTheBrowsersBusiness();
    void blankButtonTakesTheShownPage_data();
    void blankButtonTakesTheShownPage();
    void browserWithoutItsPortGivesUpInSeconds();
    void capturingNeverStartsABrowser();
    void linksOfTheShownPage();
    void searchSiteLearntFromTheShownPage();
    void extensionLinkWithTheDevToolsPortClosed();
};

void TestChromium::initTestCase()
{
    m_server.add("/a.html", "<html><head><title>Page A</title></head><body>A</body></html>");
    m_server.add("/find", "<html><head><title>Found Apples</title></head><body>Apples</body></html>");
    m_server.add("/b.html", "<html><head><title>Page B</title></head><body>B</body></html>");
    // A page of links as sites write them: one long line, relative links.
    m_server.add("/list/links.html",
                 "<html><head><title>Link List</title></head><body><a href=\"one.html\">One</a> "
                 "<a href=\"/two.html\">Two &amp; more</a> <a href=\"https://three.example/\"><img alt=\"Three\"></a>"
                 " Written out: http://www.four.example/page.</body></html>");
    m_server.addSlow("/slow.html", "<html><head><title>Slow</title></head>", " ", 30, 100);
    m_server.start();
    m_profile = m_dir.filePath(QStringLiteral("profile"));
    m_port = freePort();
    m_conversation = std::make_unique<DevToolsConversation>(m_port, m_profile);
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        return;
    // The stand-in for the user's browser: Chromium without a screen.
    m_browser = m_dir.filePath(QStringLiteral("chromium-headless"));
    QFile script(m_browser);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec " + QFile::encodeName(chromium) +
                 " --headless=new --disable-gpu --disable-dev-shm-usage --disable-background-networking"
                 " --disable-component-update --disable-sync \"$@\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestChromium::cleanupTestCase()
{
    if (!m_profile.isEmpty())
        QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), m_profile});
}

#define NEEDS_CHROMIUM()                                                                                               \
    if (m_browser.isEmpty())                                                                                           \
    QSKIP("Debian's chromium is not installed (the test command installs it)")

void TestChromium::windowInfoAndOpenUrl()
{
    NEEDS_CHROMIUM();
    ScriptedPrompter ui;
    TWwwDde dde(*m_conversation, ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    // Nothing answers yet: the link starts the browser with its DevTools port.
    QCOMPARE(openUrl(dde, m_server.url("/a.html")), std::optional<bool>(true));
    QByteArray url;
    QVERIFY(pageShows(dde, "Page A", &url));
    QCOMPARE(url, m_server.url("/a.html"));
    QCOMPARE(openUrl(dde, m_server.url("/b.html")), std::optional<bool>(true));
    QVERIFY(pageShows(dde, "Page B", &url));
    QCOMPARE(url, m_server.url("/b.html"));
    QVERIFY(ui.messages().isEmpty());
}

void TestChromium::slowAndDeadSitesAreTheBrowsersBusiness()
{
    NEEDS_CHROMIUM();
    ScriptedPrompter ui;
    TWwwDde dde(*m_conversation, ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QVERIFY(pageShows(dde, "Page B") || openUrl(dde, m_server.url("/b.html")).value_or(false));
    // A site that answers slowly, and one where nothing listens: the browser
    // took the address, that is all a launch asks.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const QByteArray dead = "http://127.0.0.1:" + QByteArray::number(closed.serverPort()) + "/";
    closed.close();
    for (const QByteArray& address : {m_server.url("/slow.html"), dead}) {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(openUrl(dde, address), std::optional<bool>(true));
        QVERIFY2(clock.elapsed() < 2000, QByteArray::number(clock.elapsed()).constData());
    }
    QVERIFY(ui.messages().isEmpty());
}

void TestChromium::blankButtonTakesTheShownPage_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("a browser named as its family") << QStringLiteral("chromium-headless");
    // What answers on the port decides, not the program's name.
    QTest::newRow("a wrapper script of any name") << QStringLiteral("my-browser");
}

void TestChromium::blankButtonTakesTheShownPage()
{
    QFETCH(QString, program);
    NEEDS_CHROMIUM();
    const QString path = m_dir.filePath(program);
    if (!QFile::exists(path)) {
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec '" + QFile::encodeName(m_browser) + "' \"$@\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    LaunchRig rig(*m_conversation);
    BoardFixture& f = rig.f;
    RecordingStarter& starter = rig.starter;
    f.start();
    f.board->vars().BrowserPath = QFile::encodeName(path);
    TWwwDde dde(*m_conversation, f.ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QCOMPARE(openUrl(dde, m_server.url("/a.html")), std::optional<bool>(true));
    QVERIFY(pageShows(dde, "Page A"));
    f.board->ButtonClick("B05");
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.key("Disk.LYK", "Page1", "05U"), m_server.url("/a.html"));
    QCOMPARE(f.key("Disk.LYK", "Page1", "05N"), QByteArray("Page A"));
    QCOMPARE(f.state.buttons()[4].caption, QByteArray("Page A"));
    QVERIFY(starter.starts.isEmpty());
}

void TestChromium::browserWithoutItsPortGivesUpInSeconds()
{
    // A browser program that never opens its DevTools port (a wrapper, a
    // sandboxed build): the launch waits a few seconds, the window working
    // meanwhile, then starts the browser with the address.
    const QString marker = m_dir.filePath(QStringLiteral("silent-started"));
    DevToolsConversation conversation(freePort(), m_dir.filePath(QStringLiteral("silent-profile")));
    LaunchRig rig(conversation);
    BoardFixture& f = rig.f;
    RecordingStarter& starter = rig.starter;
    f.writeFile("Disk.LYK", "[Page1]\r\n01N=Site\r\n01U=http://site.example/\r\n");
    f.writeFile("lyk.ini", "[Show]\r\nPages=Single\r\n");
    f.start();
    f.board->vars().BrowserPath = silentBrowser(marker);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(100);
    QElapsedTimer clock;
    clock.start();
    f.board->ButtonClick("B01");
    QVERIFY(f.board->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!f.board->busy(), 10000);
    QVERIFY2(clock.elapsed() < 8000, QByteArray::number(clock.elapsed()).constData());
    QVERIFY(ticks > 10); // the event loop ran all along
    QCOMPARE(starter.starts.size(), 1);
    QCOMPARE(starter.starts.front().arguments, QStringList{"http://site.example/"});
    // The link started the browser once, not once per attempt.
    QCOMPARE(TestFiles::read(marker).count('\n'), 1);
    QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), QStringLiteral("chromium-silent")});
}

void TestChromium::capturingNeverStartsABrowser()
{
    // A click on a blank button while no browser shows a page: nothing is
    // started, nothing stored, and the user is told how to make it work.
    const QString marker = m_dir.filePath(QStringLiteral("capture-started"));
    DevToolsConversation conversation(freePort(), m_dir.filePath(QStringLiteral("capture-profile")));
    LaunchRig rig(conversation);
    BoardFixture& f = rig.f;
    f.start();
    f.board->vars().BrowserPath = silentBrowser(marker);
    f.board->ButtonClick("B05");
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.key("Disk.LYK", "Page1", "05U"), QByteArray());
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(f.ui.messages(), QStringList{rig.launcher.noPageText()});
    QVERIFY(rig.launcher.noPageText().contains(QStringLiteral("--remote-debugging-port=")));
}

void TestChromium::linksOfTheShownPage()
{
    NEEDS_CHROMIUM();
    LaunchRig rig(*m_conversation);
    BoardFixture& f = rig.f;
    FakeClipboard clipboard;
    RecordingMailTransport mail;
    HttpClient http;
    Exchange exchange(*f.board, clipboard, mail, http);
    f.start();
    f.board->vars().BrowserPath = QFile::encodeName(m_browser);
    TWwwDde dde(*m_conversation, f.ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QCOMPARE(openUrl(dde, m_server.url("/list/links.html")), std::optional<bool>(true));
    QVERIFY(pageShows(dde, "Link List"));
    f.board->command([&] { exchange.webImport().MWSImportClick(WebImport::Source::WebPage); });
    QVERIFY(f.board->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!f.board->busy(), 20000);
    const QByteArray site = m_server.url("/");
    QCOMPARE(BookmarkText::titles(f.store, f.path("Disk.LYK"), "Page1"),
             (QStringList{"01:One", "02:Two & more", "03:Three", "04:four"}));
    QCOMPARE(f.key("Disk.LYK", "Page1", "01U"), site + "list/one.html");
    QCOMPARE(f.key("Disk.LYK", "Page1", "02U"), site + "two.html");
    QCOMPARE(f.key("Disk.LYK", "Page1", "03U"), QByteArray("https://three.example/"));
    QCOMPARE(f.key("Disk.LYK", "Page1", "04U"), QByteArray("http://www.four.example/page"));
    QCOMPARE(f.state.buttons()[1].caption, QByteArray("Two & more"));
    QVERIFY(f.ui.messages().isEmpty());
    QVERIFY(rig.starter.starts.isEmpty());
}

void TestChromium::searchSiteLearntFromTheShownPage()
{
    // The browser shows a search for "red apples"; the same topic typed in
    // the Internet search window and Add, SAVE learn the site around it.
    NEEDS_CHROMIUM();
    LaunchRig rig(*m_conversation);
    BoardFixture& f = rig.f;
    f.start();
    f.board->vars().BrowserPath = QFile::encodeName(m_browser);
    TWwwDde dde(*m_conversation, f.ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QCOMPARE(openUrl(dde, m_server.url("/find?q=red+apples&lang=en")), std::optional<bool>(true));
    QVERIFY(pageShows(dde, "Found Apples"));
    InternetSearch search(*f.board);
    search.FormActivate();
    search.topic = QStringLiteral("red apples");
    f.board->command([&] { search.AddButton1Click(); });
    QTRY_VERIFY_WITH_TIMEOUT(search.adding, 20000);
    QCOMPARE(search.siteName, QStringLiteral("Found Apples"));
    search.siteName = QStringLiteral("Local Find");
    search.AddButton1Click();
    QVERIFY(f.ui.messages().isEmpty());
    const QList<InternetSearch::Site> sites = InternetSearch::readSites(*f.board, search.file);
    const auto learnt = std::find_if(sites.begin(), sites.end(), [](const auto& s) { return s.name == "Local Find"; });
    QVERIFY(learnt != sites.end());
    QCOMPARE(learnt->prefix, m_server.url("/find?q="));
    QCOMPARE(learnt->suffix, QByteArray("&lang=en"));
    // Searching with it builds the address the browser showed.
    search.SiteListClick({int(search.sites.indexOf(QStringLiteral("Local Find")))});
    search.SearchButton1Click();
    QCOMPARE(search.result, m_server.url("/find?q=red+apples&lang=en"));
}

void TestChromium::extensionLinkWithTheDevToolsPortClosed()
{
    // Chromium with Lynkor's extension and no DevTools port: the browser
    // starts Lynkor's host, which connects to Lynkor's socket; the page shown
    // and a page opened go through the extension.
    NEEDS_CHROMIUM();
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString socket = dir.filePath(QStringLiteral("link/socket"));
    BrowserBridge bridge;
    QVERIFY2(bridge.listen(socket), qPrintable(bridge.error()));
    const QString profile = dir.filePath(QStringLiteral("profile"));
    QVERIFY(QDir().mkpath(profile + QStringLiteral("/NativeMessagingHosts")));
    QVERIFY(TestFiles::write(profile + QStringLiteral("/NativeMessagingHosts/io.github.lynkor.browser.json"),
                             MessagingHosts::manifest(QStringLiteral(LYNKOR_BROWSER_HOST), false)));
    QProcess chromium;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LYNKOR_BROWSER_SOCKET"), socket);
    chromium.setProcessEnvironment(env);
    chromium.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    chromium.start(m_browser, {QStringLiteral("--no-sandbox"), QStringLiteral("--no-first-run"),
                               QStringLiteral("--user-data-dir=") + profile,
                               QStringLiteral("--load-extension=%1/chromium").arg(QStringLiteral(LYNKOR_EXTENSION_DIR)),
                               QString::fromLatin1(m_server.url("/a.html"))});
    QVERIFY(chromium.waitForStarted());
    auto stop = qScopeGuard([&] {
        chromium.kill();
        chromium.waitForFinished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(bridge.connected(), 20000);
    QCOMPARE(bridge.browsers().size(), 1);

    ScriptedPrompter ui;
    ExtensionConversation extension(bridge);
    TWwwDde dde(extension, ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QByteArray url;
    QVERIFY(pageShows(dde, "Page A", &url));
    QCOMPARE(url, m_server.url("/a.html"));
    QCOMPARE(openUrl(dde, m_server.url("/b.html")), std::optional<bool>(true));
    QVERIFY(pageShows(dde, "Page B", &url));
    QCOMPARE(url, m_server.url("/b.html"));
    QVERIFY(ui.messages().isEmpty());
    // Only web addresses are opened; the refusal is said.
    QCOMPARE(openUrl(dde, "javascript:alert(1)"), std::optional<bool>(false));
    QCOMPARE(ui.messages().size(), 1);
    QVERIFY(pageShows(dde, "Page B"));
}

QTEST_GUILESS_MAIN(TestChromium)
#include "tst_chromium.moc"
