#include "BookmarkDialog.h"
#include "BookmarkEditor.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "MailDialog.h"
#include "MailText.h"
#include "UserInfo.h"
#include "UserProfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using MouseButton = BookmarkEditor::MouseButton;

namespace {

// The text of quoted-printable lines as a reader decodes it.
QByteArray decodeQp(QByteArray text)
{
    text.replace("=\r\n", "");
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            out += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

QByteArray headOf(const QByteArray& message)
{
    return message.left(message.indexOf("\r\n\r\n"));
}

QByteArray bodyOf(const QByteArray& message)
{
    return message.mid(message.indexOf("\r\n\r\n") + 4);
}

QByteArray header(const QByteArray& message, const QByteArray& name)
{
    for (const QByteArray& line : headOf(message).split('\n'))
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    return {};
}

// The part of a multipart message whose Content-Type begins with `type`, as
// it was sent (headers and encoded body); empty when there is none.
QByteArray partOf(const QByteArray& message, const QByteArray& type)
{
    const QByteArray contentType = header(message, "Content-Type");
    const qsizetype at = contentType.indexOf("boundary=\"");
    if (at < 0)
        return {};
    const QByteArray boundary = "--" + contentType.mid(at + 10).chopped(1);
    const QByteArray body = bodyOf(message);
    for (qsizetype from = body.indexOf(boundary + "\r\n"); from >= 0;) {
        from += boundary.size() + 2;
        const qsizetype to = body.indexOf("\r\n" + boundary, from);
        if (to < 0)
            return {};
        const QByteArray part = body.mid(from, to - from);
        if (header(part, "Content-Type").startsWith(type))
            return part;
        from = body.indexOf(boundary + "\r\n", to);
    }
    return {};
}

// The text of a part as a reader decodes it.
QByteArray textOf(const QByteArray& part)
{
    const QByteArray body = bodyOf(part);
    return header(part, "Content-Transfer-Encoding") == "quoted-printable" ? decodeQp(body) : body;
}

const QByteArray kBoard = "[Tabs]\r\nCount=1\r\nTab1=News\r\n"
                          "[News]\r\n01N=Daily\r\n01U=http://daily.example/\r\n01P=first|~second\r\n"
                          "01S=raw|~extra\r\n";

// A board on a file with one bookmark, with a profile that can send mail.
struct MailFixture : LaunchFixture
{
    explicit MailFixture(const QByteArray& user = "[User]\r\nEmail=me@example.org\r\nMailS=127.0.0.1:2525\r\n")
    {
        writeFile("Disk.LYK", kBoard);
        if (!user.isEmpty())
            writeFile("lyk.use", user);
        start();
    }
    std::unique_ptr<MailDialog> dialog(const QByteArray& scope = "One",
                                       const QList<MailedBookmark>& work = {{"http://daily.example/", "Daily"}})
    {
        auto d = std::make_unique<MailDialog>(*board, mail);
        d->scope = scope;
        d->workText = work;
        d->FormShow();
        d->FormActivate();
        return d;
    }
    QByteArray use(const QByteArray& section, const QByteArray& k) { return key("lyk.use", section, k); }
};

} // namespace

class TestMail : public QObject
{
    Q_OBJECT
private slots:
    void singleAddresses_data();
    void singleAddresses();
    void messageHeadersAndBody();
    void linksGoAsTextAndAsHtml_data();
    void linksGoAsTextAndAsHtml();
    void charsetAndEncodingFollowTheText_data();
    void charsetAndEncodingFollowTheText();
    void subjectsOutsideAsciiAreEncodedWords();

    void profileLoadsAndSaves();
    void userFileFollowsTheStem();
    void clipboardEntries_data();
    void clipboardEntries();
    void textFileToClipboard();

