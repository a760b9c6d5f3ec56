#include "BoardFixture.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "Passwords.h"

#include <QtTest>

using Answer = Prompter::Answer;

namespace {

QByteArray pageWithSlots()
{
    QByteArray text = "[Tabs]\r\nCount=3\r\nTab1=Home\r\nTab2=Bank\r\nTab3=Bankers\r\n[Bank]\r\n";
    // Slot 75 lies beyond three columns: protection covers all 80 slots anyway.
    for (int n : {1, 2, 75}) {
        const QByteArray k = QByteArray::number(n).rightJustified(2, '0');
        text += k + "N=Site " + k + "\r\n" + k + "U=http://site" + k + ".example/\r\n";
    }
    text += "03N=Title without address\r\n";
    return text;
}

} // namespace

class TestPasswords : public QObject
{
    Q_OBJECT
private slots:
    void filePasswordLocksTheNextOpening();
    void fileAlreadyProtected();
    void unlockKeepingTheProtection();
    void unlockRemovingTheProtection();
    void fileWithoutVersionMarkOpensWithItsPassword();
    void wrongFilePassword();
    void protectAndUnprotectAPage();
    void emptyPasswordChangesNothing();
    void passwordThatCannotBeStoredProtectsNothing();
    void enteringAProtectedPage();
    void prefixRuleForPages();
    void unprotectWithoutEntry();
};

void TestPasswords::filePasswordLocksTheNextOpening()
{
    BoardFixture f;
    f.start();
    f.ui.answer(QStringLiteral("abc"));
    f.board->passwords().MProgPassClick();
    // A new password is typed twice (masked), and the box says what it is for.
    QVERIFY(f.ui.asked.back().newPassword);
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("Password for the file \"Disk.LYK\":"));
    QCOMPARE(f.key("Disk.LYK", "Tabs", "\xDF_\xB6__"), QByteArray("acd"));
    QCOMPARE(f.key("Disk.LYK", "Program", "Version"), QByteArray("3.x"));
    QVERIFY(!f.state.locked()); // open until the next opening

    BoardFixture g;
    g.writeFile("Disk.LYK", f.readFile("Disk.LYK"));
    g.start();
    QVERIFY(g.state.locked());
    QCOMPARE(g.board->vars().FilePasswordValue, QByteArray("acd3.x"));
}

void TestPasswords::fileAlreadyProtected()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Program]\r\nVersion=3.x\r\n");
    f.start();
    f.board->passwords().MProgPassClick();
    QCOMPARE(f.ui.messages(), QStringList{"File already Protected!"});
}

void TestPasswords::unlockKeepingTheProtection()
{
    BoardFixture f;
    const QByteArray locked = "[Tabs]\r\nCount=2\r\nTab1=Home\r\n\xDF_\xB6__=acd\r\n[Program]\r\nVersion=3.x\r\n"
                              "[Home]\r\n01N=Mail\r\n01U=http://mail.example/\r\n";
    f.writeFile("Disk.LYK", locked);
    f.start();
    QVERIFY(!f.state.buttons()[0].enabled);
    f.ui.answer(QStringLiteral("abc"));
    f.ui.answer(QVariant::fromValue(Answer::No));
    f.board->passwords().ProgPassButtonClick();
    QCOMPARE(f.ui.asked[0].kind, QStringLiteral("password"));
    QVERIFY(!f.ui.asked[0].newPassword);
    QCOMPARE(f.ui.asked[0].text, QStringLiteral("Password for the file \"Disk.LYK\":"));
    QCOMPARE(f.ui.asked[1].text, QStringLiteral("Remove Password Protection?"));
    QCOMPARE(f.ui.asked[1].type, Prompter::Type::Confirmation);
    QVERIFY(!f.state.locked());
    QVERIFY(f.state.tabStripVisible());
    QVERIFY(f.board->vars().FilePasswordValue.isEmpty());
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Mail"));
    QVERIFY(f.state.buttons()[0].enabled);
    QCOMPARE(f.readFile("Disk.LYK"), locked); // still protected on disk
}

void TestPasswords::unlockRemovingTheProtection()
{
    BoardFixture f;
    f.writeFile("Disk.LYK",
                "[Tabs]\r\nCount=1\r\n\xDF_\xB6__=acd\r\n[Program]\r\nVersion=3.x\r\n[Page1]\r\n01N=a\r\n01U=b\r\n");
    f.start();
    f.ui.answer(QStringLiteral("abc"));
    f.ui.answer(QVariant::fromValue(Answer::Yes));
    f.board->passwords().ProgPassButtonClick();
    QVERIFY(!f.state.locked());
    const QByteArray after = f.readFile("Disk.LYK");
    QVERIFY(after.contains("\xDF_\xB6__=\r\n"));
    QVERIFY(!after.contains("[Program]"));
    BoardFixture g;
    g.writeFile("Disk.LYK", after);
    g.start();
    QVERIFY(!g.state.locked());
}

void TestPasswords::fileWithoutVersionMarkOpensWithItsPassword()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\n\xDF_\xB6__=acd\r\n");
    f.start();
    QVERIFY(f.state.locked());
    f.ui.answer(QStringLiteral("abc"));
    f.ui.answer(QVariant::fromValue(Answer::No));
    f.board->passwords().ProgPassButtonClick();
    QVERIFY(!f.state.locked());
}

void TestPasswords::wrongFilePassword()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\n\xDF_\xB6__=acd\r\n");
    f.start();
    f.ui.answer(QStringLiteral("abd"));
    f.board->passwords().ProgPassButtonClick();
    QCOMPARE(f.ui.messages(), QStringList{"Invalid Password!"});
    QVERIFY(f.state.locked());
}

