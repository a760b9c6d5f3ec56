#include "BridgeProtocol.h"
#include "BrowserBridge.h"
#include "ExtensionConversation.h"
#include "MessagingHosts.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Another local user for the tests that play one: this test runs as root
// (as the test command does) and turns helpers into nobody with setpriv.
bool canPlayAnotherUser()
{
    return ::getuid() == 0 && ::getpwnam("nobody") && !QStandardPaths::findExecutable("setpriv").isEmpty();
}

void startAsNobody(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral("setpriv"), QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                         "/usr/bin/python3", QStringLiteral(LYNKOR_OTHER_USER)} +
                                                 arguments);
}

// Waits until the process has printed a line starting with start; what it
// printed is kept in printed.
bool printed(QProcess& process, QByteArray& out, const QByteArray& start)
{
    for (int i = 0; i < 500; ++i) {
        out += process.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n'))
            if (line.startsWith(start))
                return true;
        if (process.state() == QProcess::NotRunning)
            return false;
        QTest::qWait(20);
    }
    return false;
}

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
    void hostTalksOnlyToThisUsersLynkor_data();
    void hostTalksOnlyToThisUsersLynkor();
    void hostOfAnotherUserIsDropped();
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
    QTest::addColumn<bool>("fatal");   // nothing after it can be read
    const QByteArray json = R"({"a":1})";
    const QByteArray next = bigLength(json.size()) + json;
    QTest::newRow("whole") << next << true << false << false;
    QTest::newRow("length only") << bigLength(json.size()) << false << false << false;
    QTest::newRow("half the length") << QByteArray(2, '\0') << false << false << false;
    QTest::newRow("cut short") << bigLength(json.size()) + json.left(3) << false << false << false;
    QTest::newRow("too large") << bigLength(BridgeProtocol::kMaxMessage + 1) << false << true << true;
    QTest::newRow("4 GB") << QByteArray(4, '\xFF') << false << true << true;
    QTest::newRow("not JSON") << bigLength(5) + "hello" + next << false << true << false;
    QTest::newRow("an array") << bigLength(3) + "[1]" + next << false << true << false;
    QTest::newRow("a string") << bigLength(3) + "\"x\"" + next << false << true << false;
}

void TestBrowserBridge::frames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QFETCH(bool, refused);
    QFETCH(bool, fatal);
    QByteArray buffer = bytes;
    const BridgeProtocol::Taken t = BridgeProtocol::take(buffer);
    QCOMPARE(t.message.has_value(), whole);
    QCOMPARE(!t.error.isEmpty(), refused);
    QCOMPARE(t.fatal, fatal);
    if (!whole && (!refused || fatal))
        QCOMPARE(buffer, bytes); // nothing taken
    // A frame that holds no object is taken out: the one after it is read.
    if (refused && !fatal)
        QCOMPARE(BridgeProtocol::take(buffer).message->value("a").toInt(), 1);
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
    // A late answer to a request that timed out, and the same answer again,
    // are ignored: the browser stays connected and answers the next one.
    const QJsonValue lateId = host.next()->value("id");
    host.send({{"type", "reply"}, {"id", lateId}, {"ok", true}});
    host.send({{"type", "reply"}, {"id", lateId}, {"ok", true}});
    bool nextAnswered = false;
    bridge.request({{"op", "windowInfo"}}, 5000, &context,
                   [&](const std::optional<QJsonObject>& r) { nextAnswered = r && r->value("ok").toBool(); });
    const auto nextAsked = host.next();
    QVERIFY(nextAsked);
    host.send({{"type", "reply"}, {"id", nextAsked->value("id")}, {"ok", true}});
    host.send({{"type", "reply"}, {"id", nextAsked->value("id")}, {"ok", true}}); // replayed
    QTRY_VERIFY(nextAnswered);
    QCOMPARE(answers, 1);
    QVERIFY(bridge.connected());
    // An answer to a request never asked is no browser's: the host goes.
    host.send({{"type", "reply"}, {"id", 9999}, {"ok", true}});
    QTRY_VERIFY(host.dropped());

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

    // A malformed reply from the browser, and a frame that is no JSON at
    // all, are ignored; the host stays.
    host.write(BridgeProtocol::frame({{"id", "x"}}, Order::Native));
    const QByteArray garbage = "{\"id\": 1, ok";
    const auto garbageSize = static_cast<quint32>(garbage.size());
    QByteArray garbageFrame(4, '\0');
    std::memcpy(garbageFrame.data(), &garbageSize, 4);
    host.write(garbageFrame + garbage);
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