    void typedRecipientIsAddedOnce();
    void insertAndDeleteKeepTheList();
    void groupsLoad();
    void commentFontIsRemembered();
    void scopeRule_data();
    void scopeRule();
    void refusals_data();
    void refusals();
    void missingSenderOrServerIsSaid_data();
    void missingSenderOrServerIsSaid();
    void includeAllSendsOneMessagePerAddress();
    void failureKeepsTheDialogOpenAndCancelStops();
    void bookmarkDialogEmailOpensTheMailDialog();
};

void TestMail::singleAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("single");
    QTest::newRow("plain") << "me@example.org" << true;
    QTest::newRow("plus and dots") << "first.last+tag@mail.example.org" << true;
    QTest::newRow("local host") << "root@localhost" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no at") << "example.org" << false;
    QTest::newRow("two addresses") << "a@example.org, b@example.org" << false;
    QTest::newRow("semicolon list") << "a@example.org;b@example.org" << false;
    QTest::newRow("display name") << "Me <me@example.org>" << false;
    QTest::newRow("line break") << "me@example.org\r\nBcc: x@example.org" << false;
    QTest::newRow("blank") << "me @example.org" << false;
    QTest::newRow("two ats") << "a@b@example.org" << false;
    QTest::newRow("starts with at") << "@example.org" << false;
}

void TestMail::singleAddresses()
{
    QFETCH(QString, text);
    QFETCH(bool, single);
    QCOMPARE(MailText::isSingleAddress(text), single);
}

void TestMail::messageHeadersAndBody()
{
    MailText::Message m;
    m.from = QStringLiteral("me@example.org");
    m.to = QStringLiteral("you@example.org");
    m.subject = QStringLiteral("Bookmarks");
    m.lines = QStringList{QStringLiteral("Hello"), QStringLiteral(" "), QStringLiteral("Bye")};
    m.date = QDateTime(QDate(2026, 12, 10), QTime(15, 0), Qt::UTC);
    const QByteArray text = MailText::Compose(m);
    const QList<QByteArray> head = headOf(text).split('\n');
    QCOMPARE(head.value(0), QByteArray("From: me@example.org\r"));
    QCOMPARE(head.value(1), QByteArray("To: you@example.org\r"));
    QCOMPARE(head.value(2), QByteArray("Subject: Bookmarks\r"));
    QCOMPARE(head.value(3), QByteArray("Date: 10 Dec 2026 15:00:00 +0000\r"));
    QVERIFY(head.value(4).startsWith("Message-ID: <"));
    QVERIFY(head.value(4).endsWith("@example.org>\r"));
    QCOMPARE(head.value(5), QByteArray("Mime-Version: 1.0\r"));
    QCOMPARE(head.value(6), QByteArray("Content-Type: text/plain; charset=\"iso-8859-1\"\r"));
    QCOMPARE(head.value(7), QByteArray("Content-Transfer-Encoding: 7bit"));
    QCOMPARE(bodyOf(text), QByteArray("Hello\r\n \r\nBye\r\n"));
}

void TestMail::linksGoAsTextAndAsHtml_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("html");
    QTest::newRow("web address") << "http://daily.example/"
                                 << "Daily" << QByteArray("http://daily.example/ > Daily <")
                                 << QByteArray("<a href=\"http://daily.example/\">Daily</a><br>");
    QTest::newRow("markup in title and address")
        << "https://a.example/?x=1&y=\"2\""
        << "<b>Bold</b> & co" << QByteArray("https://a.example/?x=1&y=\"2\" > <b>Bold</b> & co <")
        << QByteArray(
               "<a href=\"https://a.example/?x=1&amp;y=&quot;2&quot;\">&lt;b&gt;Bold&lt;/b&gt; &amp; co</a><br>");
    QTest::newRow("no title") << "ftp://files.example/"
                              << "" << QByteArray("ftp://files.example/ >  <")
                              << QByteArray("<a href=\"ftp://files.example/\">ftp://files.example/</a><br>");
    QTest::newRow("a program is no link")
        << "/usr/bin/editor"
        << "Editor" << QByteArray("/usr/bin/editor > Editor <") << QByteArray("/usr/bin/editor &gt; Editor &lt;<br>");
    QTest::newRow("a script is no link") << "javascript:alert(1)"
                                         << "Tricky" << QByteArray("javascript:alert(1) > Tricky <")
                                         << QByteArray("javascript:alert(1) &gt; Tricky &lt;<br>");
}

