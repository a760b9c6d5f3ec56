#include "RecordingStarter.h"
#include "ScriptedConversation.h"
#include "ScriptedPrompter.h"
#include "WwwDde.h"

#include <QElapsedTimer>
#include <QtTest>
#include <optional>

namespace {

// The operations run to their answer.
std::optional<bool> openUrl(TWwwDde& dde, const QByteArray& address)
{
    QObject context;
    std::optional<bool> result;
    dde.OpenURL(address, &context, [&](bool ok) { result = ok; });
    (void)QTest::qWaitFor([&] { return result.has_value(); }, 5000);
    return result;
}

struct Info
{
    bool answered = false;
    bool ok = false;
    QByteArray title;
    QByteArray url;
};

Info windowInfoOf(TWwwDde& dde)
{
    QObject context;
    Info info;
    dde.GetWindowInfo(&context, [&](bool ok, const QByteArray& title, const QByteArray& url) {
        info = {true, ok, title, url};
    });
    (void)QTest::qWaitFor([&] { return info.answered; }, 5000);
    return info;
}

} // namespace

class TestWwwDde : public QObject
{
    Q_OBJECT
private slots:
    void normalizeUrl_data();
    void normalizeUrl();
    void textBetween_data();
    void textBetween();
    void checkReply_data();
    void checkReply();
    void windowInfo_data();
    void windowInfo();
    void sixFailedAttemptsSayItOnce();
    void slowAttemptsStopInTime();
    void openUrlSendsTheNormalizedAddress();
    void openUrlWithoutLink();
    void nothingWithoutABrowser();
    void browserWithoutTheLinkIsNoError();
    void answersForAGoneContextAreDropped();
};

void TestWwwDde::normalizeUrl_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("plain") << QByteArray("http://www.x.com/a/b.html") << QByteArray("http://www.x.com/a/b.html");
    QTest::newRow("upper-case scheme") << QByteArray("HTTP://Host.Example/Path")
                                       << QByteArray("http://Host.Example/Path");
    QTest::newRow("no scheme, no slashes") << QByteArray("www.x.com") << QByteArray("http:///www.x.com");
    QTest::newRow("host without path") << QByteArray("http://host.example") << QByteArray("http://host.example/");
    QTest::newRow("file address") << QByteArray("file:///home/u/a.html") << QByteArray("file:///home/u/a.html");
    QTest::newRow("mailto") << QByteArray("mailto:me@x.example") << QByteArray("mailto:///me@x.example");
}

void TestWwwDde::normalizeUrl()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, sent);
    QCOMPARE(TWwwDde::NormalizeURL(address), sent);
}

void TestWwwDde::textBetween_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("quotes") << QByteArray("\"u\",\"t\",\"\"") << QByteArray("\"") << QByteArray("\"")
                            << QByteArray("u");
    QTest::newRow("after comma-quote") << QByteArray("\"u\",\"t\",\"\"") << QByteArray(",\"") << QByteArray("\"")
                                       << QByteArray("t");
    QTest::newRow("empty start") << QByteArray("http://x") << QByteArray() << QByteArray(":") << QByteArray("http");
    QTest::newRow("empty end takes the rest")
        << QByteArray("a//bcd") << QByteArray("//") << QByteArray() << QByteArray("bcd");
    QTest::newRow("start missing") << QByteArray("abc") << QByteArray("[") << QByteArray("]") << QByteArray();
    QTest::newRow("end missing") << QByteArray("a[bc") << QByteArray("[") << QByteArray("]") << QByteArray();
    const QByteArray longTitle(400, 't');
    QTest::newRow("whole long texts") << QByteArray(300, 'x') + "\"" + longTitle + "\"" << QByteArray("\"")
                                      << QByteArray("\"") << longTitle;
}

void TestWwwDde::textBetween()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, end);
    QFETCH(QByteArray, result);
    QCOMPARE(TWwwDde::TextBetween(text, start, end), result);
}

