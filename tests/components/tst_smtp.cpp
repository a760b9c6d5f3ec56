#include "CurlSmtp.h"
#include "FailingSmtpServer.h"
#include "LocalSmtpServer.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

namespace {

QByteArray message(const QByteArray& body)
{
    return "From: me@example.org\r\nTo: you@example.org\r\nSubject: test\r\n\r\n" + body;
}

SmtpJob job(const QByteArray& server, const QByteArray& body = "Hello\r\n")
{
    SmtpJob j;
    j.server = server;
    j.sender = "me@example.org";
    j.recipient = "you@example.org";
    j.message = message(body);
    j.replyTimeoutSeconds = 2;
    j.totalTimeoutSeconds = 10;
    return j;
}

// Sends one job and waits for its answer.
std::optional<SmtpResult> sendAndWait(CurlSmtp& smtp, const SmtpJob& j)
{
    std::optional<SmtpResult> result;
    QObject context;
    smtp.send(j, &context, [&](const SmtpResult& r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        return std::nullopt;
    return result;
}

} // namespace

class TestSmtp : public QObject
{
    Q_OBJECT
private slots:
    void serverAddressesAsUsersTypeThem_data();
    void serverAddressesAsUsersTypeThem();
    void messageArrivesAsSent();
    void refusalsTimeOutsAndClosedPortsSayWhy_data();
    void refusalsTimeOutsAndClosedPortsSayWhy();
    void loginComesFromNetrc();
    void cancelledJobNeverAnswers();
};

void TestSmtp::serverAddressesAsUsersTypeThem_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("prefix"); // of the URL; "" = refused
    QTest::newRow("host") << QByteArray("mail.example.org") << QByteArray("smtp://mail.example.org/");
    QTest::newRow("host:port") << QByteArray("mail.example.org:587") << QByteArray("smtp://mail.example.org:587/");
    QTest::newRow("smtp url") << QByteArray("smtp://mail.example.org:2525")
                              << QByteArray("smtp://mail.example.org:2525/");
    QTest::newRow("smtps url") << QByteArray("smtps://mail.example.org") << QByteArray("smtps://mail.example.org/");
    QTest::newRow("blanks around") << QByteArray("  mail.example.org  ") << QByteArray("smtp://mail.example.org/");
    QTest::newRow("address literal") << QByteArray("[::1]:25") << QByteArray("smtp://[::1]:25/");
    QTest::newRow("empty") << QByteArray("") << QByteArray();
    QTest::newRow("other scheme") << QByteArray("http://mail.example.org") << QByteArray();
    QTest::newRow("blank inside") << QByteArray("mail example.org") << QByteArray();
    QTest::newRow("line break") << QByteArray("mail.example.org\r\nRCPT TO:<x@y>") << QByteArray();
    QTest::newRow("user in url") << QByteArray("smtp://u:p@mail.example.org") << QByteArray();
}

void TestSmtp::serverAddressesAsUsersTypeThem()
{
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, prefix);
    const QByteArray url = CurlSmtp::serverUrl(typed);
    if (prefix.isEmpty())
        QCOMPARE(url, QByteArray());
    else
        QVERIFY2(url.startsWith(prefix), url.constData());
}

void TestSmtp::messageArrivesAsSent()
{
    LocalSmtpServer server;
    QVERIFY(server.start());
    CurlSmtp smtp;
    // A line of one dot would end the message early unless it is escaped.
    const QByteArray body = "First line\r\n.\r\n..two dots\r\nlast\r\n";
    const auto result = sendAndWait(smtp, job(server.server(), body));
    QVERIFY(result);
    QVERIFY2(result->sent, qPrintable(result->error));
    QCOMPARE(result->replyCode, 250);
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0]["mail_from"].toString(), QStringLiteral("me@example.org"));
    QCOMPARE(got[0]["rcpt_tos"].toArray().toVariantList(), QVariantList{QStringLiteral("you@example.org")});
    QCOMPARE(got[0]["raw"].toString().toLatin1(), message(body));
    QCOMPARE(smtp.jobsInFlight(), 0);
}

void TestSmtp::refusalsTimeOutsAndClosedPortsSayWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("recipient refused") << "reject"
                                       << "550 5.1.1 <you@example.org>: Recipient address rejected";
    QTest::newRow("server never answers") << "silent"
                                          << "did not answer in time";
    QTest::newRow("closed port") << "closed"
                                 << "Can't connect to host '127.0.0.1'";
    QTest::newRow("no server") << "empty"
                               << "No host specified";
}

void TestSmtp::refusalsTimeOutsAndClosedPortsSayWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    FailingSmtpServer failing(kind);
    QVERIFY(failing.start());
    const QByteArray server = failing.server();
    CurlSmtp smtp;
    const auto result = sendAndWait(smtp, job(server));
    QVERIFY(result);
    QVERIFY(!result->sent);
    QVERIFY2(result->error.contains(said), qPrintable(result->error));
    QCOMPARE(result->timedOut, kind == QLatin1String("silent"));
    if (kind == QLatin1String("reject"))
        QCOMPARE(failing.messages().size(), 0);
}

void TestSmtp::loginComesFromNetrc()
{
    LocalSmtpServer server(LocalSmtpServer::Mode::Auth);
    QVERIFY(server.start());
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
    auto netrc = [&](const QByteArray& password) {
        QFile f(home.filePath(QStringLiteral(".netrc")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("machine 127.0.0.1 login u password " + password + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    };
    CurlSmtp smtp;
    netrc("wrong");
    auto refused = sendAndWait(smtp, job(server.server()));
    QVERIFY(refused);
    QVERIFY(!refused->sent);
    QVERIFY2(refused->error.contains(QLatin1String("535")) || refused->error.contains(QLatin1String("refused")),
             qPrintable(refused->error));
    netrc("p");
    auto accepted = sendAndWait(smtp, job(server.server()));
    QVERIFY(accepted);
    QVERIFY2(accepted->sent, qPrintable(accepted->error));
    QCOMPARE(server.messages().size(), 1);
}

void TestSmtp::cancelledJobNeverAnswers()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    int calls = 0;
    {
        CurlSmtp smtp;
        QObject context;
        SmtpJob j = job("127.0.0.1:" + QByteArray::number(silent.serverPort()));
        j.replyTimeoutSeconds = 30;
        const quint64 id = smtp.send(j, &context, [&](const SmtpResult&) { ++calls; });
        QTest::qWait(200);
        smtp.cancel(id);
        QCOMPARE(smtp.jobsInFlight(), 0);
        QTest::qWait(1500);
        // A job still waiting for its server is stopped when the client goes.
        smtp.send(j, &context, [&](const SmtpResult&) { ++calls; });
    }
    QCOMPARE(calls, 0);
}

QTEST_GUILESS_MAIN(TestSmtp)
#include "tst_smtp.moc"
