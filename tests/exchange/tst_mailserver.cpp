#include "AlphaForm.h"
#include "BoardFixture.h"
#include "BookmarkDialog.h"
#include "BookmarkEditor.h"
#include "CurlSmtp.h"
#include "Exchange.h"
#include "FailingSmtpServer.h"
#include "FakeClipboard.h"
#include "LocalSmtpServer.h"
#include "MailDialog.h"
#include "PageCommands.h"
#include "PageOutput.h"
#include "ScriptedHttp.h"
#include "TabForm.h"

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

// A board whose mail commands send through `server` with the real SMTP client.
struct ExchangeFixture : BoardFixture
{
    CurlSmtp smtp;
    FakeClipboard clipboard;
    ScriptedHttp http;
    Exchange exchange{*board, clipboard, smtp, http};

    ExchangeFixture(const QByteArray& server, const QByteArray& lyk)
    {
        writeFile("Disk.LYK", lyk);
        writeFile("lyk.use", "[User]\r\nEmail=me@example.org\r\nMailS=" + server + "\r\n");
        writeFile("lyk.ini", "[Auto]\r\nBackup=Off\r\n");
        start();
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
    void mailedBookmarksArriveAsMailProgramsShowThem_data();
    void mailedBookmarksArriveAsMailProgramsShowThem();
};

void TestMailServer::oneMessageArrivesWithItsHeadersAndLines()
{
    LocalSmtpServer server;
    QVERIFY(server.start());
    ServerFixture f(server.server());
    f.dialog->workText = {{"http://daily.example/", "Daily"}};
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
    QVERIFY(head.value(6).startsWith(QLatin1String("Content-Type: multipart/alternative; boundary=\"")));
    QCOMPARE(head.size(), 7);
    QCOMPARE(got[0]["charset"].toString(), QStringLiteral("iso-8859-1"));
    QCOMPARE(bodyText(got[0]), QStringLiteral("Have a look.\n \nhttp://daily.example/ > Daily <\n"));
    QCOMPARE(got[0]["links"].toVariant().toList(),
             (QVariantList{QVariantList{QStringLiteral("http://daily.example/"), QStringLiteral("Daily")}}));
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
    f.dialog->workText = {{"http://gruss.example/", "Gr\xc3\xbc\xc3\x9f"
                                                    "e \xe2\x82\xac"}};
    f.dialog->recipient = QStringLiteral("you@example.org");
    f.dialog->subject = QStringLiteral("Grüße – Lesezeichen");
    f.dialog->comments = QStringLiteral("Above the dot\n.\nBelow the dot\n") + longLine + QStringLiteral("\nend");
    QVERIFY(f.send());
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0]["subject"].toString(), QStringLiteral("Grüße – Lesezeichen"));
    QCOMPARE(got[0]["charset"].toString(), QStringLiteral("utf-8"));
    QCOMPARE(bodyText(got[0]), QStringLiteral("Above the dot\n.\nBelow the dot\n") + longLine +
                                   QStringLiteral("\nend\n \nhttp://gruss.example/ > Grüße € <\n"));
    for (const QString& line : got[0]["raw"].toString().split(QStringLiteral("\r\n")))
        QVERIFY2(line.size() <= 998, qPrintable(line.left(40)));
}

void TestMailServer::mailedBookmarksArriveAsMailProgramsShowThem_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("plain");
    QTest::addColumn<QVariantList>("links");
    QTest::addColumn<QString>("charset");
    const QString daily = QStringLiteral("http://daily.example/?a=1&b=2");
    const QString dailyTitle = QStringLiteral("Daily & \"News\" <today>");
    const QString gruss = QStringLiteral("http://gruss.example/");
    const QString grussTitle = QStringLiteral("Grüße €");
    const QVariantList one{QVariantList{daily, dailyTitle}};
    const QVariantList both{QVariantList{daily, dailyTitle}, QVariantList{gruss, grussTitle}};
    const QStringList plainOne{daily + " > " + dailyTitle + " <"};
    const QStringList plainBoth{plainOne[0], gruss + " > " + grussTitle + " <"};
    QTest::newRow("one bookmark, from its dialog") << "bookmark" << plainOne << one << "iso-8859-1";
    QTest::newRow("the page, from the page menu") << "page" << plainBoth << both << "utf-8";
    QTest::newRow("selected bookmarks of the page options") << "selected" << plainBoth << both << "utf-8";
    QTest::newRow("a range of pages") << "pages" << plainBoth << both << "utf-8";
}