void TestWwwDde::checkReply_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message");
    QTest::newRow("no reply") << false << QByteArray() << false << QString();
    QTest::newRow("window number") << true << QByteArray("\x01\x00\x00\x00", 4) << true << QString();
    QTest::newRow("text") << true << QByteArray("\"u\",\"t\"") << true << QString();
    QTest::newRow("error value") << true << QByteArray("\xFF\xFF\xFF\xFF", 4) << false << "Error FFFFFFFF";
    QTest::newRow("error without leading zeros") << true << QByteArray("\xFF\x01\x00\x0A", 4) << false << "Error FF10A";
}

void TestWwwDde::checkReply()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QString, message);
    ScriptedConversation c;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    QCOMPARE(dde.CheckReply(present ? std::optional<QByteArray>(reply) : std::nullopt), ok);
    QCOMPARE(ui.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(ui.asked.front().type, Prompter::Type::Error);
}

void TestWwwDde::windowInfo_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("title");
    QTest::newRow("browser reply") << QByteArray("\"http://a.example/\",\"A page\",\"\"") << true
                                   << QByteArray("http://a.example/") << QByteArray("A page");
    QTest::newRow("title in brackets") << QByteArray("\"http://b.example/\",\"Shop [Best Buys] now\",\"\"") << true
                                       << QByteArray("http://b.example/") << QByteArray("Best Buys");
    QTest::newRow("utf-8 title fitting 1252") << QByteArray("\"http://c.example/\",\"Caf\xC3\xA9\",\"\"") << true
                                              << QByteArray("http://c.example/") << QByteArray("Caf\xE9");
    QTest::newRow("empty reply") << QByteArray("") << false << QByteArray() << QByteArray();
    // The browser's own pages are no page of the user's: nothing to keep.
    QTest::newRow("new tab") << QByteArray("\"chrome://newtab/\",\"New Tab\",\"\"") << false << QByteArray()
                             << QByteArray();
    QTest::newRow("about page") << QByteArray("\"about:blank\",\"\",\"\"") << false << QByteArray() << QByteArray();
    QTest::newRow("local file") << QByteArray("\"file:///home/me/notes.html\",\"Notes\",\"\"") << true
                                << QByteArray("file:///home/me/notes.html") << QByteArray("Notes");
}

void TestWwwDde::windowInfo()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, title);
    ScriptedConversation c;
    c.replies.insert("WWW_GetWindowInfo", reply);
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/chromium.bin";
    const Info info = windowInfoOf(dde);
    QVERIFY(info.answered);
    QCOMPARE(info.ok, ok);
    QCOMPARE(info.url, ok ? url : QByteArray());
    QCOMPARE(info.title, ok ? title : QByteArray());
    QCOMPARE(c.calls.front(), QStringLiteral("SetLink chromium WWW_GetWindowInfo"));
    // A browser started now would show no page of the user's.
    QCOMPARE(c.calls[1], QStringLiteral("StartLink without starting"));
    QVERIFY(c.calls.contains(QStringLiteral("Request 0xFFFFFFFF")));
    QCOMPARE(c.calls.back(), QStringLiteral("CloseLink"));
    QVERIFY(ui.asked.isEmpty());
}

void TestWwwDde::sixFailedAttemptsSayItOnce()
{
    ScriptedConversation c;
    c.answers = false;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/chromium";
    QCOMPARE(openUrl(dde, "http://x.example/"), std::optional<bool>(false));
    QCOMPARE(c.calls.count(QStringLiteral("StartLink")), 6);
    QCOMPARE(ui.messages(), QStringList{"/usr/bin/chromium could not be found.  Please check the browser "
                                        "configuration under Options."});
    QVERIFY(!c.calls.contains(QStringLiteral("SetLink chromium WWW_OpenURL")));
}

