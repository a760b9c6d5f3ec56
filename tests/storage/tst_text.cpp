#include "AnsiText.h"
#include "NotesText.h"

#include <QtTest>

class TestText : public QObject
{
    Q_OBJECT
private slots:
    void toUi_data();
    void toUi();
    void fromUi_data();
    void fromUi();
    void everyByteSurvivesTheWindows1252RoundTrip();
    void notesHelpers();
    void wrap_data();
    void wrap();
};

void TestText::toUi_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("Page1") << QStringLiteral("Page1");
    QTest::newRow("1252 letter") << QByteArray("Caf\xE9") << QStringLiteral("Caf\u00E9");
    QTest::newRow("1252 bullet and euro") << QByteArray("\x95 \x80") << QStringLiteral("\u2022 \u20AC");
    QTest::newRow("utf-8") << QByteArray("Caf\xC3\xA9 \xE2\x82\xAC") << QStringLiteral("Caf\u00E9 \u20AC");
    QTest::newRow("invalid utf-8 falls back to 1252") << QByteArray("\xC3(") << QStringLiteral("\u00C3(");
    QTest::newRow("overlong utf-8 is not utf-8") << QByteArray("\xC0\xAF") << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("marker key") << QByteArray("\xDF_\xB6__") << QStringLiteral("\u00DF_\u00B6__");
}

void TestText::toUi()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(AnsiText::toUi(bytes), shown);
}

void TestText::fromUi_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("ascii") << QStringLiteral("News") << QByteArray("News");
    QTest::newRow("fits 1252") << QStringLiteral("\u00C4rger \u20AC \u2022") << QByteArray("\xC4rger \x80 \x95");
    QTest::newRow("does not fit: utf-8") << QStringLiteral("\u65E5\u672C \u00E9")
                                         << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9");
    // Fits 1252, but those bytes are valid UTF-8 of other text: stored as UTF-8.
    QTest::newRow("1252 bytes that read as UTF-8")
        << QStringLiteral("CAF\u00C9\u2019S MENU") << QByteArray("CAF\xC3\x89\xE2\x80\x99S MENU");
    QTest::newRow("capital eth and section sign") << QStringLiteral("\u00D0\u00A7") << QByteArray("\xC3\x90\xC2\xA7");
    QTest::newRow("mojibake typed on purpose")
        << QStringLiteral("\u00C3\u00A9 and \u00C2\u00A3") << QByteArray("\xC3\x83\xC2\xA9 and \xC3\x82\xC2\xA3");
    QTest::newRow("fits, and reads back") << QStringLiteral("caf\u00E9 \u00BD") << QByteArray("caf\xE9 \xBD");
}

void TestText::fromUi()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    QCOMPARE(AnsiText::fromUi(typed), stored);
    QCOMPARE(AnsiText::toUi(stored), typed); // nothing typed is lost
}

void TestText::everyByteSurvivesTheWindows1252RoundTrip()
{
    for (int c = 1; c < 256; ++c) {
        const QByteArray b(1, char(c));
        bool ok = false;
        QCOMPARE(AnsiText::encode1252(AnsiText::decode1252(b), &ok), b);
        QVERIFY(ok);
    }
}

void TestText::notesHelpers()
{
    const QByteArray typed = "line a\r\nline b";
    const QByteArray stored = NotesText::RemoveReturn(typed);
    QCOMPARE(stored, QByteArray("line a|~line b"));
    QCOMPARE(NotesText::AddReturn(stored), typed);
    QCOMPARE(NotesText::AddReturn("a|b~c"), QByteArray("a\rb\nc"));
    QCOMPARE(NotesText::ClearReturn(stored), QByteArray("line a line b"));
    QCOMPARE(NotesText::RemoveReturnDesc(typed), QByteArray("line a  line b"));
    QCOMPARE(NotesText::RemoveSpaces("Ab C \xC4"), QByteArray("abc\xE4"));
    QCOMPARE(NotesText::RemoveSpaces("\xC3\x84 B"), QByteArray("\xC3\xA4"
                                                               "b"));
}

void TestText::wrap_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("wrapped");
    const QByteArray word55(55, 'x');
    QTest::newRow("short line unchanged") << QByteArray("a b c") << QByteArray("a b c");
    // The counter reaches 56 at the 56th character: a blank there breaks.
    QTest::newRow("blank at column 56 breaks") << word55 + " next" << word55 + "\rnext";
    QTest::newRow("blank at column 55 stays") << QByteArray(54, 'x') + " next" << QByteArray(54, 'x') + " next";
    QTest::newRow("first blank after column 56 breaks")
        << QByteArray(60, 'x') + " a b" << QByteArray(60, 'x') + "\ra b";
    QTest::newRow("CR resets the column") << QByteArray(40, 'x') + "\r" + QByteArray(40, 'y') + " z"
                                          << QByteArray(40, 'x') + "\r" + QByteArray(40, 'y') + " z";
    QTest::newRow("utf-8 counts characters")
        << QByteArray(53, 'x') + "\xC3\xA9 z" << QByteArray(53, 'x') + "\xC3\xA9 z";
}

void TestText::wrap()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, wrapped);
    QCOMPARE(NotesText::Wrap(text), wrapped);
}

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