void TestMail::linksGoAsTextAndAsHtml()
{
    QFETCH(QString, url);
    QFETCH(QString, title);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, html);
    MailText::Message m{QStringLiteral("me@example.org"),
                        QStringLiteral("you@example.org"),
                        QStringLiteral("Bookmarks"),
                        {QStringLiteral("Look <here>"), QStringLiteral("  two blanks"), QStringLiteral(" ")},
                        QDateTime::currentDateTime(),
                        {{url, title}}};
    const QByteArray text = MailText::Compose(m);
    QVERIFY(header(text, "Content-Type").startsWith("multipart/alternative; boundary=\""));
    QCOMPARE(header(text, "Mime-Version"), QByteArray("1.0"));
    // Plain text: the comments, then the bookmark as its line.
    const QByteArray textPart = partOf(text, "text/plain");
    QCOMPARE(header(textPart, "Content-Type"), QByteArray("text/plain; charset=\"iso-8859-1\""));
    QCOMPARE(textOf(textPart), "Look <here>\r\n  two blanks\r\n \r\n" + plain + "\r\n");
    // HTML: the same text escaped, with its blanks, and the link.
    const QByteArray htmlPart = partOf(text, "text/html");
    QCOMPARE(header(htmlPart, "Content-Type"), QByteArray("text/html; charset=\"iso-8859-1\""));
    const QByteArray shown = textOf(htmlPart);
    QVERIFY2(shown.contains("<body>\r\nLook &lt;here&gt;<br>\r\n&nbsp;&nbsp;two blanks<br>\r\n&nbsp;<br>\r\n" + html +
                            "\r\n</body></html>"),
             shown.constData());
    QVERIFY(shown.contains("charset=iso-8859-1"));
    // The message ends with the closing boundary.
    QVERIFY(text.endsWith("--\r\n"));
}

void TestMail::charsetAndEncodingFollowTheText_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("ascii") << "plain words" << QByteArray("iso-8859-1") << QByteArray("7bit");
    QTest::newRow("latin-1") << "café crème" << QByteArray("iso-8859-1") << QByteArray("quoted-printable");
    QTest::newRow("euro sign") << "price 5 €" << QByteArray("utf-8") << QByteArray("quoted-printable");
    QTest::newRow("japanese") << "ブックマーク" << QByteArray("utf-8") << QByteArray("quoted-printable");
    QTest::newRow("long ascii line") << QString(2000, QLatin1Char('x')) << QByteArray("iso-8859-1")
                                     << QByteArray("quoted-printable");
    QTest::newRow("dot line") << "." << QByteArray("iso-8859-1") << QByteArray("7bit");
    QTest::newRow("equals and trailing blank") << "a=b " << QByteArray("iso-8859-1") << QByteArray("7bit");
}

void TestMail::charsetAndEncodingFollowTheText()
{
    QFETCH(QString, line);
    QFETCH(QByteArray, charset);
    QFETCH(QByteArray, encoding);
    MailText::Message m{QStringLiteral("me@example.org"),
                        QStringLiteral("you@example.org"),
                        QStringLiteral("s"),
                        QStringList{QStringLiteral("before"), line, QStringLiteral("after")},
                        QDateTime::currentDateTime(),
                        {}};
    const QByteArray text = MailText::Compose(m);
    QCOMPARE(header(text, "Content-Type"), "text/plain; charset=\"" + charset + "\"");
    QCOMPARE(header(text, "Content-Transfer-Encoding"), encoding);
    QByteArray body = bodyOf(text);
    for (const QByteArray& l : body.split('\n'))
        QVERIFY2(l.size() <= (encoding == "7bit" ? 999 : 77), l.constData());
    if (encoding == "quoted-printable")
        body = decodeQp(body);
    const QByteArray bytes = charset == "utf-8" ? line.toUtf8() : line.toLatin1();
    // Nothing the user typed is lost or cut.
    QCOMPARE(body, "before\r\n" + bytes + "\r\nafter\r\n");
}

