#include "BoardFixture.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"

#include <QtTest>

using Key = KeyboardNav::Key;

class TestKeyboard : public QObject
{
    Q_OBJECT
    std::unique_ptr<BoardFixture> f;

    QByteArray page() const { return f->state.currentPage(); }
    void press(Key k) { f->board->keys().KeysKeyDown(k); }
    void type(const QString& s) { f->board->keys().KeysKeyPress(s); }

private slots:
    void init();
    void letterSelectsNextPageWithThatInitial();
    void arrowsAndPageKeysWrapAround_data();
    void arrowsAndPageKeysWrapAround();
    void homeAndEnd();
    void selectionMovesDownAndUp();
    void selectionStopsAtTheEnds();
    void enterClicksTheSelection();
    void f1OpensHelp();
};

void TestKeyboard::init()
{
    f = std::make_unique<BoardFixture>();
    f->writeFile("Disk.LYK", "[Tabs]\r\nCount=5\r\nTab1=Alpha\r\nTab2=beta\r\nTab3=apple\r\nTab4=Banana\r\n"
                             "Tab5=\xC4rger\r\n[Alpha]\r\n01N=One\r\n01U=http://one.example/\r\n01P=note\r\n");
    f->start();
}

void TestKeyboard::letterSelectsNextPageWithThatInitial()
{
    type("a");
    QCOMPARE(page(), QByteArray("apple"));
    type("A");
    QCOMPARE(page(), QByteArray("Alpha")); // wrapped around
    type("b");
    QCOMPARE(page(), QByteArray("beta"));
    type("b");
    QCOMPARE(page(), QByteArray("Banana"));
    type("\u00E4");
    QCOMPARE(page(), QByteArray("\xC4rger"));
    type("z");
    QCOMPARE(page(), QByteArray("\xC4rger"));
}

void TestKeyboard::arrowsAndPageKeysWrapAround_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("left from first") << int(Key::Left) << 0 << 4;
    QTest::newRow("page down from first") << int(Key::PageDown) << 0 << 4;
    QTest::newRow("left") << int(Key::Left) << 3 << 2;
    QTest::newRow("right from last") << int(Key::Right) << 4 << 0;
    QTest::newRow("page up") << int(Key::PageUp) << 1 << 2;
    QTest::newRow("page up from last") << int(Key::PageUp) << 4 << 0;
}

void TestKeyboard::arrowsAndPageKeysWrapAround()
{
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, to);
    f->board->pages().selectTab(from);
    press(Key(key));
    QCOMPARE(f->state.tabIndex(), to);
    QVERIFY(f->state.title().contains(QStringLiteral(": Page %1 of 5").arg(to + 1)));
}

void TestKeyboard::homeAndEnd()
{
    press(Key::End);
    QCOMPARE(f->state.tabIndex(), 4);
    press(Key::Home);
    QCOMPARE(f->state.tabIndex(), 0);
    f->board->pages().EndButtonClick();
    QCOMPARE(f->state.tabIndex(), 4);
    f->board->pages().HomeButtonClick();
    QCOMPARE(f->state.tabIndex(), 0);
}

void TestKeyboard::selectionMovesDownAndUp()
{
    press(Key::Up); // nothing selected yet: nothing to move
    QCOMPARE(f->board->vars().KeyboardSelection, 0);
    press(Key::Down);
    QCOMPARE(f->board->vars().KeyboardSelection, 1);
    QCOMPARE(f->state.buttons()[0].margin, 30);
    QCOMPARE(f->board->vars().CurrentButton, QByteArray("B01"));
    QCOMPARE(f->state.title(), QStringLiteral("1 : http://one.example/\rnote"));
    press(Key::Down);
    QCOMPARE(f->state.buttons()[0].margin, 1);
    QCOMPARE(f->state.buttons()[1].margin, 30);
    QCOMPARE(f->state.title(), QStringLiteral("2 : "));
    press(Key::Up);
    QCOMPARE(f->board->vars().KeyboardSelection, 1);
    press(Key::Up);
    QCOMPARE(f->board->vars().KeyboardSelection, 1);
}

void TestKeyboard::selectionStopsAtTheEnds()
{
    for (int i = 0; i < 85; ++i)
        press(Key::Down);
    QCOMPARE(f->board->vars().KeyboardSelection, 80);
    QCOMPARE(f->state.buttons()[79].margin, 30);
    f->board->pages().MColumn2Click(2);
    QCOMPARE(f->board->vars().KeyboardSelection, 0);
    for (int i = 0; i < 45; ++i)
        press(Key::Down);
    QCOMPARE(f->board->vars().KeyboardSelection, 40);
}

void TestKeyboard::enterClicksTheSelection()
{
    press(Key::Enter); // no selection: nothing happens
    QVERIFY(f->board->vars().CurrentButton.isEmpty());
    press(Key::Down);
    press(Key::Down);
    press(Key::Enter);
    QCOMPARE(f->board->vars().CurrentButton, QByteArray("B02"));
    QCOMPARE(f->state.buttons()[1].margin, 1);
    QVERIFY(f->state.title().startsWith(QStringLiteral("Lynkor ")));
}

void TestKeyboard::f1OpensHelp()
{
    press(Key::F1);
    QCOMPARE(f->ui.helpShown, QList<int>{1});
}

QTEST_GUILESS_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