void TestWwwDde::slowAttemptsStopInTime()
{
    // A browser that never opens its link: the attempts stop at the time
    // limit, not after six full waits.
    ScriptedConversation c;
    c.answers = false;
    c.delayMs = 100;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/chromium";
    dde.ActivateWithinMs = 250;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(openUrl(dde, "http://x.example/"), std::optional<bool>(false));
    QVERIFY2(clock.elapsed() < 1000, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(c.calls.count(QStringLiteral("StartLink")), 3);
    QCOMPARE(ui.messages().size(), 1);
}

void TestWwwDde::openUrlSendsTheNormalizedAddress()
{
    ScriptedConversation c;
    c.failStarts = 2; // comes up on the third attempt
    c.replies.insert("WWW_Activate", QByteArray("\x01\x00\x00\x00", 4));
    c.replies.insert("WWW_OpenURL", QByteArray("\x01\x00\x00\x00", 4));
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/opt/Browser.app/browser";
    QObject context;
    std::optional<bool> opened;
    dde.OpenURL("HTTP://Site.example/x", &context, [&](bool ok) { opened = ok; });
    QVERIFY(!opened); // never inside the call
    QTRY_COMPARE(opened, std::optional<bool>(true));
    QVERIFY(ui.messages().isEmpty());
    QCOMPARE(c.calls, (QStringList{"SetLink browser WWW_Activate", "StartLink", "SetLink browser WWW_Activate",
                                   "StartLink", "SetLink browser WWW_Activate", "StartLink", "Request 0xFFFFFFFF,0x0",
                                   "CloseLink", "SetLink browser WWW_OpenURL", "StartLink",
                                   "Request \"http://Site.example/x\",,0xFFFFFFFF,0x0,,,,", "CloseLink"}));
    QCOMPARE(c.program, QByteArray("/opt/Browser.app/browser"));

    c.replies.insert("WWW_OpenURL", QByteArray("\xFF\xFF\xFF\xFF", 4));
    QCOMPARE(openUrl(dde, "http://x/"), std::optional<bool>(false));
    QCOMPARE(ui.messages(), QStringList{"Error FFFFFFFF"});
}

void TestWwwDde::openUrlWithoutLink()
{
    // The browser comes up for WWW_Activate but refuses WWW_OpenURL.
    struct Refusing : ScriptedConversation
    {
        void StartLink(bool mayStart, QObject* context, Opened done) override
        {
            if (!calls.filter(QStringLiteral("WWW_OpenURL")).isEmpty())
                answers = false;
            ScriptedConversation::StartLink(mayStart, context, done);
        }
    } c;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/chromium";
    QCOMPARE(openUrl(dde, "http://x/"), std::optional<bool>(false));
    QCOMPARE(ui.messages(), QStringList{"Could not open link"});
}

void TestWwwDde::nothingWithoutABrowser()
{
    ScriptedConversation c;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    QObject context;
    std::optional<bool> active;
    dde.ActivateBrowser(&context, [&](bool ok) { active = ok; });
    QTRY_COMPARE(active, std::optional<bool>(false));
    QCOMPARE(openUrl(dde, "http://x/"), std::optional<bool>(false));
    QVERIFY(!windowInfoOf(dde).ok);
    QVERIFY(c.calls.isEmpty());
    QVERIFY(ui.asked.isEmpty());
}

void TestWwwDde::browserWithoutTheLinkIsNoError()
{
    ScriptedConversation c;
    c.offersLink = false;
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/firefox";
    QCOMPARE(openUrl(dde, "http://x/"), std::optional<bool>(false));
    QVERIFY(c.calls.isEmpty());
    QVERIFY(ui.asked.isEmpty()); // no "could not be found": the launch falls back quietly
    // Reading the page asks whatever answers on the link, whatever the
    // program's name, and starts nothing.
    QVERIFY(!windowInfoOf(dde).ok);
    QCOMPARE(c.calls.mid(0, 2), (QStringList{"SetLink firefox WWW_GetWindowInfo", "StartLink without starting"}));
    QVERIFY(ui.asked.isEmpty());
}

void TestWwwDde::answersForAGoneContextAreDropped()
{
    ScriptedConversation c;
    c.delayMs = 50;
    c.replies.insert("WWW_GetWindowInfo", "\"http://a.example/\",\"A\",\"\"");
    ScriptedPrompter ui;
    TWwwDde dde(c, ui);
    dde.ServiceApplication = "/usr/bin/chromium";
    int calls = 0;
    auto* context = new QObject;
    dde.GetWindowInfo(context, [&](bool, const QByteArray&, const QByteArray&) { ++calls; });
    delete context;
    QTest::qWait(300);
    QCOMPARE(calls, 0);
}

QTEST_GUILESS_MAIN(TestWwwDde)
#include "tst_wwwdde.moc"
