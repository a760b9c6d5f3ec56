#include "BridgeProtocol.h"
#include "BrowserBridge.h"
#include "ExtensionConversation.h"
#include "MessagingHosts.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <sys/stat.h>

using BridgeProtocol::Order;

namespace {

QByteArray bigLength(quint32 n)
{
    QByteArray b(4, '\0');
    qToBigEndian(n, b.data());
    return b;
}

// A browser host as Lynkor meets it: a socket that says hello.
struct FakeHost
{
    QLocalSocket socket;
    QByteArray buffer;
    bool connectTo(const QString& path)
    {
        socket.connectToServer(path);
        return socket.waitForConnected(2000);
    }
    void send(const QJsonObject& m) { socket.write(BridgeProtocol::frame(m)); }
    void hello(const QString& browser, int protocol = BridgeProtocol::kVersion)
    {
        send({{"type", "hello"}, {"protocol", protocol}, {"browser", browser}});
    }
    // The next message from Lynkor, waiting for it (Lynkor runs in this
    // thread too, so the wait keeps the events going).
    std::optional<QJsonObject> next()
    {
        for (int i = 0; i < 250; ++i) {
            buffer += socket.readAll();
            if (auto m = BridgeProtocol::take(buffer).message)
                return m;
            QTest::qWait(20);
        }
        return std::nullopt;
    }
    bool dropped()
    {
        for (int i = 0; i < 250 && socket.state() != QLocalSocket::UnconnectedState; ++i)
            QTest::qWait(20);
        return socket.state() == QLocalSocket::UnconnectedState;
    }
};

} // namespace

class TestBrowserBridge : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString socketPath(const QString& name) const { return m_dir.filePath(QStringLiteral("private/") + name); }

private slots:
    void initTestCase();
    void frames_data();
    void frames();
    void replies_data();
    void replies();
    void socketIsPrivate();
    void refusedGreetings_data();
    void refusedGreetings();
    void eachBrowserGetsItsOwnAnswers();
    void unansweredAndVanishedRequests();
    void hostManifests();
    void realHostCarriesRequestsAndChecksThem();
    void realHostServesOnlyOurExtension();
};

void TestBrowserBridge::initTestCase()
{
    QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestBrowserBridge::frames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");   // a message comes out
    QTest::addColumn<bool>("refused"); // an error comes out
    const QByteArray json = R"({"a":1})";
    QTest::newRow("whole") << bigLength(json.size()) + json << true << false;
    QTest::newRow("length only") << bigLength(json.size()) << false << false;
    QTest::newRow("half the length") << QByteArray(2, '\0') << false << false;
    QTest::newRow("cut short") << bigLength(json.size()) + json.left(3) << false << false;
    QTest::newRow("too large") << bigLength(BridgeProtocol::kMaxMessage + 1) << false << true;
    QTest::newRow("4 GB") << QByteArray(4, '\xFF') << false << true;
    QTest::newRow("not JSON") << bigLength(5) + "hello" << false << true;
    QTest::newRow("an array") << bigLength(3) + "[1]" << false << true;
    QTest::newRow("a string") << bigLength(3) + "\"x\"" << false << true;
}

void TestBrowserBridge::frames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QFETCH(bool, refused);
    QByteArray buffer = bytes;
    const BridgeProtocol::Taken t = BridgeProtocol::take(buffer);
    QCOMPARE(t.message.has_value(), whole);
    QCOMPARE(!t.error.isEmpty(), refused);
    if (!whole)
        QCOMPARE(buffer, bytes); // nothing taken
    // The native order is the machine's own.
    QByteArray native = BridgeProtocol::frame({{"b", 2}}, Order::Native);
    quint32 n = 0;
    std::memcpy(&n, native.constData(), 4);
    QCOMPARE(qsizetype(n), native.size() - 4);
    QCOMPARE(BridgeProtocol::take(native, Order::Native).message->value("b").toInt(), 2);
}

void TestBrowserBridge::replies_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::newRow("page") << QByteArray(R"({"id":3,"ok":true,"url":"http://a/","title":"A"})") << true;
    QTest::newRow("refusal") << QByteArray(R"({"id":3,"ok":false,"error":"no page"})") << true;
    QTest::newRow("no id") << QByteArray(R"({"ok":true})") << false;
    QTest::newRow("id zero") << QByteArray(R"({"id":0,"ok":true})") << false;
    QTest::newRow("id a fraction") << QByteArray(R"({"id":1.5,"ok":true})") << false;
    QTest::newRow("id a string") << QByteArray(R"({"id":"1","ok":true})") << false;
    QTest::newRow("ok a string") << QByteArray(R"({"id":1,"ok":"yes"})") << false;
    QTest::newRow("url a number") << QByteArray(R"({"id":1,"ok":true,"url":5})") << false;
    QTest::newRow("title too long") << QByteArray(R"({"id":1,"ok":true,"title":")") + QByteArray(70000, 'x') + "\"}"
                                    << false;
}

