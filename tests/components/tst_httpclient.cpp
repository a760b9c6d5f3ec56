#include "HttpClient.h"
#include "LocalHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <thread>

namespace {

// Everything a client reports, in order: kinds holds one letter per event
// (H header line, B documentBegin, D data, E documentEnd, R requestDone).
class Recorder : public QObject
{
public:
    explicit Recorder(HttpClient& client)
    {
        connect(&client, &HttpClient::headerLine, this, [this](const QByteArray& l) { add('H', l); });
        connect(&client, &HttpClient::documentBegin, this,
                [this](int status) { add('B', QByteArray::number(status)); });
        connect(&client, &HttpClient::documentData, this, [this](const QByteArray& d) { add('D', d); });
        connect(&client, &HttpClient::documentEnd, this, [this] { add('E'); });
        connect(&client, &HttpClient::requestDone, this, [this](const HttpClient::Result& r) {
            add('R');
            results.append(r);
        });
    }

    bool waitDone(qsizetype count = 1, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return results.size() >= count; }, ms);
    }
    QList<QByteArray> all(char kind, qsizetype from = 0) const
    {
        QList<QByteArray> out;
        for (qsizetype i = from; i < kinds.size(); ++i)
            if (kinds[i] == kind)
                out.append(texts[i]);
        return out;
    }
    QByteArray body(qsizetype from = 0) const { return all('D', from).join(); }
    // Header lines cut into hops at the empty line that ends each.
    QList<QList<QByteArray>> hops() const
    {
        QList<QList<QByteArray>> out{{}};
        for (const QByteArray& line : all('H')) {
            if (line.isEmpty())
                out.append(QList<QByteArray>());
            else
                out.back().append(line);
        }
        out.removeLast();
        return out;
    }
    bool matches(const QString& pattern, qsizetype from = 0) const
    {
        return QRegularExpression(pattern).match(QString::fromLatin1(kinds.mid(from))).hasMatch();
    }

    QByteArray kinds;
    QList<QByteArray> texts;
    QList<HttpClient::Result> results;

private:
    void add(char kind, const QByteArray& text = {})
    {
        kinds += kind;
        texts.append(text);
    }
};

void answer(httplib::Response& res, int status, const QByteArray& body, const char* type = "text/plain")
{
    res.status = status;
    res.set_header("X-Lynkor", "yes");
    res.set_content(body.toStdString(), type);
}

QByteArray bigBody()
{
    QByteArray body;
    for (int i = 0; body.size() < 300000; ++i)
        body += QByteArray::number(i) + ' ';
    return body;
}

// A port where nothing listens.
int closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

QByteArray refusedUrl()
{
    return "http://127.0.0.1:" + QByteArray::number(closedPort()) + "/";
}

QByteArray silentUrl(const QTcpServer& server)
{
    return "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/";
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// Runs one job to its end.
HttpClient::Result job(HttpClient& client, const QByteArray& url, const HttpClient::Options& options = {})
{
    QObject context;
    std::optional<HttpClient::Result> result;
    client.request(url, options, &context, [&](const HttpClient::Result& r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 30000))
        return {};
    return *result;
}

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void answers_data();
    void answers();
    void redirects_data();
    void redirects();
    void failures_data();
    void failures();
    void requestHeaders_data();
    void requestHeaders();
    void compressedAnswerIsDecoded();

    void abortDropsEverythingAfterIt_data();
    void abortDropsEverythingAfterIt();
    void getWhileBusyAbortsTheFirst();
    void nextRequestFromRequestDone();
    void destructionWithRequestInFlight_data();
    void destructionWithRequestInFlight();

    void jobs_data();
    void jobs();
    void manyJobsBesideAStreamedRequest();
    void cancelledOrOrphanedJobsNeverCallBack();
    void destructionWithJobsInFlight();

private:
    LocalHttpServer m_server;
    QTcpServer m_silent; // accepts connections and never answers
    QTemporaryDir m_dir;
    QString m_secretFile;

    struct SeenHeaders
    {
        std::mutex mutex;
        httplib::Headers headers;
    };
    std::shared_ptr<SeenHeaders> m_seen = std::make_shared<SeenHeaders>();
};

