#include "BoardFixture.h"
#include "CurlSmtp.h"
#include "FailingSmtpServer.h"
#include "LocalSmtpServer.h"
#include "MailDialog.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QtTest>

namespace {

// A board whose profile sends through `server`, and a mail dialog on the real
// SMTP client, for one bookmark.
struct ServerFixture : BoardFixture
{
    CurlSmtp smtp;
    std::unique_ptr<MailDialog> dialog;
    bool closed = false;

    explicit ServerFixture(const QByteArray& server)
    {
        writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n01N=Daily\r\n01U=http://daily.example/\r\n");
        writeFile("lyk.use", "[User]\r\nEmail=me@example.org\r\nMailS=" + server + "\r\n");
        start();
        dialog = std::make_unique<MailDialog>(*board, smtp);
        dialog->scope = "One";
        dialog->FormShow();
        dialog->FormActivate();
        dialog->replyTimeoutSeconds = 2;
        QObject::connect(dialog.get(), &MailDialog::closeRequested, [this] { closed = true; });
    }
    // Sends and waits until the dialog is usable again.
    bool send()
    {
        dialog->Button1Click();
        return QTest::qWaitFor([this] { return !dialog->sending(); }, 30000);
    }
};

QString bodyText(const QJsonObject& message)
{
    return message["body"].toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

class TestMailServer : public QObject
{
    Q_OBJECT
private slots:
    void oneMessageArrivesWithItsHeadersAndLines();
    void everyAddressGetsItsOwnMessage();
    void failuresEndWithAClearMessage_data();
    void failuresEndWithAClearMessage();
    void nothingTypedIsLost();
};

void TestMailServer::oneMessageArrivesWithItsHeadersAndLines()
{
    LocalSmtpServer server;
    QVERIFY(server.start());
    ServerFixture f(server.server());
    f.dialog->workText = {"<A HREF=\"http://daily.example/\">Daily</A><BR>"};
    f.dialog->recipient = QStringLiteral("you@example.org");
    f.dialog->comments = QStringLiteral("Have a look.");
    QVERIFY(f.send());
    QCOMPARE(f.ui.messages(), QStringList{QStringLiteral("The e-mail was sent to you@example.org.")});
    QVERIFY(f.closed);
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0]["mail_from"].toString(), QStringLiteral("me@example.org"));
    QCOMPARE(got[0]["rcpt_tos"].toArray().toVariantList(), QVariantList{QStringLiteral("you@example.org")});
    const QStringList head = got[0]["header_lines"].toVariant().toStringList();
    QCOMPARE(head.value(0), QStringLiteral("From: me@example.org"));
    QCOMPARE(head.value(1), QStringLiteral("To: you@example.org"));
    QCOMPARE(head.value(2), QStringLiteral("Subject: Bookmarks"));
    QVERIFY(head.value(3).startsWith(QLatin1String("Date: ")));
    QVERIFY(head.value(4).startsWith(QLatin1String("Message-ID: <")));
    QCOMPARE(head.value(5), QStringLiteral("Mime-Version: 1.0"));
    QCOMPARE(head.value(6), QStringLiteral("Content-Type: text/plain; charset=\"iso-8859-1\""));
    QCOMPARE(head.value(7), QStringLiteral("Content-Transfer-Encoding: 7bit"));
    QCOMPARE(head.size(), 8);
    QCOMPARE(bodyText(got[0]), QStringLiteral("Have a look.\n \n<A HREF=\"http://daily.example/\">Daily</A><BR>\n"));
}

void TestMailServer::everyAddressGetsItsOwnMessage()
{
    LocalSmtpServer server;
    QVERIFY(server.start());
    ServerFixture f(server.server());
    f.writeFile("lyk.use", f.readFile("lyk.use") +
                               "[Address]\r\nCount=3\r\n1=a@example.org\r\n2=b@example.org\r\n3=c@example.org\r\n");
    f.dialog->FormShow();
    f.dialog->includeAll = true;
    QVERIFY(f.send());
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 3);
    QStringList to;
    for (const QJsonObject& m : got) {
        QCOMPARE(m["rcpt_tos"].toArray().size(), 1);
        to << m["rcpt_tos"].toArray()[0].toString();
        QCOMPARE(m["header_lines"].toVariant().toStringList().value(1), QStringLiteral("To: ") + to.last());
    }
    QCOMPARE(to, (QStringList{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                              QStringLiteral("c@example.org")}));
    QCOMPARE(f.ui.messages().last(), QStringLiteral("The e-mail was sent to 3 addresses."));
}

void TestMailServer::failuresEndWithAClearMessage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("recipient refused") << "reject"
                                       << "Recipient address rejected";
    QTest::newRow("server never answers") << "silent"
                                          << "did not answer in time";
    QTest::newRow("closed port") << "closed"
                                 << "Can't connect to host '127.0.0.1'";
}

void TestMailServer::failuresEndWithAClearMessage()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    FailingSmtpServer failing(kind);
    QVERIFY(failing.start());
    ServerFixture f(failing.server());
    f.dialog->recipient = QStringLiteral("you@example.org");
    QVERIFY(f.send());
    QCOMPARE(f.ui.messages().size(), 1);
    const QString text = f.ui.messages().first();
    QVERIFY2(text.startsWith(QLatin1String("The e-mail could not be sent.")) && text.contains(said), qPrintable(text));
    QCOMPARE(f.ui.asked.first().type, Prompter::Type::Error);
    // The dialog stays, usable: the next try goes out again.
    QVERIFY(!f.closed);
    QVERIFY(!f.board->busy());
    f.dialog->Button1Click();
    QVERIFY(f.dialog->sending());
    f.dialog->cancelSending();
    QVERIFY(!f.dialog->sending());
}

void TestMailServer::nothingTypedIsLost()
{
    LocalSmtpServer server;
    QVERIFY(server.start());
    ServerFixture f(server.server());
    const QString longLine = QString(2000, QLatin1Char('w'));
    f.dialog->workText = {"<A HREF=\"http://gruss.example/\">Gr\xc3\xbc\xc3\x9f"
                          "e \xe2\x82\xac</A><BR>"};
    f.dialog->recipient = QStringLiteral("you@example.org");
    f.dialog->subject = QStringLiteral("Grüße – Lesezeichen");
    f.dialog->comments = QStringLiteral("Above the dot\n.\nBelow the dot\n") + longLine + QStringLiteral("\nend");
    QVERIFY(f.send());
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0]["subject"].toString(), QStringLiteral("Grüße – Lesezeichen"));
    QCOMPARE(got[0]["charset"].toString(), QStringLiteral("utf-8"));
    QCOMPARE(bodyText(got[0]), QStringLiteral("Above the dot\n.\nBelow the dot\n") + longLine +
                                   QStringLiteral("\nend\n \n<A HREF=\"http://gruss.example/\">Grüße €</A><BR>\n"));
    for (const QString& line : got[0]["raw"].toString().split(QStringLiteral("\r\n")))
        QVERIFY2(line.size() <= 998, qPrintable(line.left(40)));
}

QTEST_GUILESS_MAIN(TestMailServer)
#include "tst_mailserver.moc"
