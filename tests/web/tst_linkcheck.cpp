#include "BookmarkDialog.h"
#include "BookmarkText.h"
#include "HttpClient.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "LinkChecker.h"
#include "LocalHttpServer.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <httplib.h>
#include <thread>

namespace {

// Servers that are no HTTP servers: one that never answers, one that
// answers garbage, one that drops the connection at once.
class RawServer : public QTcpServer
{
public:
    enum Kind { Silent, Garbage, Reset };
    explicit RawServer(Kind kind) : m_kind(kind)
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                m_sockets << s;
                if (m_kind == Garbage) {
                    s->write("this is no HTTP at all\r\n\r\n");
                    s->flush();
                    s->disconnectFromHost();
                } else if (m_kind == Reset) {
                    s->abort();
                }
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QByteArray url() const { return "http://127.0.0.1:" + QByteArray::number(serverPort()) + "/"; }

private:
    Kind m_kind;
    QList<QTcpSocket*> m_sockets;
};

} // namespace

class TestLinkCheck : public QObject
{
    Q_OBJECT
    LocalHttpServer server;
    std::atomic<qint64> bigSent{0};
    std::unique_ptr<RawServer> silent, garbage, reset;
    QByteArray closedPort;

    QByteArray page()
    {
        QList<QByteArray> links{
            server.url("/ok"),         server.url("/missing"), server.url("/error"), server.url("/forbidden"),
            server.url("/moved"),      server.url("/found"),   server.url("/loop"),  closedPort,
            "http://nothing.invalid/", silent->url(),          garbage->url(),       reset->url(),
            server.url("/dated"),      server.url("/big")};
        QByteArray body;
        for (int i = 0; i < links.size(); ++i) {
            const QByteArray k = BookmarkFile::SlotKey(i + 1);
            body += k + "N=L" + QByteArray::number(i + 1) + "\r\n" + k + "U=" + links[i] + "\r\n";
        }
        // Never asked for: a program, and a bookmark with its own password.
        body += "20N=Editor\r\n20U=http://program.example/\r\n20L=Yes\r\n";
        return BookmarkText::file({"Links"}, {{"Links", body}});
    }
    // Runs the checker over the page with n requests at a time.
    std::unique_ptr<LaunchFixture> check(int n, HttpClient& http, std::unique_ptr<LinkChecker>& checker)
    {
        auto f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", page());
        f->start();
        checker = std::make_unique<LinkChecker>(*f->board, http);
        checker->setParallel(n);
        checker->setWaitMilliseconds(1500);
        checker->run(0, 0, true, 111, 111);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!checker->busy(), 60000); }();
        return f;
    }
    static QStringList rows(const QList<LinkChecker::Row>& list)
    {
        QStringList out;
        for (const LinkChecker::Row& r : list)
            out << (r.isMarker() ? r.marker : QString::fromLatin1(r.title) + QStringLiteral(": ") + r.response);
        return out;
    }

private slots:
    void initTestCase();
    void everyKindOfAnswer_data();
    void everyKindOfAnswer();
    void lastModifiedFirstAndSecondRun();
    void stopAndRestartLeaveNoStrayRows();
    void bulkMoveTakesEveryRowButMarkers();
    void rowActions();
    void lateAnswerLeavesAChangedBookmarkAlone();
    void manyBadLinksFillSeveralPages();
    void untrustedCertificateIsABadLink();
};