void TestBrowserBridge::replies()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    const QJsonObject m = QJsonDocument::fromJson(json).object();
    const auto r = BridgeProtocol::validReply(m);
    QCOMPARE(r.has_value(), valid);
    // Only the known fields go on.
    if (r)
        for (const QString& key : r->keys())
            QVERIFY(QStringList({"id", "ok", "url", "title", "error"}).contains(key));
}

void TestBrowserBridge::socketIsPrivate()
{
    BrowserBridge bridge;
    QVERIFY2(bridge.listen(socketPath(QStringLiteral("a"))), qPrintable(bridge.error()));
    struct stat st = {};
    QCOMPARE(::stat(QFile::encodeName(QFileInfo(bridge.path()).path()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0700);
    // A second Lynkor of the user leaves the browsers to the first.
    BrowserBridge second;
    QVERIFY(!second.listen(bridge.path()));
    QVERIFY(second.error().contains(QStringLiteral("another Lynkor")));
    // A folder others may enter is refused.
    const QString open = m_dir.filePath(QStringLiteral("open"));
    QVERIFY(QDir().mkpath(open));
    QVERIFY(QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther));
    BrowserBridge exposed;
    QVERIFY(!exposed.listen(open + QStringLiteral("/socket")));
    QVERIFY(exposed.error().contains(QStringLiteral("not a private folder")));
}

void TestBrowserBridge::refusedGreetings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refusedFrame"); // Lynkor says why before it drops the host
    QTest::newRow("wrong version") << BridgeProtocol::frame({{"type", "hello"}, {"protocol", 2}, {"browser", "x"}})
                                   << true;
    QTest::newRow("no greeting") << BridgeProtocol::frame({{"type", "reply"}, {"id", 1}, {"ok", true}}) << true;
    QTest::newRow("malformed") << bigLength(4) + "{{{{" << false;
    QTest::newRow("oversized") << bigLength(BridgeProtocol::kMaxMessage + 10) << false;
}

void TestBrowserBridge::refusedGreetings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refusedFrame);
    BrowserBridge bridge;
    QVERIFY(bridge.listen(socketPath(QStringLiteral("b"))));
    FakeHost host;
    QVERIFY(host.connectTo(bridge.path()));
    QTRY_VERIFY(true);
    host.socket.write(bytes);
    host.socket.flush();
    if (refusedFrame) {
        const auto m = host.next();
        QVERIFY(m);
        QCOMPARE(m->value("type").toString(), QStringLiteral("refused"));
    }
    QTRY_VERIFY(host.dropped());
    QVERIFY(!bridge.connected());
}

void TestBrowserBridge::eachBrowserGetsItsOwnAnswers()
{
    BrowserBridge bridge;
    QVERIFY(bridge.listen(socketPath(QStringLiteral("c"))));
    QSignalSpy changed(&bridge, &BrowserBridge::browsersChanged);
    FakeHost chromium, firefox;
    QVERIFY(chromium.connectTo(bridge.path()));
    chromium.hello("chromium");
    QVERIFY(chromium.next()->value("type") == QStringLiteral("welcome"));
    QVERIFY(firefox.connectTo(bridge.path()));
    firefox.hello("firefox-esr");
    QVERIFY(firefox.next()->value("type") == QStringLiteral("welcome"));
    QTRY_COMPARE(bridge.browsers(), (QStringList{"chromium", "firefox-esr"}));
    QCOMPARE(changed.size(), 2);

    // Both asked at once: each answers its own request.
    QObject context;
    std::optional<QJsonObject> toChromium, toFirefox;
    bool chromiumDone = false, firefoxDone = false;
    bridge.request(
        {{"op", "windowInfo"}}, 5000, &context,
        [&](const std::optional<QJsonObject>& r) { toChromium = r, chromiumDone = true; }, "chromium");
    bridge.request(
        {{"op", "windowInfo"}}, 5000, &context,
        [&](const std::optional<QJsonObject>& r) { toFirefox = r, firefoxDone = true; }, "firefox-esr");
    const auto askedChromium = chromium.next();
    const auto askedFirefox = firefox.next();
    QVERIFY(askedChromium && askedFirefox);
    QCOMPARE(askedChromium->value("op").toString(), QStringLiteral("windowInfo"));
    firefox.send({{"type", "reply"}, {"id", askedFirefox->value("id")}, {"ok", true}, {"url", "http://f/"}});
    chromium.send({{"type", "reply"}, {"id", askedChromium->value("id")}, {"ok", true}, {"url", "http://c/"}});
    QTRY_VERIFY(chromiumDone && firefoxDone);
    QCOMPARE(toChromium->value("url").toString(), QStringLiteral("http://c/"));
    QCOMPARE(toFirefox->value("url").toString(), QStringLiteral("http://f/"));

    // A browser that answers another's request is dropped; the other stays.
    bool done = false;
    bridge.request(
        {{"op", "windowInfo"}}, 5000, &context, [&](const std::optional<QJsonObject>&) { done = true; }, "firefox-esr");
    const auto asked = firefox.next();
    chromium.send({{"type", "reply"}, {"id", asked->value("id")}, {"ok", true}});
    QTRY_VERIFY(chromium.dropped());
    QTRY_COMPARE(bridge.browsers(), QStringList{"firefox-esr"});
    QVERIFY(!done);
    firefox.send({{"type", "reply"}, {"id", asked->value("id")}, {"ok", false}});
    QTRY_VERIFY(done);
}