void TestBrowserBridge::hostTalksOnlyToThisUsersLynkor_data()
{
    QTest::addColumn<QString>("mode");    // of the planted folder
    QTest::addColumn<bool>("link");       // the folder is a symbolic link to it
    QTest::addColumn<bool>("handedOver"); // then given to this user, socket and all
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder open to all") << "777" << false << false << "it belongs to nobody";
    QTest::newRow("private folder of nobody") << "700" << false << false << "it belongs to nobody";
    QTest::newRow("symbolic link") << "700" << true << false << "it is a symbolic link";
    QTest::newRow("socket served by nobody") << "700" << false << true << "runs as nobody";
}

void TestBrowserBridge::hostTalksOnlyToThisUsersLynkor()
{
    // Without XDG_RUNTIME_DIR the socket's folder is in the shared temporary
    // folder, where another user may have made it first and listen there.
    QFETCH(QString, mode);
    QFETCH(bool, link);
    QFETCH(bool, handedOver);
    QFETCH(QString, reason);
    if (!canPlayAnotherUser())
        QSKIP("needs root and setpriv to play a second user (the test command runs as root)");
    QTemporaryDir temp;
    QCOMPARE(::chmod(QFile::encodeName(temp.path()).constData(), 01777), 0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.remove(QStringLiteral("LYNKOR_BROWSER_SOCKET"));
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    const QString folder = temp.filePath(QStringLiteral("lynkor-%1").arg(::getuid()));
    const QString path = folder + QStringLiteral("/browser-link");
    {
        // This process's own idea of the socket is the same place.
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        const QString computed = BridgeProtocol::socketPath();
        qputenv("XDG_RUNTIME_DIR", saved);
        savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
        QCOMPARE(computed, path);
    }

    QProcess planted;
    QStringList plant{QStringLiteral("listen"), path, mode};
    if (link)
        plant << QStringLiteral("link");
    startAsNobody(planted, plant);
    auto stopPlanted = qScopeGuard([&] {
        planted.kill();
        planted.waitForFinished();
    });
    QByteArray plantedSaid;
    QVERIFY2(printed(planted, plantedSaid, "listening"), planted.readAllStandardError().constData());
    if (handedOver) {
        // The folder and the socket file are this user's now, but the one
        // listening is still nobody: only the kernel can tell.
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), ::getuid(), ::getgid()), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
        QCOMPARE(::chown(QFile::encodeName(path).constData(), ::getuid(), ::getgid()), 0);
    }

    QProcess host;
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(LYNKOR_BROWSER_HOST),
               {QStringLiteral("chrome-extension://%1/").arg(QLatin1String(BridgeProtocol::kChromiumExtensionId))});
    QVERIFY(host.waitForStarted());
    auto stopHost = qScopeGuard([&] {
        host.kill();
        host.waitForFinished();
    });
    QByteArray hostSaid;
    QTRY_VERIFY_WITH_TIMEOUT((hostSaid += host.readAllStandardError()).contains("not talking to"), 15000);
    QVERIFY2(hostSaid.contains(reason.toUtf8()), hostSaid.constData());
    if (handedOver) {
        // It connected, heard nothing from the host, and its request never
        // reached the browser.
        QVERIFY(printed(planted, plantedSaid, "got "));
        QVERIFY2(plantedSaid.contains("got 0\n"), plantedSaid.constData());
    } else {
        plantedSaid += planted.readAllStandardOutput();
        QVERIFY2(!plantedSaid.contains("accepted"), plantedSaid.constData());
    }
    QCOMPARE(host.readAllStandardOutput(), QByteArray());
    QCOMPARE(host.state(), QProcess::Running); // it waits for this user's Lynkor

    // Lynkor itself does not listen there either, and says why.
    BrowserBridge bridge;
    QVERIFY(!bridge.listen(path));
    QVERIFY2(bridge.error().contains(reason), qPrintable(bridge.error()));
}

void TestBrowserBridge::hostOfAnotherUserIsDropped()
{
    if (!canPlayAnotherUser())
        QSKIP("needs root and setpriv to play a second user (the test command runs as root)");
    QTemporaryDir temp;
    QCOMPARE(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    BrowserBridge bridge;
    QVERIFY2(bridge.listen(temp.filePath(QStringLiteral("link/socket"))), qPrintable(bridge.error()));
    QSignalSpy changed(&bridge, &BrowserBridge::browsersChanged);
    // Opened up by hand, so that another user can reach the socket at all.
    QCOMPARE(::chmod(QFile::encodeName(temp.filePath("link")).constData(), 0711), 0);
    QCOMPARE(::chmod(QFile::encodeName(bridge.path()).constData(), 0777), 0);
    QProcess other;
    startAsNobody(other, {QStringLiteral("connect"), bridge.path()});
    QByteArray said;
    QVERIFY2(printed(other, said, "got "), other.readAllStandardError().constData());
    QVERIFY2(said.contains("got 0\n"), said.constData()); // no welcome, no request
    QVERIFY(!bridge.connected());
    QCOMPARE(changed.size(), 0);
}

QTEST_GUILESS_MAIN(TestBrowserBridge)
#include "tst_browserbridge.moc"