void TestMail::subjectsOutsideAsciiAreEncodedWords()
{
    for (const QString& subject : {QStringLiteral("Grüße aus Köln"), QStringLiteral("Ссылки на неделю и ещё немного "
                                                                                    "текста для длинной темы")}) {
        const QByteArray encoded = MailText::EncodeSubject(subject);
        QByteArray decoded;
        static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]+)\\?="));
        for (const QByteArray& line : encoded.split('\n')) {
            QVERIFY2(line.size() <= 77, line.constData());
            const auto match = word.match(QString::fromLatin1(line));
            QVERIFY2(match.hasMatch(), line.constData());
            decoded += QByteArray::fromBase64(match.captured(1).toLatin1());
        }
        QCOMPARE(QString::fromUtf8(decoded), subject);
    }
    QCOMPARE(MailText::EncodeSubject(QStringLiteral("Bookmarks")), QByteArray("Bookmarks"));
}

void TestMail::profileLoadsAndSaves()
{
    MailFixture f("[User]\r\nFirst=Ann\r\nMailS=mail.example.org\r\n");
    UserProfile p(f.files);
    p.FormActivate();
    QCOMPARE(p.values.size(), UserProfile::kCount);
    QCOMPARE(p.values[0], QStringLiteral("Ann"));
    QCOMPARE(p.values[UserProfile::kMailServer], QStringLiteral("mail.example.org"));
    // "Your URL" proposes "http://" until an address is saved, and saving writes it.
    QCOMPARE(p.values[UserProfile::kUrl], QStringLiteral("http://"));
    p.values[1] = QStringLiteral("Ämter");
    const int savesBefore = f.store.writes();
    QVERIFY(p.SpeedButton1Click());
    QCOMPARE(f.store.writes(), savesBefore + 1);
    QCOMPARE(f.use("User", "URL"), QByteArray("http://"));
    QCOMPARE(f.use("User", "Last"), QByteArray("\xc4mter"));
    QCOMPARE(f.use("User", "Misc"), QByteArray());
    QCOMPARE(p.Label1MouseDown(1), QStringLiteral("Ämter"));

    // No user file: empty fields, and Save creates it.
    MailFixture none{QByteArray()};
    UserProfile q(none.files);
    q.FormActivate();
    QCOMPARE(q.values[0], QString());
    q.values[0] = QStringLiteral("Bo");
    q.SpeedButton1Click();
    QCOMPARE(none.use("User", "First"), QByteArray("Bo"));
    // Every key is written, in the table's order.
    const QByteArray text = none.readFile("lyk.use");
    qsizetype at = 0;
    for (const UserProfile::Field& field : UserProfile::Fields()) {
        const qsizetype next = text.indexOf("\r\n" + QByteArray(field.key) + "=", at);
        QVERIFY2(next > at || (at == 0 && next >= 0), field.key);
        at = next;
    }
    QVERIFY(QFile::exists(QString::fromUtf8(none.path("lyk.use"))));
}

void TestMail::userFileFollowsTheStem()
{
    // Found without regard to letter case; a new one gets the usual spelling.
    MailFixture f{QByteArray()};
    QCOMPARE(f.files.userFilePath(), f.path("lyk.use"));
    f.writeFile("LYK.USE", "[User]\r\nFirst=Old\r\n");
    QCOMPARE(f.files.userFilePath(), f.path("LYK.USE"));
    f.files.setSettingsStem("Work");
    QCOMPARE(f.files.userFilePath(), f.path("Work.USE"));
    f.writeFile("work.use", "[User]\r\nFirst=Kim\r\n");
    QCOMPARE(f.files.userFilePath(), f.path("work.use"));
    f.exchange.userInfo().FirstClick("First");
    QCOMPARE(f.clipboard.content, QStringLiteral("Kim"));
}