void TestBrowserBridge::unansweredAndVanishedRequests()
{
    BrowserBridge bridge;
    QVERIFY(bridge.listen(socketPath(QStringLiteral("d"))));
    QObject context;
    // Nobody connected: no answer, later.
    bool none = false;
    bridge.request({{"op", "windowInfo"}}, 100, &context,
                   [&](const std::optional<QJsonObject>& r) { none = !r.has_value(); });
    QVERIFY(!none);
    QTRY_VERIFY(none);

    FakeHost host;
    QVERIFY(host.connectTo(bridge.path()));
    host.hello("chromium");
    QVERIFY(host.next());
    QTRY_VERIFY(bridge.connected());
    int answers = 0;
    bool timedOut = false;
    bridge.request({{"op", "windowInfo"}}, 200, &context, [&](const std::optional<QJsonObject>& r) {
        ++answers;
        timedOut = !r;
    });
    QTRY_VERIFY(timedOut);
    // A late answer to a request that timed out answers nothing asked.
    host.send({{"type", "reply"}, {"id", host.next()->value("id")}, {"ok", true}});
    QTRY_VERIFY(host.dropped());
    QCOMPARE(answers, 1);

    // The browser goes away while asked: no answer, at once.
    FakeHost again;
    QVERIFY(again.connectTo(bridge.path()));
    again.hello("chromium");
    QVERIFY(again.next());
    QTRY_VERIFY(bridge.connected());
    bool gone = false;
    bridge.request({{"op", "windowInfo"}}, 10000, &context,
                   [&](const std::optional<QJsonObject>& r) { gone = !r.has_value(); });
    QVERIFY(again.next());
    again.socket.abort();
    QTRY_VERIFY_WITH_TIMEOUT(gone, 2000);
    QTRY_VERIFY(!bridge.connected());
}

void TestBrowserBridge::hostManifests()
{
    QTemporaryDir home;
    const MessagingHosts::Result r =
        MessagingHosts::install(QStringLiteral("/opt/x/lynkor-browser-host"), home.path(), {});
    QCOMPARE(r.written.size(), 6);
    QVERIFY(r.failed.isEmpty());
    for (const MessagingHosts::Browser& b : MessagingHosts::knownBrowsers(home.path(), {})) {
        QFile f(b.folder + QStringLiteral("/io.github.lynkor.browser.json"));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QJsonObject m = QJsonDocument::fromJson(f.readAll()).object();
        QCOMPARE(m.value("name").toString(), QStringLiteral("io.github.lynkor.browser"));
        QCOMPARE(m.value("path").toString(), QStringLiteral("/opt/x/lynkor-browser-host"));
        QCOMPARE(m.value("type").toString(), QStringLiteral("stdio"));
        // Only Lynkor's extension may start the host.
        const QJsonArray allowed = m.value(b.firefox ? "allowed_extensions" : "allowed_origins").toArray();
        QCOMPARE(allowed.size(), 1);
        QCOMPARE(
            allowed[0].toString(),
            b.firefox
                ? QStringLiteral("browser-link@lynkor.example")
                : QStringLiteral("chrome-extension://%1/").arg(QLatin1String(BridgeProtocol::kChromiumExtensionId)));
    }
    QVERIFY(QFile::exists(home.filePath(".config/chromium/NativeMessagingHosts/io.github.lynkor.browser.json")));
    QVERIFY(QFile::exists(home.filePath(".mozilla/native-messaging-hosts/io.github.lynkor.browser.json")));
}