void TestHttpClient::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_secretFile = m_dir.filePath(QStringLiteral("secret.txt"));
    writeFile(m_secretFile, "SECRET-FILE-CONTENT");

    m_server.handle("/ok",
                    [](const httplib::Request&, httplib::Response& res) { answer(res, 200, "<html>hello</html>"); });
    m_server.handle("/missing", [](const httplib::Request&, httplib::Response& res) { answer(res, 404, "not here"); });
    m_server.handle("/broken", [](const httplib::Request&, httplib::Response& res) { answer(res, 500, "broken"); });
    m_server.handle("/empty", [](const httplib::Request&, httplib::Response& res) { answer(res, 200, ""); });
    m_server.handle("/nocontent", [](const httplib::Request&, httplib::Response& res) {
        res.status = 204;
        res.set_header("X-Lynkor", "yes");
    });
    const QByteArray big = bigBody();
    // Not a text type: the server would first compress all of it (brotli takes
    // it a second or more), and nothing would come meanwhile.
    m_server.handle("/big", [big](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, big, "application/octet-stream");
    });
    m_server.handle("/r1", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/r2", 302);
        res.set_content("moved", "text/plain");
    });
    m_server.handle("/r2", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/ok", 301);
        res.set_content("moved again", "text/plain");
    });
    const std::string fileUrl = "file://" + m_secretFile.toStdString();
    m_server.handle("/tofile",
                    [fileUrl](const httplib::Request&, httplib::Response& res) { res.set_redirect(fileUrl, 302); });
    m_server.handle("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 302); });
    auto seen = m_seen;
    m_server.handle("/headers", [seen](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(seen->mutex);
        seen->headers = req.headers;
        res.set_content("seen", "text/plain");
    });
    m_server.handle("/deflate", [](const httplib::Request&, httplib::Response& res) {
        // qCompress gives a zlib stream behind a 4-byte length.
        const QByteArray packed = qCompress(QByteArray("packed text ").repeated(100)).mid(4);
        res.set_header("Content-Encoding", "deflate");
        res.set_content(packed.toStdString(), "text/plain");
    });
    m_server.addSlow("/slow", QByteArray(200000, 'h'), "p", 40, 100);
    m_server.addSlow("/slowshort", "a", "b", 6, 100);
    m_server.addSlow("/slowother", "OLD", "o", 40, 100);
    m_server.addSlow("/slowicon", "NEW", "n", 40, 100);
    // A minute of body after its first 200 kB, unless the client goes first.
    m_server.addSlow("/endless", QByteArray(200000, 'h'), "p", 600, 100);
    m_server.start();
    QVERIFY(m_silent.listen(QHostAddress::LocalHost));
}

void TestHttpClient::answers_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("order");

    QTest::newRow("200 with a body") << QByteArray("/ok") << 200 << QByteArray("<html>hello</html>") << "^H+BD+ER$";
    QTest::newRow("404 is a complete answer") << QByteArray("/missing") << 404 << QByteArray("not here") << "^H+BD+ER$";
    QTest::newRow("500 is a complete answer") << QByteArray("/broken") << 500 << QByteArray("broken") << "^H+BD+ER$";
    QTest::newRow("empty body still begins") << QByteArray("/empty") << 200 << QByteArray() << "^H+BER$";
    QTest::newRow("204 no content") << QByteArray("/nocontent") << 204 << QByteArray() << "^H+BER$";
    QTest::newRow("large body whole and in order") << QByteArray("/big") << 200 << bigBody() << "^H+BD+ER$";
}