void TestLinkCheck::initTestCase()
{
    server.add("/ok", "fine");
    server.handle("/missing", [](const httplib::Request&, httplib::Response& r) { r.status = 404; });
    server.handle("/error", [](const httplib::Request&, httplib::Response& r) { r.status = 500; });
    server.handle("/forbidden", [](const httplib::Request&, httplib::Response& r) { r.status = 403; });
    server.handle("/moved", [](const httplib::Request&, httplib::Response& r) {
        r.status = 301;
        r.set_header("Location", "/ok");
    });
    server.handle("/found", [](const httplib::Request&, httplib::Response& r) {
        r.status = 302;
        r.set_header("Location", "/ok");
    });
    server.handle("/loop", [](const httplib::Request&, httplib::Response& r) {
        r.status = 302;
        r.set_header("Location", "/loop");
    });
    server.handle("/dated", [](const httplib::Request&, httplib::Response& r) {
        r.set_header("Last-Modified", "Wed, 21 Oct 2015 07:28:00 GMT");
        r.set_content("dated", "text/html");
    });
    server.handle("/slowdated", [](const httplib::Request&, httplib::Response& r) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        r.set_header("Last-Modified", "Wed, 21 Oct 2015 07:28:00 GMT");
        r.set_content("dated", "text/html");
    });
    std::atomic<qint64>* sent = &bigSent;
    server.handle("/big", [sent](const httplib::Request&, httplib::Response& r) {
        const size_t size = size_t(1) << 30;
        r.set_content_provider(size, "application/octet-stream",
                               [sent](size_t offset, size_t length, httplib::DataSink& sink) {
                                   static const std::string block(64 * 1024, 'x');
                                   const size_t n = std::min(length, block.size());
                                   *sent += qint64(n);
                                   return sink.write(block.data(), n) && offset < (size_t(1) << 30);
                               });
    });
    server.start();
    QTcpServer gone;
    QVERIFY(gone.listen(QHostAddress::LocalHost));
    closedPort = "http://127.0.0.1:" + QByteArray::number(gone.serverPort()) + "/";
    gone.close();
    silent = std::make_unique<RawServer>(RawServer::Silent);
    garbage = std::make_unique<RawServer>(RawServer::Garbage);
    reset = std::make_unique<RawServer>(RawServer::Reset);
}

void TestLinkCheck::everyKindOfAnswer_data()
{
    QTest::addColumn<int>("parallel");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("eight at a time") << 8;
}

void TestLinkCheck::everyKindOfAnswer()
{
    QFETCH(int, parallel);
    HttpClient http;
    std::unique_ptr<LinkChecker> checker;
    auto f = check(parallel, http, checker);
    QStringList bad = rows(checker->badRows());
    QCOMPARE(bad.last(), QStringLiteral("Completed"));
    bad.removeLast();
    if (parallel > 1)
        bad.sort();
    const QString moved =
        QStringLiteral("L5: HTTP/1.1 301 Moved Permanently  -> ") + QString::fromLatin1(server.url("/ok"));
    QStringList expected{
        QStringLiteral("L2: HTTP/1.1 404 Not Found"),         QStringLiteral("L3: HTTP/1.1 500 Internal Server Error"),
        QStringLiteral("L4: HTTP/1.1 403 Forbidden"),         moved,
        QStringLiteral("L8: Site does not exist! 404 Error"), QStringLiteral("L9: Site does not exist! 404 Error"),
        QStringLiteral("L10: Site not Replying in time*")};
    // The loop, the garbage and the reset end with libcurl's reason.
    QStringList reasons;
    for (const QString& row : std::as_const(bad))
        if (row.startsWith(QLatin1String("L7:")) || row.startsWith(QLatin1String("L11:")) ||
            row.startsWith(QLatin1String("L12:")))
            reasons << row;
    QCOMPARE(reasons.size(), 3);
    for (const QString& r : reasons)
        bad.removeAll(r);
    if (parallel > 1)
        expected.sort();
    QCOMPARE(bad, expected);
    QVERIFY(reasons[0].contains(QLatin1String("redirect"), Qt::CaseInsensitive) || parallel > 1);
    QCOMPARE(checker->checkedCount(), 14);
    QCOMPARE(checker->total(), 14);
    QCOMPARE(checker->badCount(), 9);                 // the time-out is listed, not counted
    QCOMPARE(rows(checker->updatedRows()).size(), 2); // L13, then "Completed"
    // The 1 GB document was not downloaded.
    QVERIFY2(bigSent < 64 * 1024 * 1024, QByteArray::number(bigSent.load()).constData());
    QCOMPARE(f->ui.beeps, 1);
}

void TestLinkCheck::lastModifiedFirstAndSecondRun()
{
    HttpClient http;
    std::unique_ptr<LinkChecker> checker;
    auto f = check(8, http, checker);
    QCOMPARE(rows(checker->updatedRows()),
             (QStringList{"L13: Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT", "Completed"}));
    QCOMPARE(f->key("Disk.LYK", "Links", "13D"), QByteArray("Wed, 21 Oct 2015 07:28:00"));
    checker->run(0, 0, true, 111, 111);
    QTRY_VERIFY_WITH_TIMEOUT(!checker->busy(), 60000);
    QCOMPARE(rows(checker->updatedRows()), QStringList{"Completed"});
}

