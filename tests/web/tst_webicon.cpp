#include "BoardFixture.h"
#include "BookmarkEditor.h"
#include "HttpClient.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "LaunchText.h"
#include "LocalHttpServer.h"
#include "NameLookup.h"
#include "PageDisplay.h"
#include "PageScan.h"
#include "PathNames.h"
#include "WebIcon.h"
#include "WebIconFiles.h"
#include "WebImport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <httplib.h>
#include <thread>

using Answer = Prompter::Answer;

namespace {

const QByteArray kIco = QByteArray("\x00\x00\x01\x00\x01\x00\x10\x10", 8) + QByteArray(200, '\x11');
const QByteArray kGif = QByteArray("GIF89a\x01\x00\x01\x00", 10) + QByteArray(30, '\x22');

} // namespace

// The web icon, description and address of a bookmark, against a web server
// on 127.0.0.1.
class TestWebIcon : public QObject
{
    Q_OBJECT

    struct Rig
    {
        LaunchFixture f;
        HttpClient http;
        NameLookup lookup;
        WebIcon web{*f.board, http, lookup};

        explicit Rig(const QByteArray& lyk = {})
        {
            f.board->setIconFetcher(&web);
            if (!lyk.isEmpty())
                f.writeFile("Disk.LYK", lyk);
            f.start();
        }
        QByteArray key(const QByteArray& k) { return f.key("Disk.LYK", "Page1", k); }
        // The background work of every AutoIcon has ended.
        bool settled(int ms = 5000)
        {
            return QTest::qWaitFor([this] { return web.jobsRunning() == 0 && lookup.pending() == 0; }, ms);
        }
        void put(const QByteArray& k, const QByteArray& v)
        {
            TIniFile32 ini(f.store, f.path("Disk.LYK"));
            ini.WriteString("Page1", k, v);
        }
        // The first slot gets the link, and an AutoIcon for it starts; returns
        // what AutoIcon answers at once.
        QByteArray fetch(const QByteArray& link)
        {
            put("01U", link);
            return web.AutoIcon("B01", link, "Page1", "01");
        }
    };

private slots:
    void iconAddress_data();
    void iconAddress();
    void iconStatus_data();
    void iconStatus();
    void description_data();
    void description();
    void namesOfIconFiles();
    void shortcutIconDescriptionAndAddress();
    void faviconFallbackAndGifRename();
    void missingFaviconLeavesTheDefaultIcon();
    void keptNotesAndGlyph();
    void watchdogEndsAServerThatNeverAnswers();
    void windowStaysResponsiveWhileAPageLoads();
    void ipAddressLink();
    void changedAddressIsOffered();
    void searchSwitchedOff();
    void clickOnAWebBookmarkFetchesItsIcon();
    void iconRequestFollowsThePageAtOnce();
    void slotChangedWhileWaitingIsLeftAlone();
    void blankSlotGetsNothing();
    void questionsWaitForTheRunningCommand();
    void jobGoneWhileTheQuestionIsOpen_data();
    void jobGoneWhileTheQuestionIsOpen();
    void answerForASlotThatChangedMeanwhile_data();
    void answerForASlotThatChangedMeanwhile();
    void askedOncePerSite_data();
    void askedOncePerSite();
    void fileThatCannotBeWrittenIsReported();
    void hostilePageCostsItsBytesOnly();
    void droppedLinkGetsItsOwnIconAndAddress();
    void linkWithoutTextTakesThePageTitle_data();
    void linkWithoutTextTakesThePageTitle();
};

