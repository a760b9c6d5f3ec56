#include "BookmarkFile.h"
#include "IniFiles32.h"
#include "PagePasswords.h"
#include "PassText.h"
#include "PathNames.h"
#include "RecentList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPassText : public QObject
{
    Q_OBJECT
private slots:
    void scramble_data();
    void scramble();
    void storedForms_data();
    void storedForms();
    void formsThatWouldNotReadBack_data();
    void formsThatWouldNotReadBack();
    void markIsTestedOnTheStoredForm_data();
    void markIsTestedOnTheStoredForm();
    void pagePasswordsMatchByPrefix();
    void pagePassMove();
    void longPagePasswordListSurvivesTheFile();
    void recentListLimitsAndOrder();
    void recentListRewritesItsSectionInPlace();
};

void TestPassText::scramble_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("acd");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("positions 4 and 5 raised by 2") << QByteArray("aaaaa") << QByteArray("abbcc");
    QTest::newRow("wraps at 256") << QByteArray("a\xFF") << QByteArray("a\x00", 2);
}

void TestPassText::scramble()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, scrambled);
    QCOMPARE(PassText::scramble(plain), scrambled);
    QCOMPARE(PassText::unscramble(scrambled), plain);
}

void TestPassText::storedForms_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("password");
    QTest::newRow("web address") << QByteArray("http://www.bank.example/login") << QByteArray("secret");
    QTest::newRow("program with parameters") << QByteArray("/usr/bin/prog /x") << QByteArray("p w");
    QTest::newRow("1252 text") << QByteArray("http://caf\xE9.example/") << QByteArray("\xE4\xF6");
}

void TestPassText::storedForms()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, password);
    const QByteArray stored = PassText::Encrypt(address, password);
    QCOMPARE(stored.count('\xB6'), 1);
    QVERIFY(PassText::EncryptRoundTrips(address, password));
    // Through the file as a bookmark's Url.
    QTemporaryDir dir;
    const QByteArray path = PathNames::fromQt(dir.filePath("p.LYK"));
    IniStore store;
    {
        TIniFile32 ini(store, path);
        ini.WriteString("Page", "01U", stored);
    }
    TIniFile32 ini(store, path);
    const QByteArray read = ini.ReadString("Page", "01U", {});
    QCOMPARE(PassText::Decrypt(read), address);
    QCOMPARE(PassText::StoredPassword(read), password);
    QCOMPARE(PassText::Decrypt(address), QByteArray()); // no mark, nothing to decipher
}

void TestPassText::formsThatWouldNotReadBack_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("password");
    // 0xB4 at position 4 is raised by 2 to the mark byte B6.
    QTest::newRow("scrambled address holds the mark") << QByteArray("abc\xB4") << QByteArray("pw");
    QTest::newRow("scrambled password ends the file text") << QByteArray("http://x/") << QByteArray("a\xFF");
    QTest::newRow("scrambled password breaks the line") << QByteArray("http://x/") << QByteArray("a\x0C");
    QTest::newRow("trailing blank would be trimmed") << QByteArray("http://x/") << QByteArray("p\x1F");
}

void TestPassText::formsThatWouldNotReadBack()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, password);
    QVERIFY(!PassText::EncryptRoundTrips(address, password));
}

void TestPassText::markIsTestedOnTheStoredForm_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("isProtected");
    QTest::addColumn<QByteArray>("address"); // deciphered
    // B6 inside a UTF-8 letter ("ö" is C3 B6, "ж" D0 B6, "綠" E7 B6 A0) is a letter.
    QTest::newRow("UTF-8 file name") << QByteArray("/home/me/K\xC3\xB6ln.pdf") << false << QByteArray();
    QTest::newRow("UTF-8 Cyrillic") << QByteArray("http://\xD0\xB6\xD0\xB6.example/") << false << QByteArray();
    QTest::newRow("UTF-8 CJK") << QByteArray("/data/\xE7\xB6\xA0.txt") << false << QByteArray();
    QTest::newRow("Windows-1252 plain") << QByteArray("http://caf\xE9.example/") << false << QByteArray();
    // A lone B6 is the mark, as it always was ("¶" in Windows-1252).
    QTest::newRow("Windows-1252 mark") << QByteArray("abc\xB6pw") << true << PassText::unscramble("abc");
    QTest::newRow("protected ASCII address")
        << PassText::Encrypt("http://bank.example/", "pw") << true << QByteArray("http://bank.example/");
    QTest::newRow("protected UTF-8 address")
        << PassText::Encrypt("/home/me/K\xC3\xB6ln.pdf", "pw") << true << QByteArray("/home/me/K\xC3\xB6ln.pdf");
    // Scrambling "µ" (C2 B5) at positions 2-3 gives C3 B6: a letter, so the
    // real mark after it still counts.
    QTest::newRow("scrambled text looking like UTF-8")
        << PassText::Encrypt("a\xC2\xB5", "pw") << true << QByteArray("a\xC2\xB5");
}