void TestHttpClient::answers()
{
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, order);

    HttpClient client;
    Recorder rec(client);
    QVERIFY(!client.busy());
    client.get(m_server.url(path));
    QVERIFY(client.busy());
    QVERIFY(rec.kinds.isEmpty()); // nothing arrives inside get()
    QVERIFY(rec.waitDone());
    QVERIFY(!client.busy());

    QVERIFY2(rec.matches(order), rec.kinds.left(80).constData());
    const HttpClient::Result r = rec.results.front();
    QVERIFY(r.ok);
    QVERIFY(!r.aborted);
    QCOMPARE(r.statusCode, status);
    QVERIFY(r.error.isEmpty());
    QCOMPARE(rec.all('B'), QList<QByteArray>{QByteArray::number(status)});
    QCOMPARE(rec.body(), body);

    const QList<QList<QByteArray>> hops = rec.hops();
    QCOMPARE(hops.size(), 1);
    QVERIFY2(hops[0].front().startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), hops[0].front().constData());
    QVERIFY(hops[0].contains("X-Lynkor: yes"));
    QVERIFY(rec.all('H').back().isEmpty());
    for (const QByteArray& line : rec.all('H'))
        QVERIFY2(!line.contains('\r') && !line.contains('\n'), line.constData());
}

void TestHttpClient::redirects_data()
{
    QTest::addColumn<bool>("follow");
    QTest::addColumn<QList<int>>("hopStatus");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("finalPath");

    QTest::newRow("followed") << true << QList<int>{302, 301, 200} << QByteArray("<html>hello</html>")
                              << QByteArray("/ok");
    QTest::newRow("not followed") << false << QList<int>{302} << QByteArray("moved") << QByteArray("/r1");
}

void TestHttpClient::redirects()
{
    QFETCH(bool, follow);
    QFETCH(QList<int>, hopStatus);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, finalPath);

    HttpClient client;
    Recorder rec(client);
    HttpClient::Options options;
    options.followRedirects = follow;
    client.get(m_server.url("/r1"), options);
    QVERIFY(rec.waitDone());

    QVERIFY2(rec.matches("^H+BD+ER$"), rec.kinds.constData());
    const QList<QList<QByteArray>> hops = rec.hops();
    QCOMPARE(hops.size(), hopStatus.size());
    for (qsizetype i = 0; i < hops.size(); ++i) {
        QVERIFY2(hops[i].front().startsWith("HTTP/1.1 " + QByteArray::number(hopStatus[i]) + ' '),
                 hops[i].front().constData());
        const bool redirect = hopStatus[i] / 100 == 3;
        QCOMPARE(hops[i].contains(redirect && i == 0 ? "Location: /r2" : "Location: /ok"), redirect);
    }
    // The body of a hop that was followed is nobody's document.
    QCOMPARE(rec.body(), body);
    QCOMPARE(rec.all('B'), QList<QByteArray>{QByteArray::number(hopStatus.back())});
    QVERIFY(rec.results.front().ok);
    QCOMPARE(rec.results.front().statusCode, hopStatus.back());
    // Where the document came from, for what is relative to it.
    QCOMPARE(rec.results.front().finalUrl, m_server.url(finalPath));
}

void TestHttpClient::failures_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<int>("timeoutMs");

    QTest::newRow("connection refused") << refusedUrl() << 0;
    QTest::newRow("silent server times out") << silentUrl(m_silent) << 300;
    QTest::newRow("file address") << QByteArray("file://" + m_secretFile.toUtf8()) << 0;
    QTest::newRow("redirect to a file address") << m_server.url("/tofile") << 0;
    QTest::newRow("endless redirects") << m_server.url("/loop") << 0;
    // Read up to the NUL, the address would be a different one that answers.
    QTest::newRow("address with a NUL") << QByteArray(m_server.url("/ok") + '\0' + "x") << 0;
}

void TestHttpClient::failures()
{
    QFETCH(QByteArray, url);
    QFETCH(int, timeoutMs);

    HttpClient client;
    Recorder rec(client);
    HttpClient::Options options;
    options.timeoutMs = timeoutMs;
    client.get(url, options);
    QVERIFY(rec.waitDone());

    QVERIFY2(rec.matches("^[HR]*R$"), rec.kinds.constData());
    const HttpClient::Result r = rec.results.front();
    QVERIFY(!r.ok);
    QVERIFY(!r.aborted);
    QVERIFY(!r.error.isEmpty());
    QVERIFY(!client.busy());
    QVERIFY(!rec.body().contains("SECRET"));
}