void TestWebIcon::iconAddress_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("extension");
    QTest::addColumn<bool>("declared");
    const QByteArray link = "http://www.site.com/dir/page.html";
    // The address keeps its letter case: paths on a web server are case-sensitive.
    QTest::newRow("meta icon") << QByteArray("<META NAME=\"icon\" CONTENT=\"http://img.site.com/a.GIF\">")
                               << QByteArray("http://img.site.com/a.GIF") << QByteArray(".GIF") << true;
    QTest::newRow("shortcut icon link") << QByteArray("<link rel=\"shortcut icon\" href=\"/static/fav.png\">")
                                        << QByteArray("http://www.site.com/static/fav.png") << QByteArray(".png")
                                        << true;
    QTest::newRow("relative to the page") << QByteArray("<link rel=\"shortcut icon\" href=\"i.ico\">")
                                          << QByteArray("http://www.site.com/dir/i.ico") << QByteArray(".ico") << true;
    QTest::newRow("meta wins over link")
        << QByteArray("<link rel=\"shortcut icon\" href=\"/l.ico\">\n<meta name=\"icon\" content=\"/m.ico\">")
        << QByteArray("http://www.site.com/m.ico") << QByteArray(".ico") << true;
    QTest::newRow("a later declaration wins")
        << QByteArray("<meta name=\"icon\" content=\"/1.ico\">\n<meta name=\"icon\" content=\"/2.ico\">")
        << QByteArray("http://www.site.com/2.ico") << QByteArray(".ico") << true;
    // Tags are read as tags: attribute order, quotes, "/>" and line breaks do not matter.
    QTest::newRow("self-closing meta")
        << QByteArray("<meta name=\"icon\" content=\"/m.ico\" />\n<link rel=\"shortcut icon\" href=\"/l.ico\">")
        << QByteArray("http://www.site.com/m.ico") << QByteArray(".ico") << true;
    QTest::newRow("rel icon, the usual form")
        << QByteArray("<link rel=\"icon\" href=\"/favicon-16.png\">")
        << QByteArray("http://www.site.com/favicon-16.png") << QByteArray(".png") << true;
    QTest::newRow("href before rel, single quotes, over two lines")
        << QByteArray("<LINK href='/i/site.ico'\n      REL='Shortcut Icon' type='image/x-icon' />")
        << QByteArray("http://www.site.com/i/site.ico") << QByteArray(".ico") << true;
    QTest::newRow("the size nearest the button")
        << QByteArray("<link rel=\"icon\" sizes=\"192x192\" href=\"/big.png\">"
                      "<link rel=\"icon\" sizes=\"32x32\" href=\"/mid.png\">"
                      "<link rel=\"icon\" sizes=\"16x16\" href=\"/small.png\">")
        << QByteArray("http://www.site.com/small.png") << QByteArray(".png") << true;
    QTest::newRow("vector icon last") << QByteArray("<link rel=\"icon\" type=\"image/svg+xml\" href=\"/i.svg\">"
                                                    "<link rel=\"icon\" sizes=\"48x48\" href=\"/i.png\">")
                                      << QByteArray("http://www.site.com/i.png") << QByteArray(".png") << true;
    QTest::newRow("touch icon only as a last resort")
        << QByteArray("<link rel=\"apple-touch-icon\" href=\"/touch.png\"><link rel=\"icon\" href=\"/i.ico\">")
        << QByteArray("http://www.site.com/i.ico") << QByteArray(".ico") << true;
    QTest::newRow("touch icon when nothing else")
        << QByteArray("<link rel=\"apple-touch-icon\" href=\"/touch.png\">")
        << QByteArray("http://www.site.com/touch.png") << QByteArray(".png") << true;
    QTest::newRow("stylesheet is no icon")
        << QByteArray("<link rel=\"stylesheet\" href=\"/s.css\">") << QByteArray("http://www.site.com/favicon.ico")
        << QByteArray(".ico") << false;
    QTest::newRow("nothing declared: favicon")
        << QByteArray("<html><title>x</title></html>") << QByteArray("http://www.site.com/favicon.ico")
        << QByteArray(".ico") << false;
    QTest::newRow("odd extension") << QByteArray("<link rel=\"shortcut icon\" href=\"/icon.php?x=1\">")
                                   << QByteArray("http://www.site.com/icon.php?x=1") << QByteArray(".php") << true;
}

void TestWebIcon::iconAddress()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, extension);
    QFETCH(bool, declared);
    QByteArray ext;
    bool wasDeclared = false;
    QCOMPARE(PageScan::iconAddress(page, "http://www.site.com/dir/page.html", &ext, &wasDeclared), address);
    QCOMPARE(ext, extension);
    QCOMPARE(wasDeclared, declared);
}

void TestWebIcon::iconStatus_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("status");
    QTest::newRow("icon") << kIco << QByteArray("No");
    QTest::newRow("empty") << QByteArray() << QByteArray("Yes");
    QTest::newRow("empty first line") << QByteArray("\r\nabc") << QByteArray("Yes");
    QTest::newRow("error page") << QByteArray("<HTML><body>Not Found</body></HTML>") << QByteArray("Yes");
    QTest::newRow("404") << QByteArray("x\n404 gone") << QByteArray("Yes");
    QTest::newRow("missing") << QByteArray("x\nfile is Missing") << QByteArray("Yes");
    QTest::newRow("gif") << kGif << QByteArray("GIF");
    QTest::newRow("gif after an error line") << QByteArray("error\nGIF89a") << QByteArray("GIF");
}

void TestWebIcon::iconStatus()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, status);
    QCOMPARE(PageScan::iconStatus(bytes), status);
}

