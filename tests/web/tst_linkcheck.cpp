#include "BookmarkDialog.h"
#include "BookmarkText.h"
#include "HttpClient.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "LinkChecker.h"
#include "LocalH2Proxy.h"
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
#include <tuple>

namespace {

// Servers that are no HTTP servers: one that never answers, one that
// answers garbage, one that drops the connection at once; and one that
// answers every request with the bytes it is given, as no library would.
class RawServer : public QTcpServer
{
public:
    enum Kind { Silent, Garbage, Reset, Canned };
    explicit RawServer(Kind kind, QByteArray reply = {}) : m_kind(kind), m_reply(std::move(reply))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                m_sockets << s;
                if (m_kind == Canned) {
                    connect(s, &QTcpSocket::readyRead, s, [this, s] {
                        m_request += s->readAll();
                        if (!m_request.contains("\r\n\r\n"))
                            return;
                        m_request.clear();
                        s->write(m_reply);
                        s->disconnectFromHost();
                    });
                } else if (m_kind == Garbage) {
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
    QByteArray m_reply;
    QByteArray m_request;
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
    LocalH2Proxy h2; // the same server over HTTP/2
    bool h2Running = false;

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
    void statusOfEachHop_data();
    void statusOfEachHop();
    void oneBadAnswerLeavesTheRunGoing_data();
    void oneBadAnswerLeavesTheRunGoing();
    void lastModifiedFirstAndSecondRun();
    void stopAndRestartLeaveNoStrayRows();
    void bulkMoveTakesEveryRowButMarkers();
    void rowActions();
    void lateAnswerLeavesAChangedBookmarkAlone();
    void manyBadLinksFillSeveralPages();
    void untrustedCertificateIsABadLink();
    void updateTakesOnlyBookmarkAddresses();
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
    for (const auto& [path, status] : std::initializer_list<std::pair<const char*, int>>{
             {"/gone", 410}, {"/legal", 451}, {"/teapot", 418}, {"/unavailable", 503}, {"/odd", 599}})
        server.handle(path, [status](const httplib::Request&, httplib::Response& r) { r.status = status; });
    for (const auto& [path, status, to] : std::initializer_list<std::tuple<const char*, int, const char*>>{
             {"/permanent", 308, "/ok"}, {"/temporary", 307, "/ok"}, {"/togone", 302, "/gone"}})
        server.handle(path, [status, to](const httplib::Request&, httplib::Response& r) {
            r.status = status;
            r.set_header("Location", to);
        });
    server.handle("/lowerdated", [](const httplib::Request&, httplib::Response& r) {
        r.set_header("last-modified", "Thu, 22 Oct 2015 08:00:00 GMT");
        r.set_content("dated", "text/html");
    });
    server.start();
    h2Running = h2.start(server.port());
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
    // The caption no longer names a link being checked.
    QCOMPARE(checker->caption, QStringLiteral("Click on \"Check Links\""));
}

void TestLinkCheck::statusOfEachHop_data()
{
    QTest::addColumn<bool>("http2");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("listed");    // the status code of the bad-links row; 0 when not listed
    QTest::addColumn<QByteArray>("to"); // where a link that moved for good moved to
    QTest::addColumn<QByteArray>("updated");
    for (const bool http2 : {false, true}) {
        const char* p = http2 ? "HTTP/2 " : "HTTP/1.1 ";
        auto row = [&](const char* name) { return &QTest::newRow((QByteArray(p) + name).constData()); };
        *row("200") << http2 << QByteArray("/ok") << 0 << QByteArray() << QByteArray();
        *row("404") << http2 << QByteArray("/missing") << 404 << QByteArray() << QByteArray();
        *row("410 gone") << http2 << QByteArray("/gone") << 410 << QByteArray() << QByteArray();
        *row("451 unavailable for legal reasons")
            << http2 << QByteArray("/legal") << 451 << QByteArray() << QByteArray();
        *row("418") << http2 << QByteArray("/teapot") << 418 << QByteArray() << QByteArray();
        *row("503") << http2 << QByteArray("/unavailable") << 503 << QByteArray() << QByteArray();
        *row("599, a code no standard names") << http2 << QByteArray("/odd") << 599 << QByteArray() << QByteArray();
        *row("301 moved for good") << http2 << QByteArray("/moved") << 301 << QByteArray("/ok") << QByteArray();
        *row("308 moved for good") << http2 << QByteArray("/permanent") << 308 << QByteArray("/ok") << QByteArray();
        *row("307 is for now") << http2 << QByteArray("/temporary") << 0 << QByteArray() << QByteArray();
        *row("dead after a redirect for now") << http2 << QByteArray("/togone") << 410 << QByteArray() << QByteArray();
        *row("Last-Modified") << http2 << QByteArray("/dated") << 0 << QByteArray()
                              << QByteArray("Wed, 21 Oct 2015 07:28:00");
        *row("last-modified in lower case")
            << http2 << QByteArray("/lowerdated") << 0 << QByteArray() << QByteArray("Thu, 22 Oct 2015 08:00:00");
    }
}

void TestLinkCheck::statusOfEachHop()
{
    QFETCH(bool, http2);
    QFETCH(QByteArray, path);
    QFETCH(int, listed);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, updated);
    if (http2 && !h2Running)
        QSKIP("needs Debian's nghttpx (nghttp2-proxy) and openssl");
    HttpClient http;
    http.setTrustedCertificates(h2.certificate());
    const QByteArray link = http2 ? h2.url(path) : server.url(path);
    LaunchFixture f;
    f.writeFile("Disk.LYK", BookmarkText::file({"Links"}, {{"Links", "01N=Link\r\n01U=" + link + "\r\n"}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.run(0, 0, true, 111, 111);
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 30000);

    QStringList bad = rows(checker.badRows());
    QCOMPARE(bad.takeLast(), QStringLiteral("Completed"));
    if (listed == 0) {
        QCOMPARE(bad, QStringList());
    } else {
        QCOMPARE(bad.size(), 1);
        const QString status = QStringLiteral("Link: %1 %2").arg(http2 ? "HTTP/2" : "HTTP/1.1").arg(listed);
        QVERIFY2(bad[0].startsWith(status), qPrintable(bad[0]));
        if (!to.isEmpty())
            QVERIFY2(
                bad[0].endsWith(QStringLiteral("  -> ") + QString::fromLatin1(http2 ? h2.url(to) : server.url(to))),
                qPrintable(bad[0]));
        else
            QVERIFY2(!bad[0].contains(QLatin1String("->")), qPrintable(bad[0]));
    }
    QStringList changed = rows(checker.updatedRows());
    QCOMPARE(changed.takeLast(), QStringLiteral("Completed"));
    QCOMPARE(f.key("Disk.LYK", "Links", "01D"), updated);
    QCOMPARE(changed.size(), updated.isEmpty() ? 0 : 1);
    if (!updated.isEmpty())
        QVERIFY2(changed[0].startsWith(QLatin1String("Link: last-modified: "), Qt::CaseInsensitive),
                 qPrintable(changed[0]));
    QCOMPARE(checker.caption, QStringLiteral("Click on \"Check Links\""));
    QVERIFY(f.ui.messages().isEmpty());
}

void TestLinkCheck::oneBadAnswerLeavesTheRunGoing_data()
{
    QTest::addColumn<bool>("fileGone");
    QTest::newRow("a bare CR in Last-Modified") << false;
    QTest::newRow("the bookmark file cannot be read any more") << true;
}

void TestLinkCheck::oneBadAnswerLeavesTheRunGoing()
{
    QFETCH(bool, fileGone);
    RawServer crafted(RawServer::Canned, "HTTP/1.1 200 OK\r\nLast-Modified: Wed,\r21 Oct 2015 07:28:00 GMT\r\n"
                                         "Content-Length: 2\r\nConnection: close\r\n\r\nok");
    HttpClient http;
    LaunchFixture f;
    QByteArray body = "01N=Crafted\r\n01U=" + crafted.url() + "\r\n";
    const QList<QByteArray> others{"/ok", "/dated", "/missing"};
    for (int i = 0; i < others.size(); ++i)
        body += BookmarkFile::SlotKey(i + 2) + "N=L" + QByteArray::number(i + 2) + "\r\n" +
                BookmarkFile::SlotKey(i + 2) + "U=" + server.url(others[i]) + "\r\n";
    f.writeFile("Disk.LYK", BookmarkText::file({"Links"}, {{"Links", body}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.setParallel(1);
    checker.run(0, 0, true, 111, 111);
    if (fileGone) {
        QVERIFY(QFile::remove(QString::fromLocal8Bit(f.path("Disk.LYK"))));
        QVERIFY(QDir().mkpath(QString::fromLocal8Bit(f.path("Disk.LYK"))));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 30000);
    // Every link was asked and counted, and the run ended.
    QCOMPARE(checker.checkedCount(), 4);
    QCOMPARE(rows(checker.badRows()), (QStringList{"L4: HTTP/1.1 404 Not Found", "Completed"}));
    QCOMPARE(checker.caption, QStringLiteral("Click on \"Check Links\""));
    if (fileGone) {
        // Said once, not once a link.
        QCOMPARE(f.ui.messages().size(), 1);
        QVERIFY2(f.ui.messages().front().startsWith(QLatin1String("Cannot ")), qPrintable(f.ui.messages().front()));
        return;
    }
    QVERIFY(f.ui.messages().isEmpty());
    // What the server sent is stored on one line.
    QCOMPARE(f.key("Disk.LYK", "Links", "01D"), QByteArray("Wed, 21 Oct 2015 07:28:00"));
    QCOMPARE(f.key("Disk.LYK", "Links", "03D"), QByteArray("Wed, 21 Oct 2015 07:28:00"));
    QCOMPARE(rows(checker.updatedRows()),
             (QStringList{"Crafted: Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT",
                          "L3: Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT", "Completed"}));
    QCOMPARE(f.key("Disk.LYK", "Links", "01N"), QByteArray("Crafted"));
    QCOMPARE(f.key("Disk.LYK", "Links", "02U"), server.url("/ok"));
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
    QCOMPARE(checker.caption, QStringLiteral(" - Checking: Quiet"));
    checker.AbortButtonClick();
    QVERIFY(!checker.busy());
    QCOMPARE(checker.caption, QStringLiteral("Click on \"Check Links\""));
    QTest::qWait(300);
    QCOMPARE(rows(checker.badRows()), QStringList{"Stopped!"});
    // A new run while one is busy starts clean.
    checker.run(0, 0, true, 111, 111);
    checker.run(0, 0, true, 111, 111);
    QCOMPARE(checker.badRows().size(), 0);
    QCOMPARE(checker.caption, QStringLiteral(" - Checking: Quiet"));
    checker.CloseBtnClick();
    // Opened again, the window says what to do.
    QCOMPARE(checker.caption, QStringLiteral("Click on \"Check Links\""));
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
    // The main window's title counts the new page.
    QVERIFY2(f->state.title().contains(QLatin1String("Bad Links: Page 2 of 2")), qPrintable(f->state.title()));
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

void TestLinkCheck::updateTakesOnlyBookmarkAddresses()
{
    // Where a server says a link moved is no address to trust blindly: one
    // that would run or show what it holds, or a file of this computer, is
    // never stored; a web address is.
    const QList<QPair<QByteArray, QByteArray>> moves{{"/script", "javascript:alert(document.cookie)"},
                                                     {"/data", "data:text/html,<script>alert(1)</script>"},
                                                     {"/file", "file:///etc/passwd"},
                                                     {"/web", "http://127.0.0.1:9/new"}};
    LocalHttpServer moved;
    QByteArray body;
    for (qsizetype i = 0; i < moves.size(); ++i) {
        const std::string to = moves[i].second.toStdString();
        moved.handle(moves[i].first, [to](const httplib::Request&, httplib::Response& r) {
            r.status = 301;
            r.set_header("Location", to);
        });
        const QByteArray k = BookmarkFile::SlotKey(int(i) + 1);
        body += k + "N=L" + QByteArray::number(i + 1) + "\r\n" + k + "U=";
        body += "http://127.0.0.1:@" + moves[i].first + "\r\n";
    }
    moved.start();
    body.replace("@", QByteArray::number(moved.port()));
    HttpClient http;
    LaunchFixture f;
    f.writeFile("Disk.LYK", BookmarkText::file({"Links"}, {{"Links", body}}));
    f.start();
    LinkChecker checker(*f.board, http);
    checker.run(0, 0, true, 111, 111);
    QTRY_VERIFY_WITH_TIMEOUT(!checker.busy(), 60000);
    for (int n = 1; n <= 4; ++n) {
        const QList<LinkChecker::Row>& rows = checker.badRows();
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const LinkChecker::Row& r) {
            return r.title == "L" + QByteArray::number(n) && r.response.contains(QLatin1String("  -> "));
        });
        QVERIFY2(row != rows.end(), qPrintable(rows.size() ? rows.front().response : QString()));
        f.ui.answer(3); // Launch, Delete, Edit, Update, Ignore
        f.board->command([&] { checker.rowClicked(false, int(row - rows.begin())); });
    }
    const QByteArray web = "http://127.0.0.1:" + QByteArray::number(moved.port());
    QCOMPARE(f.key("Disk.LYK", "Links", "01U"), web + "/script");
    QCOMPARE(f.key("Disk.LYK", "Links", "02U"), web + "/data");
    QCOMPARE(f.key("Disk.LYK", "Links", "03U"), web + "/file");
    QCOMPARE(f.key("Disk.LYK", "Links", "04U"), QByteArray("http://127.0.0.1:9/new"));
    const QStringList said = f.ui.messages();
    QCOMPARE(said.size(), 3);
    QCOMPARE(said[0], QStringLiteral("\"javascript:alert(document.cookie)\" makes no bookmark: from the web only web "
                                     "and FTP addresses do (not javascript:, data:, file: and the like)."));
    QVERIFY(said[2].startsWith(QStringLiteral("\"file:///etc/passwd\" makes no bookmark")));
}

QTEST_GUILESS_MAIN(TestLinkCheck)
#include "tst_linkcheck.moc"