void TestHttpClient::requestHeaders_data()
{
    QTest::addColumn<QByteArray>("userAgent");
    QTest::addColumn<QByteArray>("accept");
    QTest::addColumn<QByteArray>("cookie");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("user agent") << QByteArray("Lynkor/1.0") << QByteArray() << QByteArray() << QByteArray("User-Agent")
                                << QByteArray("Lynkor/1.0");
    QTest::newRow("accept") << QByteArray() << QByteArray("text/html, */*") << QByteArray() << QByteArray("Accept")
                            << QByteArray("text/html, */*");
    QTest::newRow("cookie") << QByteArray() << QByteArray() << QByteArray("a=1; b=2") << QByteArray("Cookie")
                            << QByteArray("a=1; b=2");
    QTest::newRow("line break cut from the user agent")
        << QByteArray("Lynkor\r\nX-Injected: 1") << QByteArray() << QByteArray() << QByteArray("User-Agent")
        << QByteArray("Lynkor");
    QTest::newRow("line break cut from the accept") << QByteArray() << QByteArray("text/html\nX-Injected: 1")
                                                    << QByteArray() << QByteArray("Accept") << QByteArray("text/html");
    QTest::newRow("line break cut from the cookie")
        << QByteArray() << QByteArray() << QByteArray("a=1\r\nX-Injected: 1") << QByteArray("Cookie")
        << QByteArray("a=1");
}

void TestHttpClient::requestHeaders()
{
    QFETCH(QByteArray, userAgent);
    QFETCH(QByteArray, accept);
    QFETCH(QByteArray, cookie);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, value);

    HttpClient client;
    HttpClient::Options options;
    options.userAgent = userAgent;
    options.accept = accept;
    options.cookie = cookie;
    const HttpClient::Result r = job(client, m_server.url("/headers"), options);
    QVERIFY(r.ok);

    std::lock_guard lock(m_seen->mutex);
    const auto& seen = m_seen->headers;
    QCOMPARE(seen.count(name.toStdString()), size_t(1));
    QCOMPARE(QByteArray::fromStdString(seen.find(name.toStdString())->second), value);
    QCOMPARE(seen.count("X-Injected"), size_t(0));
}

void TestHttpClient::compressedAnswerIsDecoded()
{
    HttpClient client;
    const HttpClient::Result r = job(client, m_server.url("/deflate"));
    QVERIFY(r.ok);
    QCOMPARE(r.body, QByteArray("packed text ").repeated(100));
}

void TestHttpClient::abortDropsEverythingAfterIt_data()
{
    QTest::addColumn<bool>("fromDataHandler");

    // The slow server's first 200 kB arrive in several pieces at once, so
    // more data is already queued when the first piece is handled.
    QTest::newRow("from a documentData handler") << true;
    QTest::newRow("from a timer") << false;
}

void TestHttpClient::abortDropsEverythingAfterIt()
{
    QFETCH(bool, fromDataHandler);

    HttpClient client;
    Recorder rec(client);
    qsizetype seenAtAbort = -1;
    bool doneInsideAbort = false;
    auto stop = [&] {
        if (seenAtAbort >= 0)
            return;
        const qsizetype before = rec.results.size();
        client.abort();
        doneInsideAbort = rec.results.size() != before;
        seenAtAbort = rec.kinds.size();
    };
    connect(&client, &HttpClient::documentData, &rec, [&] {
        if (fromDataHandler)
            stop();
        else
            QTimer::singleShot(50, &rec, stop);
    });
    client.get(m_server.url("/slow"));
    QVERIFY(rec.waitDone());
    QVERIFY(seenAtAbort > 0);
    QVERIFY(!doneInsideAbort);
    QVERIFY(client.busy() == false);
    QTest::qWait(300); // anything still queued or still arriving would show now

    QCOMPARE(rec.kinds.mid(seenAtAbort), QByteArray("R"));
    QVERIFY2(rec.matches("^H+BD+R$"), rec.kinds.constData());
    const HttpClient::Result r = rec.results.front();
    QVERIFY(r.aborted);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
}