void TestWebIcon::description_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("one line") << QByteArray("<META name=\"Description\" content=\"All The News\">") << true
                              << QByteArray("All The News");
    QTest::newRow("continued") << QByteArray("<meta name=\"description\" content=\"first\nsecond\nthird\">") << true
                               << QByteArray("firstsecondthird");
    QTest::newRow("none") << QByteArray("<title>x</title>") << false << QByteArray();
    QTest::newRow("attributes in any order")
        << QByteArray("<meta content='Shop & more' NAME=description>") << true << QByteArray("Shop & more");
    QTest::newRow("first one counts")
        << QByteArray("<meta name=\"description\" content=\"one\">\n<meta name=\"description\" content=\"two\">")
        << true << QByteArray("one");
}

void TestWebIcon::description()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, found);
    QFETCH(QByteArray, text);
    bool wasFound = false;
    QCOMPARE(PageScan::description(page, &wasFound), text);
    QCOMPARE(wasFound, found);
}

void TestWebIcon::namesOfIconFiles()
{
    QCOMPARE(WebIconFiles::strippedLink("http://www.site.com/"), QByteArray("site_com_"));
    QCOMPARE(WebIconFiles::strippedLink("https://a.b:8080/x?y=\"z\"<>|*,"), QByteArray("a_b_8080_x_y=_z______"));
    QCOMPARE(WebIconFiles::folder("/data/.hidden/Disk.LYK"), QByteArray("/data/.hidden/Diskwebicons/"));
    QCOMPARE(LaunchText::hostRange("http://www.site.com/a/b").end, 19);
    QCOMPARE(LaunchText::hostRange("http://localhost").end, 16);
    QCOMPARE(LaunchText::hostRange("http://localhost/page.html").end, 16);
}

void TestWebIcon::shortcutIconDescriptionAndAddress()
{
    LocalHttpServer server;
    server.add("/page.html", "<html><head><title>T</title>\n<link rel=\"shortcut icon\" href=\"/img/site.ico\">\n"
                             "<meta name=\"description\" content=\"Caf&eacute; &amp; news\r\nof the day\">\n"
                             "</head></html>");
    server.add("/img/site.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/page.html");
    r.put("01N", "Local");
    // The web part runs in the background: AutoIcon returns at once.
    QCOMPARE(r.fetch(link), QByteArray("00"));
    QVERIFY(r.settled());
    const QByteArray icon = r.f.path("Diskwebicons/") + WebIconFiles::strippedLink(link) + ".ico";
    QCOMPARE(r.key("01I"), icon);
    QCOMPARE(r.key("01G"), QByteArray("600"));
    QCOMPARE(QFile(PathNames::toQt(icon)).size(), kIco.size());
    QCOMPARE(r.f.state.buttons()[0].glyph, (IconRef{IconRef::File, 0, icon}));
    // Continuation lines are joined as they stand.
    QCOMPARE(r.key("01P"), QByteArray("Caf\xE9 & newsof the day"));
    QCOMPARE(r.f.state.buttons()[0].hint, QByteArray("Caf\xE9 & newsof the day\r") + link);
    // Nothing stays behind but the icon.
    QCOMPARE(QDir(r.f.dir.path() + "/Diskwebicons").entryList(QDir::Files).size(), 1);
}

void TestWebIcon::faviconFallbackAndGifRename()
{
    LocalHttpServer server;
    server.add("/", "<html><head><title>No icon markup</title></head></html>");
    server.add("/favicon.ico", kGif, "image/gif");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/");
    r.fetch(link);
    QVERIFY(r.settled());
    const QByteArray gif = r.f.path("Diskwebicons/") + PathNames::stem(WebIconFiles::strippedLink(link)) + ".gif";
    QCOMPARE(r.key("01I"), gif);
    QVERIFY(QFile::exists(PathNames::toQt(gif)));
    QCOMPARE(r.key("01G"), QByteArray("600"));
}

void TestWebIcon::missingFaviconLeavesTheDefaultIcon()
{
    LocalHttpServer server;
    server.add("/p.html", "<html></html>");
    server.start(); // /favicon.ico answers 404
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    QCOMPARE(r.fetch(link), QByteArray("00"));
    QVERIFY(r.settled());
    QCOMPARE(r.key("01G"), QByteArray());
    QCOMPARE(r.key("01I"), QByteArray());
    QCOMPARE(r.f.state.buttons()[0].glyph, IconRef::defaultIcon());
    QVERIFY(QDir(r.f.dir.path() + "/Diskwebicons").entryList(QDir::Files).isEmpty());
}