void TestPasswords::protectAndUnprotectAPage()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", pageWithSlots());
    f.start();
    f.board->pages().MColumn2Click(3);
    f.board->pages().selectTab(1);
    f.ui.answer(QStringLiteral("pw"));
    f.board->passwords().MPagePassClick();
    QVERIFY(f.state.checked(MenuItem::MPagePass));
    for (const QByteArray k : {"01", "02", "75"}) {
        const QByteArray url = f.key("Disk.LYK", "Bank", k + "U");
        QCOMPARE(url, PassText::Encrypt("http://site" + k + ".example/", "pw"));
    }
    QCOMPARE(f.key("Disk.LYK", "Bank", "03U"), QByteArray());
    // The list is in the file at once, not only when the window closes.
    QCOMPARE(f.key("Disk.LYK", "Tabs", "P_\xDF_\xB6_"), PassText::scramble("Bankpw") + "\xA7");
    QCOMPARE(f.board->PagePassBox().entries(), QList<QByteArray>{"Bankpw"});

    f.ui.answer(QStringLiteral("wrong"));
    f.board->passwords().MPagePassClick();
    QCOMPARE(f.ui.messages(), QStringList{"Invalid Password!"});
    QVERIFY(f.state.checked(MenuItem::MPagePass));

    f.ui.answer(QStringLiteral("pw"));
    f.board->passwords().MPagePassClick();
    QVERIFY(!f.state.checked(MenuItem::MPagePass));
    QCOMPARE(f.key("Disk.LYK", "Bank", "75U"), QByteArray("http://site75.example/"));
    QCOMPARE(f.key("Disk.LYK", "Bank", "01U"), QByteArray("http://site01.example/"));
    QVERIFY(f.board->PagePassBox().entries().isEmpty());
}

void TestPasswords::emptyPasswordChangesNothing()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", pageWithSlots());
    f.start();
    f.board->pages().selectTab(1);
    const QByteArray before = f.readFile("Disk.LYK");
    f.ui.answer(QString());
    f.board->passwords().MPagePassClick();
    QCOMPARE(f.readFile("Disk.LYK"), before);
    QVERIFY(!f.state.checked(MenuItem::MPagePass));
}

void TestPasswords::passwordThatCannotBeStoredProtectsNothing()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n01N=Fine\r\n01U=http://fine.example/\r\n"
                            "02N=Odd\r\n02U=abc\xB4\r\n");
    f.start();
    const QByteArray before = f.readFile("Disk.LYK");
    f.ui.answer(QStringLiteral("pw"));
    f.board->passwords().MPagePassClick();
    QCOMPARE(f.ui.messages().size(), 1);
    QVERIFY(f.ui.messages().front().contains(QStringLiteral("\"Odd\"")));
    QCOMPARE(f.readFile("Disk.LYK"), before);
    QVERIFY(f.board->PagePassBox().entries().isEmpty());
    QVERIFY(!f.state.checked(MenuItem::MPagePass));
}

void TestPasswords::enteringAProtectedPage()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", pageWithSlots());
    f.start();
    f.board->pages().selectTab(1);
    f.ui.answer(QStringLiteral("pw"));
    f.board->passwords().MPagePassClick();
    f.board->pages().selectTab(0);
    QVERIFY(!f.state.checked(MenuItem::MPagePass));

    f.ui.answer(QStringLiteral("nope"));
    f.board->pages().selectTab(1);
    QCOMPARE(f.state.tabIndex(), 0);
    QCOMPARE(f.ui.messages().back(), QStringLiteral("Invalid Password!"));
    QVERIFY(f.ui.asked.back().kind == "message");
    QCOMPARE(f.ui.asked[f.ui.asked.size() - 2].text, QStringLiteral("Password for the page \"Bank\":"));
    QVERIFY(!f.state.checked(MenuItem::MPagePass));

    f.ui.answer(QStringLiteral("pw"));
    f.board->pages().selectTab(1);
    QCOMPARE(f.state.tabIndex(), 1);
    QVERIFY(f.state.checked(MenuItem::MPagePass));
    QCOMPARE(f.state.buttons()[0].hint, QByteArray("http://site01.example/")); // deciphered

    // Reopened: the list is read from the file, and the page asks again.
    BoardFixture g;
    g.writeFile("Disk.LYK", f.readFile("Disk.LYK"));
    g.start();
    QCOMPARE(g.board->PagePassBox().entries(), QList<QByteArray>{"Bankpw"});
    g.ui.answer(QStringLiteral("pw"));
    g.board->pages().selectTab(1);
    QCOMPARE(g.state.tabIndex(), 1);
}

void TestPasswords::prefixRuleForPages()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", pageWithSlots());
    f.start();
    f.ui.answer(QStringLiteral("pw"));
    f.board->pages().selectTab(2); // Bankers
    f.board->passwords().MPagePassClick();
    QCOMPARE(f.board->PagePassBox().entries(), QList<QByteArray>{"Bankerspw"});
    f.board->pages().selectTab(0);
    // Bank is the beginning of Bankers' entry: it asks, and wants "erspw".
    f.ui.answer(QStringLiteral("erspw"));
    f.board->pages().selectTab(1);
    QCOMPARE(f.state.tabIndex(), 1);
    QVERIFY(f.state.checked(MenuItem::MPagePass));
}

void TestPasswords::unprotectWithoutEntry()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", pageWithSlots());
    f.start();
    f.state.setChecked(MenuItem::MPagePass, true);
    f.board->passwords().MPagePassClick();
    QCOMPARE(f.ui.messages(), QStringList{"Could not a find Password for this Page!"});
}

QTEST_GUILESS_MAIN(TestPasswords)
#include "tst_passwords.moc"