void TestLinkCheck::stopAndRestartLeaveNoStrayRows()
{
    HttpClient http;
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("Disk.LYK", BookmarkText::file({"Slow"}, {{"Slow", "01N=Quiet\r\n01U=" + silent->url() + "\r\n"}}));
    f->start();
    LinkChecker checker(*f->board, http);
    checker.setWaitMilliseconds(30000);
    checker.run(0, 0, true, 111, 111);
    QVERIFY(checker.busy());
    checker.AbortButtonClick();
    QVERIFY(!checker.busy());
    QTest::qWait(300);
    QCOMPARE(rows(checker.badRows()), QStringList{"Stopped!"});
    // A new run while one is busy starts clean.
    checker.run(0, 0, true, 111, 111);
    checker.run(0, 0, true, 111, 111);
    QCOMPARE(checker.badRows().size(), 0);
    checker.CloseBtnClick();
    QTest::qWait(300);
    QCOMPARE(checker.badRows().size(), 0);
}

void TestLinkCheck::bulkMoveTakesEveryRowButMarkers()
{
    HttpClient http;
    std::unique_ptr<LinkChecker> checker;
    auto f = check(8, http, checker);
    const int listed = int(checker->badRows().size()) - 1;
    f->ui.answer(0); // Move
    f->ui.answer(QStringLiteral("Bad Links"));
    f->board->command([&] { checker->MoveClick(false); });
    QCOMPARE(f->state.tabs().back(), QByteArray("Bad Links"));
    const QStringList moved = BookmarkText::titles(f->store, f->files.BookmarkFileName(), "Bad Links");
    QCOMPARE(moved.size(), listed);
    // The notes say where a bookmark came from (one blank, trimmed on reading, before the page).
    QCOMPARE(f->key("Disk.LYK", "Bad Links", "01P"), QByteArray("Links"));
    QCOMPARE(checker->badRows().size(), 0);
    // The moved bookmarks left their page.
    QCOMPARE(f->key("Disk.LYK", "Links", "02U"), QByteArray());
    QCOMPARE(f->key("Disk.LYK", "Links", "01U"), server.url("/ok"));
}

void TestLinkCheck::rowActions()
{
    HttpClient http;
    std::unique_ptr<LinkChecker> checker;
    auto f = check(8, http, checker);
    auto rowOf = [&](const QByteArray& title) {
        const QList<LinkChecker::Row>& rows = checker->badRows();
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].title == title)
                return i;
        return -1;
    };
    // Edit: the bookmark dialog without the page's own commands, on the listed link.
    f->ui.bookmarkDialogs.push_back([](BookmarkDialog& d) {
        QVERIFY(d.fromList);
        QCOMPARE(d.slot, QByteArray("02"));
        QVERIFY(d.URL1.endsWith(QLatin1String("/missing")));
        d.Desc1 = QStringLiteral("Renamed");
        QVERIFY(d.SaveBtnClick());
    });
    f->ui.answer(2); // Edit
    f->board->command([&] { checker->rowClicked(false, rowOf("L2")); });
    QCOMPARE(f->key("Disk.LYK", "Links", "02N"), QByteArray("Renamed"));
    QCOMPARE(rowOf("L2"), -1);
    // Update: a link that moved for good takes its new address.
    f->ui.answer(3); // Launch, Delete, Edit, Update, Ignore
    f->board->command([&] { checker->rowClicked(false, rowOf("L5")); });
    QCOMPARE(f->key("Disk.LYK", "Links", "05U"), server.url("/ok"));
    QCOMPARE(rowOf("L5"), -1);
    // Delete: the bookmark is erased.
    f->ui.answer(1);
    f->board->command([&] { checker->rowClicked(false, rowOf("L3")); });
    QCOMPARE(f->key("Disk.LYK", "Links", "03U"), QByteArray());
    // Ignore, and a marker row offers nothing.
    const int before = int(checker->badRows().size());
    f->ui.answer(3); // Launch, Delete, Edit, Ignore
    f->board->command([&] { checker->rowClicked(false, rowOf("L4")); });
    f->board->command([&] { checker->rowClicked(false, before - 1); });
    QCOMPARE(int(checker->badRows().size()), before);
}