void TestMail::clipboardEntries_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("copied");
    const QByteArray full = "[User]\r\nFirst=Ann\r\nLast=Lee\r\nPhone=555 1234\r\nEmail=ann@example.org\r\n";
    QTest::newRow("first") << full << QByteArray("First") << "Ann";
    QTest::newRow("phone") << full << QByteArray("Phone") << "555 1234";
    QTest::newRow("email") << full << QByteArray("Email") << "ann@example.org";
    QTest::newRow("full name") << full << QByteArray("Full") << "Ann Lee";
    QTest::newRow("full name, last only") << QByteArray("[User]\r\nLast=Lee\r\n") << QByteArray("Full") << " Lee";
    QTest::newRow("empty value") << full << QByteArray("Fax") << "";
    QTest::newRow("no user file") << QByteArray() << QByteArray("First") << "";
    QTest::newRow("notes, line breaks restored") << full << QByteArray("UserID1") << "first\r\nsecond";
    QTest::newRow("extra info, raw") << full << QByteArray("WebPass") << "raw|~extra";
}

void TestMail::clipboardEntries()
{
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, entry);
    QFETCH(QString, copied);
    MailFixture f(user);
    f.clipboard.content = QStringLiteral("old");
    f.board->vars().CurrentButton = "B01";
    UserInfo& info = f.exchange.userInfo();
    if (entry == "UserID1" || entry == "WebPass")
        info.UserID1Click(entry);
    else
        info.FirstClick(entry);
    QCOMPARE(f.clipboard.content, copied);
    QVERIFY(f.clipboard.cleared > 0);
}

void TestMail::textFileToClipboard()
{
    MailFixture f;
    f.writeFile("notes.txt", "line one\r\nGr\xc3\xbc\xc3\x9f"
                             "e\r\n");
    f.ui.answer(QString::fromUtf8(f.path("notes.txt")));
    f.exchange.userInfo().TextClick();
    QCOMPARE(f.ui.asked.last().text, QStringLiteral("Select Text File"));
    QCOMPARE(f.ui.asked.last().options.value(0), QStringLiteral("Text Files|*.txt|All Files|*.*"));
    QCOMPARE(f.clipboard.content, QStringLiteral("line one\r\nGrüße\r\n"));
    // Cancel changes nothing.
    f.ui.answer(QString());
    f.exchange.userInfo().TextClick();
    QCOMPARE(f.clipboard.content, QStringLiteral("line one\r\nGrüße\r\n"));
    // A file that cannot be read is said, and the clipboard stays.
    f.ui.answer(QString::fromUtf8(f.path("missing.txt")));
    f.exchange.userInfo().TextClick();
    QVERIFY(f.ui.messages().last().contains(QLatin1String("cannot be read")));
    QCOMPARE(f.clipboard.content, QStringLiteral("line one\r\nGrüße\r\n"));
}

void TestMail::typedRecipientIsAddedOnce()
{
    MailFixture f(
        "[User]\r\nEmail=me@example.org\r\nMailS=127.0.0.1:2525\r\n[Address]\r\nCount=1\r\n1=zed@example.org\r\n");
    auto d = f.dialog();
    QCOMPARE(d->caption, QStringLiteral(" E-Mail Options - [ LYK ]"));
    QCOMPARE(d->subject, QStringLiteral("Bookmarks"));
    for (int round = 0; round < 2; ++round) {
        d->recipient = QStringLiteral("Amy@example.org");
        d->Button1Click();
        QTRY_VERIFY(!d->sending());
    }
    d->recipient = QStringLiteral("amy@example.org"); // the same address in other letters
    d->Button1Click();
    QTRY_VERIFY(!d->sending());
    QCOMPARE(d->addresses, (QStringList{QStringLiteral("Amy@example.org"), QStringLiteral("zed@example.org")}));
    QCOMPARE(f.use("Address", "Count"), QByteArray("2"));
    QCOMPARE(f.use("Address", "1"), QByteArray("Amy@example.org"));
    QCOMPARE(f.use("Address", "2"), QByteArray("zed@example.org"));
    QCOMPARE(f.mail.jobs.size(), 3);
    QCOMPARE(f.ui.messages().last(), QStringLiteral("The e-mail was sent to amy@example.org."));
}