void TestHttpClient::getWhileBusyAbortsTheFirst()
{
    HttpClient client;
    Recorder rec(client);
    qsizetype secondStart = -1;
    QList<bool> busyAtDone;
    connect(&client, &HttpClient::documentData, &rec, [&] {
        if (secondStart < 0) {
            client.get(m_server.url("/ok"));
            secondStart = rec.kinds.size();
        }
    });
    connect(&client, &HttpClient::requestDone, &rec, [&] { busyAtDone.append(client.busy()); });
    client.get(m_server.url("/slowother"));
    QVERIFY(rec.waitDone(2));
    QVERIFY(!client.busy());

    // The first request's end comes before anything of the second.
    QVERIFY2(rec.matches("^RH+BD+ER$", secondStart), rec.kinds.constData());
    QVERIFY(rec.results[0].aborted);
    QVERIFY(!rec.results[0].ok);
    QVERIFY(rec.results[1].ok);
    QCOMPARE(rec.results[1].statusCode, 200);
    QCOMPARE(rec.body(secondStart), QByteArray("<html>hello</html>"));
    QCOMPARE(busyAtDone, (QList<bool>{true, false}));
}

void TestHttpClient::nextRequestFromRequestDone()
{
    const QList<QByteArray> paths{"/ok", "/missing", "/broken"};
    HttpClient client;
    Recorder rec(client);
    QList<qsizetype> starts{0};
    connect(&client, &HttpClient::requestDone, &rec, [&] {
        if (starts.size() < paths.size()) {
            starts.append(rec.kinds.size());
            client.get(m_server.url(paths[starts.size() - 1]));
        }
    });
    client.get(m_server.url(paths[0]));
    QVERIFY(rec.waitDone(3));
    QVERIFY(!client.busy());
    QCOMPARE(rec.results.size(), 3);
    const QList<int> status{200, 404, 500};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rec.results[i].ok);
        QCOMPARE(rec.results[i].statusCode, status[i]);
    }
    QCOMPARE(rec.body(starts[2]), QByteArray("broken"));
}

void TestHttpClient::destructionWithRequestInFlight_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("waitForData");

    QTest::newRow("right after get") << m_server.url("/endless") << false;
    QTest::newRow("during a slow body") << m_server.url("/endless") << true;
    QTest::newRow("waiting for a silent server") << silentUrl(m_silent) << false;
}

void TestHttpClient::destructionWithRequestInFlight()
{
    QFETCH(QByteArray, url);
    QFETCH(bool, waitForData);

    auto* client = new HttpClient;
    Recorder rec(*client);
    client->get(url);
    if (waitForData)
        QVERIFY(QTest::qWaitFor([&] { return rec.kinds.contains('D'); }, 3000));
    else
        QTest::qWait(100);
    // Waiting for the silent server or the slow body would take a minute and more.
    QElapsedTimer clock;
    clock.start();
    delete client;
    QVERIFY2(clock.elapsed() < 30000, QByteArray::number(clock.elapsed()).constData());
    const QByteArray before = rec.kinds;
    QTest::qWait(200);
    QCOMPARE(rec.kinds, before);
}

void TestHttpClient::jobs_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<qint64>("maxBodyBytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("truncated");

    QTest::newRow("whole body") << m_server.url("/ok") << qint64(0) << true << 200 << QByteArray("<html>hello</html>")
                                << false;
    QTest::newRow("404 is an answer") << m_server.url("/missing") << qint64(0) << true << 404 << QByteArray("not here")
                                      << false;
    QTest::newRow("refused") << refusedUrl() << qint64(0) << false << 0 << QByteArray() << false;
    QTest::newRow("body cut at the limit")
        << m_server.url("/big") << qint64(1000) << true << 200 << bigBody().left(1000) << true;
    QTest::newRow("limit above the body")
        << m_server.url("/ok") << qint64(1000) << true << 200 << QByteArray("<html>hello</html>") << false;
    // A body of a minute is cut as soon as the limit is reached: waiting for
    // its end, the job would not answer in time.
    QTest::newRow("slow body cut early") << m_server.url("/endless") << qint64(5000) << true << 200
                                         << QByteArray(5000, 'h') << true;
}