void TestWebIcon::keptNotesAndGlyph()
{
    LocalHttpServer server;
    server.add("/p.html", "<meta name=\"description\" content=\"new text\">\n"
                          "<link rel=\"shortcut icon\" href=\"/i.ico\">");
    server.add("/i.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.put("01U", link);
    r.put("01P", "my own notes");
    r.put("01G", "7");
    r.web.AutoIcon("B01", link, "Page1", "01");
    QVERIFY(r.settled());
    QCOMPARE(r.key("01P"), QByteArray("my own notes"));
    QCOMPARE(r.key("01G"), QByteArray("7"));
}

void TestWebIcon::watchdogEndsAServerThatNeverAnswers()
{
    LocalHttpServer server;
    server.addSlow("/slow.html", "<html>", " ", 100, 100); // ten seconds of trickle
    server.start();
    Rig r;
    r.web.setWatchdog(400);
    const QByteArray link = server.namedUrl("/slow.html");
    r.put("01U", link);
    QElapsedTimer clock;
    clock.start();
    r.web.AutoIcon("B01", link, "Page1", "01");
    QVERIFY(r.settled());
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(r.f.ui.cursor(), ScreenCursor::Default);
}

void TestWebIcon::windowStaysResponsiveWhileAPageLoads()
{
    LocalHttpServer server;
    server.addSlow("/slow.html", "<html>", " ", 8, 100);
    server.start();
    Rig r;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    r.fetch(server.namedUrl("/slow.html"));
    QVERIFY(clock.elapsed() < 100); // returns at once
    QVERIFY(!r.f.board->busy());    // commands go on meanwhile
    QVERIFY(r.settled());
    QVERIFY(ticks >= 5);
}

void TestWebIcon::ipAddressLink()
{
    LocalHttpServer server;
    server.add("/dir/p.html", "<html></html>");
    server.start();
    Rig r;
    const QByteArray link = "http://127.0.0.1:" + QByteArray::number(server.port()) + "/dir/p.html";
    r.put("01N", "Router");
    r.put("01U", link);
    r.f.ui.answer(QVariant::fromValue(Answer::No));
    r.web.AutoIcon("B01", link, "Page1", "01");
    QCOMPARE(r.key("01A"), QByteArray("127.0.0.1:") + QByteArray::number(server.port()));
    // The reverse look-up names the host and offers the link with it.
    QTRY_COMPARE(r.f.ui.messages().size(), 1);
    // Scheme, port and path stay; the question names the address it replaces.
    const QByteArray named = "http://localhost:" + QByteArray::number(server.port()) + "/dir/p.html";
    QCOMPARE(r.f.ui.messages().front(),
             QStringLiteral("Would you like to replace \"%1\" with the URL \"%2\" as the URL for this bookmark?")
                 .arg(QString::fromLatin1(link), QString::fromLatin1(named)));
    QCOMPARE(r.key("01U"), link); // No keeps it
    QVERIFY(r.settled());
    // ... and is not asked again about the same pair.
    r.web.AutoIcon("B01", link, "Page1", "01");
    QVERIFY(r.settled());
    QTest::qWait(100);
    QCOMPARE(r.f.ui.messages().size(), 1);
}

void TestWebIcon::changedAddressIsOffered()
{
    LocalHttpServer server;
    server.add("/p.html", "<html></html>");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.fetch(link);
    QTRY_COMPARE(r.key("01A"), QByteArray("127.0.0.1")); // empty: written without asking
    QVERIFY(r.f.ui.messages().isEmpty());

    // An address typed with its port, for launching by address, is the same
    // site: nothing to ask.
    QVERIFY(r.settled());
    r.put("01A", "127.0.0.1:" + QByteArray::number(server.port()));
    r.web.AutoIcon("B01", link, "Page1", "01");
    QVERIFY(r.settled());
    QVERIFY(r.f.ui.messages().isEmpty());

    r.put("01A", "10.9.8.7");
    r.f.ui.answer(QVariant::fromValue(Answer::Yes));
    r.web.AutoIcon("B01", link, "Page1", "01");
    QTRY_COMPARE(r.f.ui.messages().size(), 1);
    QCOMPARE(r.f.ui.messages().front(),
             QStringLiteral("\"This web site\" has changed to a new IP address.\rWould you like to update the IP "
                            "Address \"10.9.8.7\" to \"127.0.0.1\" for this bookmark? "));
    QCOMPARE(r.key("01A"), QByteArray("127.0.0.1"));
}

void TestWebIcon::searchSwitchedOff()
{
    std::atomic<int> hits = 0;
    LocalHttpServer server;
    server.handle("/p.html", [&hits](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("<html></html>", "text/html");
    });
    server.start();
    Rig r;
    r.f.board->MWebIconClick();
    QCOMPARE(r.f.key("lyk.ini", "WebIcon", "Search"), QByteArray("Off"));
    r.put("01U", server.url("/p.html"));
    QCOMPARE(r.web.AutoIcon("B01", server.url("/p.html"), "Page1", "01"), QByteArray("00"));
    QCOMPARE(hits.load(), 0);
    QCOMPARE(r.key("01G"), QByteArray());
    QCOMPARE(r.f.state.buttons()[0].glyph, IconRef::defaultIcon());
    // A program link shows its own icon, found with the search on.
    r.f.board->MWebIconClick();
    r.put("02U", "/usr/bin/env");
    QCOMPARE(r.web.AutoIcon("B02", "/usr/bin/env", "Page1", "02"), QByteArray("600"));
    QCOMPARE(r.key("02I"), QByteArray("/usr/bin/env"));
    QCOMPARE(r.f.state.buttons()[1].glyph, (IconRef{IconRef::File, 0, "/usr/bin/env"}));
}

void TestWebIcon::clickOnAWebBookmarkFetchesItsIcon()
{
    LocalHttpServer server;
    server.add("/p.html", "<link rel=\"shortcut icon\" href=\"/i.ico\">");
    server.add("/i.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    r.f.board->vars().BrowserPath = "/usr/bin/stand-in";
    r.put("03N", "Site");
    r.put("03U", server.namedUrl("/p.html"));
    r.f.board->pages().LoadCurrent();
    r.f.board->ButtonClick("B03");
    QCOMPARE(r.f.starter.starts.size(), 1);
    QTRY_COMPARE(r.key("03G"), QByteArray("600"));
    QCOMPARE(r.f.state.buttons()[2].glyph.kind, IconRef::File);
}

void TestWebIcon::iconRequestFollowsThePageAtOnce()
{
    // The icon comes right after its page, even while the click's launch
    // still waits for a slow browser link.
    QMutex mutex;
    QList<QPair<QByteArray, qint64>> requests;
    QElapsedTimer clock;
    clock.start();
    auto log = [&](const httplib::Request& req) {
        QMutexLocker lock(&mutex);
        requests.append({QByteArray::fromStdString(req.path), clock.elapsed()});
    };
    LocalHttpServer server;
    server.handle("/cafe.html", [&](const httplib::Request& req, httplib::Response& res) {
        log(req);
        res.set_content("<html><head><link rel=\"icon\" href=\"/favicon.ico\"></head></html>", "text/html");
    });
    server.handle("/favicon.ico", [&](const httplib::Request& req, httplib::Response& res) {
        log(req);
        res.set_content(kIco.toStdString(), "image/x-icon");
    });
    server.start();
    Rig r;
    r.f.conversation.delayMs = 1500;
    r.f.conversation.replies.insert("WWW_Activate", QByteArray("\x01\x00\x00\x00", 4));
    r.f.conversation.replies.insert("WWW_OpenURL", QByteArray("\x01\x00\x00\x00", 4));
    r.f.board->vars().BrowserPath = "/usr/bin/chromium";
    r.f.launcher.SingleButtonClick(true);
    r.put("01N", "Cafe");
    r.put("01U", server.namedUrl("/cafe.html"));
    r.f.board->pages().LoadCurrent();
    r.f.board->ButtonClick("B01");
    QTRY_COMPARE_WITH_TIMEOUT(r.key("01G"), QByteArray("600"), 5000);
    QMutexLocker lock(&mutex);
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[1].first, QByteArray("/favicon.ico"));
    QVERIFY2(requests[1].second - requests[0].second < 500, QByteArray::number(requests[1].second).constData());
    QVERIFY(r.f.board->busy()); // the launch still waits for the browser
    lock.unlock();
    QTRY_VERIFY_WITH_TIMEOUT(!r.f.board->busy(), 15000);
}

void TestWebIcon::slotChangedWhileWaitingIsLeftAlone()
{
    LocalHttpServer server;
    server.addSlow("/p.html", "<meta name=\"description\" content=\"the old site\">", " ", 3, 100);
    server.add("/favicon.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.fetch(link);
    // The user puts another bookmark into the slot while the page loads.
    r.put("01U", "http://other.example/");
    QVERIFY(r.settled());
    QCOMPARE(r.key("01U"), QByteArray("http://other.example/"));
    QCOMPARE(r.key("01P"), QByteArray());
    QCOMPARE(r.key("01G"), QByteArray());
    QCOMPARE(r.key("01I"), QByteArray());
    QCOMPARE(r.key("01A"), QByteArray());
}

void TestWebIcon::blankSlotGetsNothing()
{
    // A job for a slot that holds no bookmark must not leave half a record
    // (an address, notes, an icon) in it.
    LocalHttpServer server;
    server.add("/p.html", "<meta name=\"description\" content=\"a site\"><link rel=\"icon\" href=\"/i.ico\">");
    server.add("/i.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    r.web.AutoIcon("B02", server.namedUrl("/p.html"), "Page1", "02");
    QVERIFY(r.settled());
    for (const char* field : {"02U", "02A", "02P", "02I"})
        QVERIFY2(r.key(field).isEmpty(), field);
}

void TestWebIcon::questionsWaitForTheRunningCommand()
{
    LocalHttpServer server;
    server.add("/p.html", "<html></html>");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.put("01U", link);
    r.put("01A", "10.9.8.7");
    r.f.ui.answer(QVariant::fromValue(Answer::No));
    // A command runs (a dialog is open) while the answer comes: the question
    // waits for it to end.
    bool askedDuringCommand = false;
    r.f.board->command([&] {
        r.web.AutoIcon("B01", link, "Page1", "01");
        QTest::qWait(1000);
        askedDuringCommand = !r.f.ui.messages().isEmpty();
    });
    QVERIFY(!askedDuringCommand);
    QTRY_COMPARE(r.f.ui.messages().size(), 1);
}

void TestWebIcon::jobGoneWhileTheQuestionIsOpen_data()
{
    QTest::addColumn<bool>("fetchAgain");
    // The question's dialog runs an event loop: the answers of the job that
    // asked arrive meanwhile, and the job ends.
    QTest::newRow("the job ends meanwhile") << false;
    // The bookmark is fetched again meanwhile (a bookmark captured from the
    // browser, a click): the earlier job for the slot is deleted.
    QTest::newRow("the slot is fetched again meanwhile") << true;
}

void TestWebIcon::jobGoneWhileTheQuestionIsOpen()
{
    QFETCH(bool, fetchAgain);
    LocalHttpServer server;
    server.add("/p.html", "<html><head><link rel=\"icon\" href=\"/i.ico\"></head></html>");
    server.add("/i.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    const QByteArray link = "http://127.0.0.1:" + QByteArray::number(server.port()) + "/p.html";
    r.put("01N", "Local");
    r.put("01U", link);
    int open = 0;
    r.f.ui.whileOpen = [&](const ScriptedPrompter::Question&) {
        ++open;
        if (fetchAgain)
            r.web.AutoIcon("B01", link, "Page1", "01");
        else
            QVERIFY(QTest::qWaitFor([&] { return r.web.jobsRunning() == 0; }, 10000));
        // Whatever was deleted meanwhile is gone now.
        QTest::qWait(50);
    };
    r.f.ui.answer(QVariant::fromValue(Answer::No));
    r.web.AutoIcon("B01", link, "Page1", "01");
    QTRY_COMPARE(open, 1);
    QVERIFY(r.settled());
    QTest::qWait(100);
    // Asked once; No keeps the address, and the page's icon was still taken.
    QCOMPARE(r.f.ui.messages().size(), 1);
    QCOMPARE(r.key("01U"), link);
    QCOMPARE(r.key("01G"), QByteArray("600"));
}

void TestWebIcon::answerForASlotThatChangedMeanwhile_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("another address") << QByteArray("01U") << QByteArray("http://other.example/");
    QTest::newRow("another bookmark of the same address") << QByteArray("01N") << QByteArray("Another");
    QTest::newRow("the slot erased") << QByteArray("01U") << QByteArray();
}

void TestWebIcon::answerForASlotThatChangedMeanwhile()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    LocalHttpServer server;
    server.add("/p.html", "<html></html>");
    server.start();
    Rig r;
    const QByteArray link = "http://127.0.0.1:" + QByteArray::number(server.port()) + "/p.html";
    r.put("01N", "Local");
    r.put("01U", link);
    // Another program writes the file while the question is open.
    r.f.ui.whileOpen = [&](const ScriptedPrompter::Question&) { r.put(key, value); };
    r.f.ui.answer(QVariant::fromValue(Answer::Yes));
    r.web.AutoIcon("B01", link, "Page1", "01");
    QTRY_COMPARE(r.f.ui.messages().size(), 1);
    QVERIFY(r.settled());
    QTest::qWait(100);
    // Yes was meant for the bookmark asked about: the slot keeps what it holds now.
    QCOMPARE(r.key("01U"), key == "01U" ? value : link);
    QCOMPARE(r.key("01N"), key == "01N" ? value : QByteArray("Local"));
}

void TestWebIcon::askedOncePerSite_data()
{
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QByteArray>("kept");    // in the settings file
    QTest::addColumn<bool>("askedAgain");    // after a restart
    QTest::addColumn<bool>("othersRenamed"); // the site's other bookmarks
    QTest::newRow("No") << QVariant::fromValue(Answer::No) << QByteArray() << true << false;
    QTest::newRow("Yes") << QVariant::fromValue(Answer::Yes) << QByteArray() << true << false;
    QTest::newRow("No, and don't ask again")
        << QVariant::fromValue(ScriptedPrompter::Ticked{Answer::No}) << QByteArray("No") << false << false;
    QTest::newRow("Yes, and don't ask again")
        << QVariant::fromValue(ScriptedPrompter::Ticked{Answer::Yes}) << QByteArray("Yes") << false << true;
}

void TestWebIcon::askedOncePerSite()
{
    QFETCH(QVariant, answer);
    QFETCH(QByteArray, kept);
    QFETCH(bool, askedAgain);
    QFETCH(bool, othersRenamed);
    LocalHttpServer server;
    server.add("/a.html", "<html></html>");
    server.add("/b.html", "<html></html>");
    server.start();
    Rig r;
    const QByteArray site = "http://127.0.0.1:" + QByteArray::number(server.port());
    const QByteArray named = "http://localhost:" + QByteArray::number(server.port());
    r.put("01U", site + "/a.html");
    r.put("02U", site + "/b.html");
    r.put("03U", site + "/a.html");
    r.f.ui.answer(answer);
    r.web.AutoIcon("B01", site + "/a.html", "Page1", "01");
    QTRY_COMPARE(r.f.ui.messages().size(), 1);
    QCOMPARE(r.f.ui.asked.front().options, QStringList{"Don't ask again for this site"});
    QVERIFY(r.settled());
    const bool yes =
        answer.value<Answer>() == Answer::Yes || answer.value<ScriptedPrompter::Ticked>().answer == Answer::Yes;
    QCOMPARE(r.key("01U"), (yes ? named : site) + "/a.html");
    QCOMPARE(r.f.key("lyk.ini", "DontAsk", "127.0.0.1"), kept);

    // Another bookmark of the site: a No is not asked again.
    if (yes && !othersRenamed)
        r.f.ui.answer(QVariant::fromValue(Answer::No));
    r.web.AutoIcon("B02", site + "/b.html", "Page1", "02");
    QVERIFY(r.settled());
    QTest::qWait(100);
    QCOMPARE(r.f.ui.messages().size(), yes && !othersRenamed ? 2 : 1);
    QCOMPARE(r.key("02U"), (othersRenamed ? named : site) + "/b.html");

    // The program started again: only a ticked answer is remembered.
    const qsizetype before = r.f.ui.messages().size();
    WebIcon again(*r.f.board, r.http, r.lookup);
    r.f.board->setIconFetcher(&again);
    if (askedAgain)
        r.f.ui.answer(QVariant::fromValue(Answer::No));
    again.AutoIcon("B03", site + "/a.html", "Page1", "03");
    QVERIFY(QTest::qWaitFor([&] { return again.jobsRunning() == 0 && r.lookup.pending() == 0; }, 5000));
    QTest::qWait(100);
    QCOMPARE(r.f.ui.messages().size(), before + (askedAgain ? 1 : 0));
    QCOMPARE(r.key("03U"), (othersRenamed ? named : site) + "/a.html");
    r.f.board->setIconFetcher(&r.web);
}

void TestWebIcon::fileThatCannotBeWrittenIsReported()
{
    LocalHttpServer server;
    server.add("/p.html", "<meta name=\"description\" content=\"text\">");
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.fetch(link);
    // The bookmark file cannot be read or written any more when the answers come.
    QVERIFY(QFile::remove(PathNames::toQt(r.f.path("Disk.LYK"))));
    QVERIFY(QDir().mkpath(PathNames::toQt(r.f.path("Disk.LYK"))));
    QVERIFY(r.settled());
    QVERIFY(!r.f.ui.messages().isEmpty());
    for (const QString& m : r.f.ui.messages())
        QVERIFY2(m.startsWith(QStringLiteral("Cannot ")), qPrintable(m));
}

void TestWebIcon::hostilePageCostsItsBytesOnly()
{
    // A description of 300 000 "&" and a page beyond the limit: read up to the
    // limit, kept short (the time it takes is measured in bench/).
    const QByteArray description = QByteArray("&amp").repeated(300000);
    LocalHttpServer server;
    server.add("/p.html",
               "<meta name=\"description\" content=\"" + description + "\">" + QByteArray(3 * 1024 * 1024, ' '));
    server.start();
    Rig r;
    const QByteArray link = server.namedUrl("/p.html");
    r.fetch(link);
    QVERIFY(r.settled(30000));
    QCOMPARE(r.key("01P").size(), PageScan::kMaxDescription);
}

void TestWebIcon::droppedLinkGetsItsOwnIconAndAddress()
{
    // A link dropped on a filled button: the new bookmark gets the page's
    // icon, description and address; the one pushed aside moves unchanged.
    LocalHttpServer server;
    server.add("/new.html", "<link rel=\"icon\" href=\"/new.ico\"><meta name=\"description\" content=\"New site\">");
    server.add("/new.ico", kIco, "image/x-icon");
    server.start();
    Rig r;
    r.put("01N", "Old");
    r.put("01U", "http://old.example/");
    r.put("01A", "10.1.2.3");
    r.put("01G", "7");
    r.f.board->pages().LoadCurrent();
    const QByteArray link = server.namedUrl("/new.html");
    BookmarkEditor::Dropped item;
    item.url = link;
    item.title = "New";
    r.f.board->editor().FilesDropped(item, QPoint(5, 5), 600);
    QVERIFY(r.settled());
    QCOMPARE(r.key("01N"), QByteArray("New"));
    QCOMPARE(r.key("01P"), QByteArray("New site"));
    QCOMPARE(r.key("01A"), QByteArray("127.0.0.1"));
    QCOMPARE(r.key("01G"), QByteArray("600"));
    QVERIFY(r.key("01I").endsWith(".ico"));
    QCOMPARE(r.key("02N"), QByteArray("Old"));
    QCOMPARE(r.key("02U"), QByteArray("http://old.example/"));
    QCOMPARE(r.key("02P"), QByteArray());
    QCOMPARE(r.key("02A"), QByteArray("10.1.2.3"));
    QCOMPARE(r.key("02G"), QByteArray("7"));
    QCOMPARE(r.key("02I"), QByteArray());
    QVERIFY(r.f.ui.messages().isEmpty()); // no question about the old bookmark's address
}

void TestWebIcon::linkWithoutTextTakesThePageTitle_data()
{
    QTest::addColumn<bool>("pasted");     // Import from Clipboard, else dropped
    QTest::addColumn<QByteArray>("text"); // the link's own text
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("title");
    for (const bool pasted : {false, true}) {
        const QByteArray how = pasted ? "pasted: " : "dropped: ";
        QTest::newRow(how + "no text: the page's title")
            << pasted << QByteArray() << QByteArray("/titled.html") << QByteArray("Caf\xe9 & Co");
        QTest::newRow(how + "no text, no page title: the site's name")
            << pasted << QByteArray() << QByteArray("/untitled.html") << QByteArray("127.0.0.1");
        QTest::newRow(how + "the link's text wins")
            << pasted << QByteArray("Own Text") << QByteArray("/titled.html") << QByteArray("Own Text");
    }
}

void TestWebIcon::linkWithoutTextTakesThePageTitle()
{
    QFETCH(bool, pasted);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, title);
    LocalHttpServer server;
    server.add("/titled.html", "<html><head><title>\n  Caf&eacute; &amp;\r\n Co </title></head></html>");
    server.add("/untitled.html", "<html><head></head><body>no title</body></html>");
    server.start();
    Rig r;
    // The reverse look-up offers the host's name where a page is fetched: No keeps the address.
    r.f.ui.answers.push_back(QVariant::fromValue(Answer::No));
    const QByteArray link = "http://127.0.0.1:" + QByteArray::number(server.port()) + path;
    if (pasted) {
        r.f.clipboard.htmlContent =
            text.isEmpty()
                ? QString()
                : QStringLiteral("<a href=\"%1\">%2</a>").arg(QString::fromLatin1(link), QString::fromLatin1(text));
        r.f.clipboard.content = QString::fromLatin1(link);
        r.f.board->command([&] { r.f.exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    } else {
        BookmarkEditor::Dropped item;
        item.url = link;
        item.title = text;
        r.f.board->command([&] { r.f.board->editor().FilesDropped(item, QPoint(5, 5), 600); });
    }
    QCOMPARE(r.key("01U"), link);
    QTRY_COMPARE(r.key("01N"), title);
    QVERIFY(r.settled());
    QTest::qWait(100);
    QCOMPARE(r.key("01N"), title);
    QCOMPARE(r.f.state.buttons()[0].caption, title);
    r.f.ui.answers.clear();
}

QTEST_GUILESS_MAIN(TestWebIcon)
#include "tst_webicon.moc"