void TestMail::insertAndDeleteKeepTheList()
{
    MailFixture f("[User]\r\nEmail=me@example.org\r\n[Address]\r\nCount=3\r\n1=b@example.org\r\n2=a@example.org\r\n"
                  "3=c@example.org\r\n");
    auto d = f.dialog();
    QCOMPARE(d->addresses, (QStringList{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                                        QStringLiteral("c@example.org")}));
    d->recipient = QStringLiteral("B@example.org");
    d->Edit1KeyDown(MailDialog::kDeleteKey);
    QCOMPARE(f.ui.beeps, 1);
    QCOMPARE(d->addresses, (QStringList{QStringLiteral("a@example.org"), QStringLiteral("c@example.org")}));
    QCOMPARE(f.use("Address", "Count"), QByteArray("2"));
    QCOMPARE(f.use("Address", "2"), QByteArray("c@example.org"));
    // The section was erased and written again: no third key is left over.
    QCOMPARE(f.use("Address", "3"), QByteArray());
    d->recipient = QStringLiteral("b@example.org");
    d->Edit1KeyDown(MailDialog::kInsertKey);
    QCOMPARE(f.ui.beeps, 2);
    d->Edit1KeyDown(MailDialog::kInsertKey); // already there
    QCOMPARE(f.ui.beeps, 2);
    QCOMPARE(f.use("Address", "Count"), QByteArray("3"));
    QCOMPARE(f.use("Address", "2"), QByteArray("b@example.org"));
    d->recipient = QStringLiteral("x@example.org, y@example.org");
    d->Edit1KeyDown(MailDialog::kInsertKey);
    QVERIFY(f.ui.messages().last().contains(QLatin1String("is not a single e-mail address")));
    QCOMPARE(d->addresses.size(), 3);
}

void TestMail::groupsLoad()
{
    MailFixture f;
    f.writeFile("Friends.use", "[Address]\r\nCount=2\r\n1=kim@example.org\r\n2=al@example.org\r\n");
    auto d = f.dialog();
    f.ui.answer(QString::fromUtf8(f.path("Friends.use")));
    d->EGroupClick();
    const ScriptedPrompter::Question& q = f.ui.asked.last();
    QCOMPARE(q.text, QStringLiteral("Select an E-Mail Group"));
    QCOMPARE(q.options.value(0), QStringLiteral("E-Mail Groups|*.use"));
    QCOMPARE(q.helpContext, MailDialog::kGroupHelpContext);
    QCOMPARE(d->caption, QStringLiteral(" E-Mail Options - [ Friends ]"));
    QCOMPARE(d->addresses, (QStringList{QStringLiteral("al@example.org"), QStringLiteral("kim@example.org")}));
    // The group is the list that is kept now.
    d->recipient = QStringLiteral("new@example.org");
    d->Edit1KeyDown(MailDialog::kInsertKey);
    QCOMPARE(f.key("Friends.use", "Address", "Count"), QByteArray("3"));
    QCOMPARE(f.use("Address", "Count"), QByteArray());
    // Showing the dialog again starts from the user file.
    auto again = f.dialog();
    QCOMPARE(again->addresses, QStringList());
    QCOMPARE(again->addressFile(), f.files.userFilePath());
}

void TestMail::commentFontIsRemembered()
{
    MailFixture f;
    auto d = f.dialog();
    QCOMPARE(d->commentFont.name, QStringLiteral("Arial"));
    QCOMPARE(d->commentFont.size, 10);
    f.ui.answer(QVariant::fromValue(FontChoice{QStringLiteral("DejaVu Serif"), 14, 0}));
    d->Memo1MouseDown();
    QCOMPARE(f.use("CommentFont", "Name"), QByteArray("DejaVu Serif"));
    QCOMPARE(f.use("CommentFont", "Size"), QByteArray("14"));
    QCOMPARE(f.dialog()->commentFont.size, 14);
}