void TestBrowserBridge::realHostCarriesRequestsAndChecksThem()
{
    // The test plays the browser on the host's standard input and output,
    // and Lynkor on the socket.
    BrowserBridge bridge;
    QVERIFY(bridge.listen(socketPath(QStringLiteral("e"))));
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LYNKOR_BROWSER_SOCKET"), bridge.path());
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(LYNKOR_BROWSER_HOST),
               {QStringLiteral("chrome-extension://%1/").arg(QLatin1String(BridgeProtocol::kChromiumExtensionId))});
    QVERIFY(host.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(bridge.connected(), 5000);
    QCOMPARE(bridge.browsers().size(), 1);

    QByteArray fromHost;
    auto nextToBrowser = [&]() -> std::optional<QJsonObject> {
        for (int i = 0; i < 250; ++i) {
            fromHost += host.readAllStandardOutput();
            if (auto m = BridgeProtocol::take(fromHost, Order::Native).message)
                return m;
            QTest::qWait(20);
        }
        return std::nullopt;
    };
    QObject context;
    std::optional<QJsonObject> answer;
    bool answered = false;
    bridge.request({{"op", "open"}, {"url", "https://a.example/"}, {"where", "newTab"}, {"cmd", "rm -rf ~"}}, 5000,
                   &context, [&](const std::optional<QJsonObject>& r) { answer = r, answered = true; });
    const auto asked = nextToBrowser();
    QVERIFY(asked);
    // Only the request's own fields reach the browser.
    QCOMPARE(asked->keys(), (QStringList{"id", "op", "url", "where"}));
    QCOMPARE(asked->value("where").toString(), QStringLiteral("newTab"));
    QJsonObject reply{{"id", asked->value("id")}, {"ok", true}, {"extra", "dropped"}};
    host.write(BridgeProtocol::frame(reply, Order::Native));
    QTRY_VERIFY(answered);
    QVERIFY(answer);
    QVERIFY(answer->value("ok").toBool());
    QVERIFY(!answer->contains("extra"));

    // A malformed reply from the browser is ignored; the host stays.
    host.write(BridgeProtocol::frame({{"id", "x"}}, Order::Native));
    answered = false;
    bridge.request({{"op", "windowInfo"}}, 5000, &context,
                   [&](const std::optional<QJsonObject>& r) { answer = r, answered = true; });
    const auto second = nextToBrowser();
    QVERIFY(second);
    host.write(BridgeProtocol::frame({{"id", second->value("id")}, {"ok", true}, {"url", "http://b/"}, {"title", "B"}},
                                     Order::Native));
    QTRY_VERIFY(answered);
    QCOMPARE(answer->value("title").toString(), QStringLiteral("B"));

    // An oversized message from the browser ends the host.
    QByteArray huge(4, '\0');
    const quint32 size = BridgeProtocol::kMaxMessage + 1;
    std::memcpy(huge.data(), &size, 4);
    host.write(huge);
    QVERIFY(host.waitForFinished(5000));
    QCOMPARE(host.exitCode(), 1);
    QTRY_VERIFY(!bridge.connected());
}

void TestBrowserBridge::realHostServesOnlyOurExtension()
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"chrome-extension://aaaaaaaaaaaaaaaa/"},
                                         QStringList{"/tmp/manifest.json", "evil@example.com"}}) {
        QProcess host;
        host.start(QStringLiteral(LYNKOR_BROWSER_HOST), arguments);
        QVERIFY(host.waitForFinished(5000));
        QCOMPARE(host.exitCode(), 1);
        QVERIFY(host.readAllStandardError().contains("Lynkor's extension only"));
    }
    // Firefox names the manifest, then the extension's ID: that one is ours.
    QProcess firefox;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LYNKOR_BROWSER_SOCKET"), socketPath(QStringLiteral("nobody")));
    firefox.setProcessEnvironment(env);
    firefox.start(QStringLiteral(LYNKOR_BROWSER_HOST),
                  {QStringLiteral("/x/io.github.lynkor.browser.json"), QStringLiteral("browser-link@lynkor.example")});
    QVERIFY(firefox.waitForStarted());
    // With no Lynkor to talk to it waits; the browser closing its pipe ends it.
    QVERIFY(!firefox.waitForFinished(500));
    firefox.closeWriteChannel();
    QVERIFY(firefox.waitForFinished(5000));
    QCOMPARE(firefox.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestBrowserBridge)
#include "tst_browserbridge.moc"