void TestMailServer::mailedBookmarksArriveAsMailProgramsShowThem()
{
    QFETCH(QString, from);
    QFETCH(QStringList, plain);
    QFETCH(QVariantList, links);
    QFETCH(QString, charset);
    LocalSmtpServer server;
    QVERIFY(server.start());
    ExchangeFixture f(server.server(), "[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n"
                                       "01N=Daily & \"News\" <today>\r\n01U=http://daily.example/?a=1&b=2\r\n"
                                       "02N=Gr\xc3\xbc\xc3\x9f"
                                       "e \xe2\x82\xac\r\n02U=http://gruss.example/\r\n");
    f.ui.mailDialogs.push_back([](MailDialog& d) {
        d.recipient = QStringLiteral("you@example.org");
        d.comments = QStringLiteral("Two <b>finds</b>\n  indented");
        d.Button1Click();
        QVERIFY(QTest::qWaitFor([&d] { return !d.sending(); }, 30000));
    });
    if (from == QLatin1String("bookmark")) {
        f.ui.bookmarkDialogs.push_back([](BookmarkDialog& d) { QVERIFY(d.EMailBtnClick()); });
        f.board->command([&] { f.board->editor().BitBtn1MouseDown("B01", BookmarkEditor::MouseButton::Right); });
    } else if (from == QLatin1String("page")) {
        f.board->command([&] { f.board->pageCommands().MEMailPageClick(); });
    } else if (from == QLatin1String("selected")) {
        f.ui.tabForms.push_back([](TabForm& form) {
            form.selected = {0, 1};
            form.Group2Click(5);
        });
        f.board->command([&] {
            if (f.board->pageCommands().TabSet1RightClick(0))
                f.board->pageCommands().MChangePageTabName1Click(PageCommands::Sender::TabStrip);
        });
    } else {
        f.ui.alphaForms.push_back([](AlphaForm& form) {
            form.selected.insert(0);
            form.AlphaBtnClick();
        });
        f.board->command([&] { f.exchange.output().PrintClick(PageOutput::Mode::Email); });
    }
    QVERIFY(f.ui.mailDialogs.empty());
    QCOMPARE(f.ui.messages().value(0), QStringLiteral("The e-mail was sent to you@example.org."));
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    // Both forms of the one message: mail programs show the one they can.
    QCOMPARE(got[0]["content_type"].toString(), QStringLiteral("multipart/alternative"));
    QCOMPARE(got[0]["parts"].toVariant().toStringList(), (QStringList{"text/plain", "text/html"}));
    QCOMPARE(got[0]["charset"].toString(), charset);
    QCOMPARE(got[0]["html_charset"].toString(), charset);
    QCOMPARE(bodyText(got[0]),
             (QStringList{"Two <b>finds</b>", "  indented", " "} + plain).join(QLatin1Char('\n')) + '\n');
    QCOMPARE(got[0]["links"].toVariant().toList(), links);
    // The comments are text in the HTML part too, never markup.
    const QString html = got[0]["html"].toString();
    QVERIFY2(html.contains(QStringLiteral("Two &lt;b&gt;finds&lt;/b&gt;")), qPrintable(html));
    QVERIFY2(!html.contains(QStringLiteral("<b>")), qPrintable(html));
}

QTEST_GUILESS_MAIN(TestMailServer)
#include "tst_mailserver.moc"