void TestMail::scopeRule_data()
{
    QTest::addColumn<QByteArray>("scope");
    QTest::addColumn<int>("shown");
    QTest::newRow("one") << QByteArray("One") << 1;
    QTest::newRow("all") << QByteArray("All") << 2;
    QTest::newRow("page") << QByteArray("Page") << 3;
}

void TestMail::scopeRule()
{
    QFETCH(QByteArray, scope);
    QFETCH(int, shown);
    MailFixture f;
    auto d = f.dialog(scope);
    QCOMPARE(d->bookmarkChoice, shown);
    // Only "Do not send bookmarks." or the caller's kind can be chosen.
    for (int pick : {0, 1, 2, 3}) {
        d->BMGroupClick(pick);
        QCOMPARE(d->bookmarkChoice, pick == 0 ? 0 : shown);
    }
    // Without bookmarks only the comments and the blank line go.
    d->BMGroupClick(0);
    d->recipient = QStringLiteral("you@example.org");
    d->comments = QStringLiteral("Hi");
    d->Button1Click();
    QTRY_VERIFY(!d->sending());
    QCOMPARE(bodyOf(f.mail.jobs.last().message), QByteArray("Hi\r\n \r\n"));
}

void TestMail::refusals_data()
{
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("said");
    QTest::newRow("no recipient") << ""
                                  << "Bookmarks"
                                  << "Please type the e-mail address to send to.";
    QTest::newRow("two recipients") << "a@example.org, b@example.org"
                                    << "Bookmarks"
                                    << "\"a@example.org, b@example.org\" is not a single e-mail address";
    QTest::newRow("header in recipient") << "a@example.org\r\nBcc: all@example.org"
                                         << "Bookmarks"
                                         << "is not a single e-mail address";
    QTest::newRow("header in subject") << "a@example.org"
                                       << "Hi\r\nBcc: all@example.org"
                                       << "The subject must be a single line.";
}

void TestMail::refusals()
{
    QFETCH(QString, recipient);
    QFETCH(QString, subject);
    QFETCH(QString, said);
    MailFixture f;
    auto d = f.dialog();
    d->recipient = recipient;
    d->subject = subject;
    d->Button1Click();
    QVERIFY(!d->sending());
    QVERIFY2(f.ui.messages().value(0).contains(said), qPrintable(f.ui.messages().value(0)));
    QCOMPARE(f.mail.jobs.size(), 0);
    QCOMPARE(f.use("Address", "Count"), QByteArray());

    // A sender with a line break in the profile is refused too.
    MailFixture g("[User]\r\nEmail=me@example.org|x\r\nMailS=127.0.0.1:2525\r\n");
    auto e = g.dialog();
    e->recipient = QStringLiteral("you@example.org");
    e->Button1Click();
    QVERIFY(g.ui.messages().value(0).contains(QLatin1String("is not a single e-mail address")));
    QCOMPARE(g.mail.jobs.size(), 0);
}

void TestMail::missingSenderOrServerIsSaid_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("said");
    QTest::newRow("no sender") << QByteArray("[User]\r\nMailS=127.0.0.1:2525\r\n")
                               << "You need to include your e-mail address in your user information";
    QTest::newRow("no server") << QByteArray("[User]\r\nEmail=me@example.org\r\n")
                               << "You need to have a mail server listed in your user information";
    QTest::newRow("no user file") << QByteArray() << "You need to include your e-mail address in your user information";
}

void TestMail::missingSenderOrServerIsSaid()
{
    QFETCH(QByteArray, user);
    QFETCH(QString, said);
    MailFixture f(user);
    auto d = f.dialog();
    d->recipient = QStringLiteral("you@example.org");
    d->Button1Click();
    QCOMPARE(f.ui.messages(), QStringList{said});
    QCOMPARE(f.ui.asked.last().buttons, Prompter::Buttons::OkHelp);
    QCOMPARE(f.ui.asked.last().helpContext, MailDialog::kHelpContext);
    QCOMPARE(f.mail.jobs.size(), 0);
    QVERIFY(!d->sending());
}