void TestHttpClient::jobs()
{
    QFETCH(QByteArray, url);
    QFETCH(qint64, maxBodyBytes);
    QFETCH(bool, ok);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, truncated);

    HttpClient client;
    HttpClient::Options options;
    options.maxBodyBytes = maxBodyBytes;
    const HttpClient::Result r = job(client, url, options);
    QCOMPARE(r.ok, ok);
    QCOMPARE(r.statusCode, status);
    QCOMPARE(r.body, body);
    QCOMPARE(r.truncated, truncated);
    QCOMPARE(r.error.isEmpty(), ok);
    QCOMPARE(client.jobsInFlight(), 0);
}

void TestHttpClient::manyJobsBesideAStreamedRequest()
{
    HttpClient client;
    Recorder rec(client);
    client.get(m_server.url("/slowshort"));
    QObject context;
    QMap<QByteArray, HttpClient::Result> results;
    const QList<QByteArray> paths{"/ok", "/missing", "/broken", "/big", "/slowother"};
    for (const QByteArray& path : paths)
        client.request(m_server.url(path), {}, &context,
                       [&results, path](const HttpClient::Result& r) { results.insert(path, r); });
    QCOMPARE(client.jobsInFlight(), 5);
    QVERIFY(results.isEmpty()); // nothing arrives inside request()
    QVERIFY(rec.waitDone());
    // The streamed request is reported as alone, while five jobs ran beside it.
    QVERIFY2(rec.matches("^H+BD+ER$"), rec.kinds.constData());
    QCOMPARE(rec.body(), QByteArray("abbbbbb"));
    QTRY_COMPARE_WITH_TIMEOUT(results.size(), 5, 8000);
    QCOMPARE(results["/ok"].body, QByteArray("<html>hello</html>"));
    QCOMPARE(results["/missing"].statusCode, 404);
    QCOMPARE(results["/broken"].statusCode, 500);
    QCOMPARE(results["/big"].body, bigBody());
    QVERIFY(results["/slowother"].body.startsWith("OLDooo"));
    QCOMPARE(client.jobsInFlight(), 0);
}

void TestHttpClient::cancelledOrOrphanedJobsNeverCallBack()
{
    HttpClient client;
    int calls = 0;
    QObject context;
    const quint64 cancelled = client.request(m_server.url("/slow"), {}, &context, [&](auto&) { ++calls; });
    auto* orphan = new QObject;
    client.request(m_server.url("/ok"), {}, orphan, [&](auto&) { ++calls; });
    delete orphan;
    // A job that has already answered is cancelled before its answer is
    // delivered (no event is handled while the worker answers).
    const quint64 answered = client.request(m_server.url("/ok"), {}, &context, [&](auto&) { ++calls; });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    client.cancel(cancelled);
    client.cancel(answered);
    client.cancel(12345); // unknown
    QTest::qWait(500);
    QCOMPARE(calls, 0);
    // The client goes on working.
    QCOMPARE(job(client, m_server.url("/ok")).body, QByteArray("<html>hello</html>"));
}

void TestHttpClient::destructionWithJobsInFlight()
{
    auto* client = new HttpClient;
    QObject context;
    int calls = 0;
    client->request(m_server.url("/endless"), {}, &context, [&](auto&) { ++calls; });
    client->request(silentUrl(m_silent), {}, &context, [&](auto&) { ++calls; });
    QTest::qWait(200);
    // Waiting for the slow body or the silent server would take a minute and more.
    QElapsedTimer clock;
    clock.start();
    delete client;
    QVERIFY2(clock.elapsed() < 30000, QByteArray::number(clock.elapsed()).constData());
    QTest::qWait(200);
    QCOMPARE(calls, 0);
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