void TestPassText::markIsTestedOnTheStoredForm()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, isProtected);
    QFETCH(QByteArray, address);
    QCOMPARE(PassText::isProtected(stored), isProtected);
    QCOMPARE(BookmarkFile::IsProtectedUrl(stored), isProtected);
    QCOMPARE(PassText::Decrypt(stored), address);
}

void TestPassText::pagePasswordsMatchByPrefix()
{
    PagePasswords box;
    box.add("Workshop", "tools");
    QVERIFY(box.PageProtected("Workshop"));
    QVERIFY(box.PageProtected("Work")); // the whole name of Work begins Workshop's entry
    QCOMPARE(box.GetPagePass("Work"), QByteArray("shoptools"));
    QVERIFY(!box.PageProtected("Home"));
    box.add("Work", "one");
    QCOMPARE(box.GetPagePass("Work"), QByteArray("one")); // the last entry wins
}

void TestPassText::pagePassMove()
{
    PagePasswords box;
    box.add("News", "pw");
    box.add("Home", "h");
    box.PagePassMove("News", "Daily");
    QCOMPARE(box.entries(), (QList<QByteArray>{"Homeh", "Dailypw"}));
    box.PagePassMove("Daily", "Daily");
    QCOMPARE(box.entries(), QList<QByteArray>{"Homeh"});
    box.PagePassMove("Missing", "Other");
    QCOMPARE(box.entries(), QList<QByteArray>{"Homeh"});
}

void TestPassText::longPagePasswordListSurvivesTheFile()
{
    PagePasswords box;
    for (int i = 0; i < 40; ++i)
        box.add("Page number " + QByteArray::number(i), "password" + QByteArray::number(i));
    const QByteArray stored = box.WritePagePass();
    QVERIFY(stored.size() > 255 * 3);
    QCOMPARE(stored.count('\xA7'), 40);
    PagePasswords read;
    read.ReadPagePass(stored);
    QCOMPARE(read.entries(), box.entries());
    QCOMPARE(PagePasswords().WritePagePass(), QByteArray());
}

void TestPassText::recentListLimitsAndOrder()
{
    QTemporaryDir dir;
    IniStore store;
    RecentList list(20, 10);
    list.setFile(PathNames::fromQt(dir.filePath("r.LYK")));
    for (int i = 1; i <= 25; ++i)
        list.add("Item " + QByteArray::number(i));
    QCOMPARE(list.items().size(), 20);
    QCOMPARE(list.items().front(), QByteArray("Item 25"));
    QCOMPARE(list.items().back(), QByteArray("Item 6"));
    QCOMPARE(list.shown().size(), 10);
    list.add("Item 10"); // moves to the top, not twice in the list
    QCOMPARE(list.items().front(), QByteArray("Item 10"));
    QCOMPARE(list.items().count("Item 10"), 1);
    list.blank("Item 20");
    QVERIFY(list.items().contains(QByteArray()));
    list.save(store);
    RecentList again(20, 10);
    again.setFile(list.file());
    again.load(store);
    QCOMPARE(again.items(), list.items());
}

void TestPassText::recentListRewritesItsSectionInPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lyk.ini");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[MRU]\r\nCount=3\r\n1=a\r\n2=b\r\n3=c\r\n[File]\r\nName=x\r\n");
    }
    IniStore store;
    RecentList list(10, 5);
    list.setFile(PathNames::fromQt(path));
    list.load(store);
    QCOMPARE(list.items(), (QList<QByteArray>{"a", "b", "c"}));
    list.add("c");
    list.save(store);
    list.save(store);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("[MRU]\r\nCount=3\r\n1=c\r\n2=a\r\n3=b\r\n[File]\r\nName=x\r\n"));
}

QTEST_GUILESS_MAIN(TestPassText)
#include "tst_passtext.moc"