void TestMail::includeAllSendsOneMessagePerAddress()
{
    MailFixture f("[User]\r\nEmail=me@example.org\r\nMailS=smtp://mail.example.org:587\r\n[Address]\r\nCount=3\r\n"
                  "1=c@example.org\r\n2=a@example.org\r\n3=b@example.org\r\n");
    auto d = f.dialog("Page", {{"http://one.example/", "One"}, {"http://two.example/", "Two"}});
    bool closed = false;
    connect(d.get(), &MailDialog::closeRequested, this, [&] { closed = true; });
    d->includeAll = true;
    d->comments = QStringLiteral("Line one\nLine two");
    d->Button1Click();
    QVERIFY(d->sending());
    QTRY_VERIFY(!d->sending());
    QCOMPARE(f.mail.jobs.size(), 3);
    QStringList to;
    for (const SmtpJob& j : std::as_const(f.mail.jobs)) {
        to << QString::fromLatin1(j.recipient);
        QCOMPARE(header(j.message, "To"), j.recipient);
        QCOMPARE(j.sender, QByteArray("me@example.org"));
        QCOMPARE(j.server, QByteArray("smtp://mail.example.org:587"));
        QCOMPARE(j.replyTimeoutSeconds, 15);
        QCOMPARE(
            textOf(partOf(j.message, "text/plain")),
            QByteArray("Line one\r\nLine two\r\n \r\nhttp://one.example/ > One <\r\nhttp://two.example/ > Two <\r\n"));
    }
    QCOMPARE(to, (QStringList{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                              QStringLiteral("c@example.org")}));
    QCOMPARE(d->sentTo().size(), 3);
    QVERIFY(closed);
    QCOMPARE(f.ui.messages().last(), QStringLiteral("The e-mail was sent to 3 addresses."));
    d->FormClose();
    QVERIFY(!d->includeAll);
}

void TestMail::failureKeepsTheDialogOpenAndCancelStops()
{
    MailFixture f;
    auto d = f.dialog();
    bool closed = false;
    connect(d.get(), &MailDialog::closeRequested, this, [&] { closed = true; });
    f.mail.answer = SmtpResult{false,
                               false,
                               false,
                               550,
                               QStringLiteral("550 no such user"),
                               QStringLiteral("The mail server '127.0.0.1' answered: 550 no such user")};
    d->recipient = QStringLiteral("you@example.org");
    d->Button1Click();
    QTRY_VERIFY(!d->sending());
    QVERIFY(!closed);
    QCOMPARE(f.ui.messages().last(), QStringLiteral("The e-mail could not be sent.\n\nyou@example.org: The mail server "
                                                    "'127.0.0.1' answered: 550 no such user"));
    // Cancel while sending: the job is stopped, the dialog stays.
    d->Button1Click();
    QVERIFY(d->sending());
    d->cancelSending();
    QVERIFY(!d->sending());
    QCOMPARE(f.mail.cancelled, QList<quint64>{2});
    QCOMPARE(f.ui.messages().last(), QStringLiteral("Sending was cancelled."));
    QTest::qWait(20);
    QVERIFY(!closed);
    // Closing while sending cancels too.
    d->Button1Click();
    d->CloseButtonClick();
    QVERIFY(closed);
    QCOMPARE(f.mail.cancelled, (QList<quint64>{2, 3}));
}

void TestMail::bookmarkDialogEmailOpensTheMailDialog()
{
    MailFixture f;
    f.ui.bookmarkDialogs.push_back([](BookmarkDialog& d) { QVERIFY(d.EMailBtnClick()); });
    QList<MailedBookmark> work;
    QByteArray scope;
    int choice = -1;
    f.ui.mailDialogs.push_back([&](MailDialog& d) {
        work = d.workText;
        scope = d.scope;
        choice = d.bookmarkChoice;
    });
    f.board->command([&] { f.board->editor().BitBtn1MouseDown("B01", MouseButton::Right); });
    QCOMPARE(scope, QByteArray("One"));
    QCOMPARE(choice, 1);
    QCOMPARE(work, (QList<MailedBookmark>{{"http://daily.example/", "Daily"}}));
}

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