void TestLinkCheck::lateAnswerLeavesAChangedBookmarkAlone()
{
    HttpClient http;
    LaunchFixture f;
    f.writeFile("Disk.LYK",
                BookmarkText::file({"Slow"}, {{"Slow", "01N=Dated\r\n01U=" + server.url("/slowdated") + "\r\n"}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.run(0, 0, true, 111, 111);
    {
        TIniFile32 ini(f.store, f.files.BookmarkFileName());
        ini.WriteString("Slow", "01U", "http://elsewhere.example/");
    }
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 20000);
    QCOMPARE(f.key("Disk.LYK", "Slow", "01D"), QByteArray());
    QCOMPARE(checker.updatedRows().size(), 1); // "Completed" only
}

void TestLinkCheck::manyBadLinksFillSeveralPages()
{
    HttpClient http;
    LaunchFixture f;
    QByteArray a;
    for (int n = 1; n <= 80; ++n)
        a += BookmarkFile::SlotKey(n) + "N=A" + QByteArray::number(n) + "\r\n" + BookmarkFile::SlotKey(n) +
             "U=" + server.url("/missing?" + QByteArray::number(n)) + "\r\n";
    // An international host name is looked up like any other.
    const QByteArray b = "01N=Idn\r\n01U=http://b\xc3\xbc"
                         "cher.invalid/\r\n02N=B2\r\n02U=" +
                         server.url("/missing?b") + "\r\n";
    f.writeFile("Disk.LYK", BookmarkText::file({"A", "B"}, {{"A", a}, {"B", b}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.run(0, 1, true, 111, 111);
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 60000);
    QCOMPARE(checker.badCount(), 82);
    bool idnListed = false;
    for (const LinkChecker::Row& r : checker.badRows())
        if (r.title == "Idn")
            idnListed = r.response == QLatin1String("Site does not exist! 404 Error");
    QVERIFY(idnListed);
    f.ui.answer(0); // Move
    f.ui.answer(QStringLiteral("Bad Links"));
    f.board->command([&] { checker.MoveClick(false); });
    QCOMPARE(f.state.tabs(), (std::vector<QByteArray>{"A", "B", "Bad Links", "Bad Links+"}));
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Bad Links").size(), 80);
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Bad Links+").size(), 2);
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "A").size(), 0);
}

void TestLinkCheck::untrustedCertificateIsABadLink()
{
    // A secure server with a certificate nobody vouches for.
    QTemporaryDir dir;
    const QString cert = dir.filePath(QStringLiteral("cert.pem"));
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    if (QProcess::execute(QStringLiteral("openssl"),
                          {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                           QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
                           QStringLiteral("-out"), cert, QStringLiteral("-days"), QStringLiteral("1"),
                           QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}) != 0)
        QSKIP("needs the openssl command");
    QProcess https;
    https.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import http.server, ssl, sys\n"
                                "s = http.server.HTTPServer(('127.0.0.1', 0), http.server.SimpleHTTPRequestHandler)\n"
                                "c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
                                "c.load_cert_chain(sys.argv[1], sys.argv[2])\n"
                                "s.socket = c.wrap_socket(s.socket, server_side=True)\n"
                                "print(s.server_address[1], flush=True)\n"
                                "s.serve_forever()\n"),
                 cert, key});
    QVERIFY(https.waitForReadyRead(10000));
    const QByteArray port = https.readLine().trimmed();
    HttpClient http;
    LaunchFixture f;
    f.writeFile("Disk.LYK",
                BookmarkText::file({"Secure"}, {{"Secure", "01N=Self\r\n01U=https://127.0.0.1:" + port + "/\r\n"}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.run(0, 0, true, 111, 111);
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 20000);
    https.kill();
    https.waitForFinished();
    QCOMPARE(checker.badCount(), 1);
    const QString response = checker.badRows().first().response;
    QVERIFY2(response.contains(QLatin1String("certificate"), Qt::CaseInsensitive), qPrintable(response));
}

QTEST_GUILESS_MAIN(TestLinkCheck)
#include "tst_linkcheck.moc"
