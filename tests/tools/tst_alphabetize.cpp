#include "AlphaForm.h"
#include "Alphabetize.h"
#include "BookmarkText.h"
#include "LaunchFixture.h"
#include "WindowModes.h"

#include <QtTest>

using Answer = Prompter::Answer;
using BookmarkText::mark;
using BookmarkText::titles;

namespace {

QByteArray colored(int n, const QByteArray& title, int color)
{
    return mark(n, title, BookmarkFile::SlotKey(n) + "C=" + QByteArray::number(color) + "\r\n");
}

// The chooser as a user leaves it: rows selected, a colour choice, the action.
std::function<void(AlphaForm&)> choose(QList<int> rows, int colorGroup = 0, bool act = true)
{
    return [rows, colorGroup, act](AlphaForm& form) {
        for (int r : rows)
            form.selected.insert(r);
        if (!rows.isEmpty())
            form.PageListViewClick();
        if (colorGroup != 0)
            form.ColorGroupClick(colorGroup);
        if (act)
            QVERIFY(form.AlphaBtnClick());
    };
}

} // namespace

class TestAlphabetize : public QObject
{
    Q_OBJECT
    std::unique_ptr<LaunchFixture> f;
    void open(const QByteArray& lyk)
    {
        f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->writeFile("lyk.ini", "[Auto]\r\nBackup=Off\r\n");
        f->start();
    }
    QStringList page(const QByteArray& name) { return titles(f->store, f->files.BookmarkFileName(), name); }

private slots:
    void onePageSortsIntoTheFirstSlots();
    void colourFilterKeepsOtherColoursInPlace();
    void rangeSortsTogether();
    void equalTitlesFollowTheirAddresses();
    void markerBytesInFieldsComeBackExactly();
    void mergeColorAfterEachChoice_data();
    void mergeColorAfterEachChoice();
    void closedChooserOrNoChangesNothing();
};

void TestAlphabetize::onePageSortsIntoTheFirstSlots()
{
    open(BookmarkText::file({"News"}, {{"News", mark(1, "beta") + mark(2, "Alpha") + mark(5, "gamma")}}));
    f->ui.alphaForms.push_back(choose({}));
    const int writes = f->store.writes();
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(page("News"), (QStringList{"01:Alpha", "02:beta", "03:gamma"}));
    QCOMPARE(f->store.writes() - writes, 2); // the chooser's Merge/Color, then the one save of the sort
    QCOMPARE(f->ui.asked.first().kind, QStringLiteral("alphaForm"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("Alpha"));
    QCOMPARE(f->state.buttons()[4].caption, QByteArray());
}

void TestAlphabetize::colourFilterKeepsOtherColoursInPlace()
{
    const int red = 0x0000FF;
    open(BookmarkText::file({"News"},
                            {{"News", colored(1, "zulu", red) + colored(2, "black1", 0) + colored(3, "alpha", red) +
                                          colored(5, "black2", 0) + colored(6, "mike", red)}}));
    f->ui.answer(red); // the colour dialog of "Selected Color"
    f->ui.alphaForms.push_back(choose({}, 2));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(page("News"), (QStringList{"01:alpha", "02:black1", "03:mike", "04:zulu", "05:black2"}));
    QCOMPARE(f->key("lyk.ini", "Merge", "Color"), QByteArray::number(red));
}

void TestAlphabetize::rangeSortsTogether()
{
    // Pages 2 and 4 chosen: 2, 3 and 4 take part; page 1 does not.
    open(BookmarkText::file({"P1", "P2", "P3", "P4"}, {{"P1", mark(1, "zz")},
                                                       {"P2", mark(1, "delta") + mark(2, "bravo")},
                                                       {"P3", mark(1, "alpha")},
                                                       {"P4", mark(3, "charlie")}}));
    f->writeFile("lyk.ini", "[Auto]\r\nBackup=Off\r\n[Column]\r\nCount=2\r\n");
    f->start();
    f->ui.alphaForms.push_back(choose({1, 3}));
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(f->ui.messages().value(0), QStringLiteral("Are you sure you want to alphabetize Page 2 through Page 4\n"
                                                       "This will alphabetize all bookmarks within this range "
                                                       "together."));
    QCOMPARE(f->ui.asked[1].helpContext, 48);
    QCOMPARE(page("P1"), QStringList{"01:zz"});
    QCOMPARE(page("P2").mid(0, 4), (QStringList{"01:alpha", "02:bravo", "03:charlie", "04:delta"}));
    QCOMPARE(page("P3"), QStringList());
    QCOMPARE(page("P4"), QStringList());

    // A range large enough to fill a page carries on onto the next.
    QByteArray many;
    for (int n = 1; n <= 40; ++n)
        many += mark(n, "t" + QByteArray::number(100 - n));
    open(BookmarkText::file({"A", "B"}, {{"A", many}, {"B", mark(1, "s00")}}));
    f->writeFile("lyk.ini", "[Auto]\r\nBackup=Off\r\n[Column]\r\nCount=2\r\n");
    f->start();
    f->ui.alphaForms.push_back(choose({0, 1}));
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(page("A").first(), QStringLiteral("01:s00"));
    QCOMPARE(page("A").size(), 40);
    QCOMPARE(page("B"), QStringList{"01:t99"});
}

void TestAlphabetize::equalTitlesFollowTheirAddresses()
{
    open(BookmarkText::file({"News"},
                            {{"News", "01N=Same\r\n01U=http://b.example/\r\n02N=same\r\n02U=http://A.example/\r\n"}}));
    f->ui.alphaForms.push_back(choose({}));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(f->key("Disk.LYK", "News", "01U"), QByteArray("http://A.example/"));
    QCOMPARE(f->key("Disk.LYK", "News", "02U"), QByteArray("http://b.example/"));
}

void TestAlphabetize::markerBytesInFieldsComeBackExactly()
{
    // 0x95 followed by two digits was the old sort entry's field marker.
    const QByteArray odd = "Top \x95"
                           "02 Ten \x95"
                           "11";
    open(BookmarkText::file({"News"}, {{"News", "02N=" + odd +
                                                    "\r\n02U=http://odd.example/\x95"
                                                    "03\r\n02P=n\x95"
                                                    "05\r\n"
                                                    "02C=255\r\n01N=zed\r\n01U=http://zed.example/\r\n"}}));
    f->board->MruList1().add(WindowModes::recentEntry("zed", "News", "01"));
    f->ui.alphaForms.push_back(choose({}));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(f->key("Disk.LYK", "News", "01N"), odd);
    QCOMPARE(f->key("Disk.LYK", "News", "01U"), QByteArray("http://odd.example/\x95"
                                                           "03"));
    QCOMPARE(f->key("Disk.LYK", "News", "01P"), QByteArray("n\x95"
                                                           "05"));
    QCOMPARE(f->key("Disk.LYK", "News", "01C"), QByteArray("255"));
    QCOMPARE(f->key("Disk.LYK", "News", "02N"), QByteArray("zed"));
    // The moved bookmark's recent entry no longer points at its old slot.
    QVERIFY(!f->board->MruList1().items().contains(WindowModes::recentEntry("zed", "News", "01")));
}

void TestAlphabetize::mergeColorAfterEachChoice_data()
{
    QTest::addColumn<QList<int>>("groups");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("all only") << QList<int>{0} << QByteArray("111");
    QTest::newRow("default") << QList<int>{1} << QByteArray("0");
    QTest::newRow("selected") << QList<int>{2} << QByteArray("65280");
    QTest::newRow("default, then all") << QList<int>{1, 0} << QByteArray("0");
    QTest::newRow("selected, then all") << QList<int>{2, 0} << QByteArray("65280");
}

void TestAlphabetize::mergeColorAfterEachChoice()
{
    QFETCH(QList<int>, groups);
    QFETCH(QByteArray, stored);
    open(BookmarkText::file({"News"}, {{"News", mark(1, "a")}}));
    f->writeFile("lyk.ini", "[Auto]\r\nBackup=Off\r\n[Merge]\r\nColor=42\r\n");
    AlphaForm form(*f->board);
    form.FormShow();
    QCOMPARE(f->key("lyk.ini", "Merge", "Color"), QByteArray("111")); // opening resets the filter
    for (int g : groups) {
        if (g == 2)
            f->ui.answer(0x00FF00);
        form.ColorGroupClick(g);
    }
    QCOMPARE(f->key("lyk.ini", "Merge", "Color"), stored);
    QCOMPARE(form.mode, groups.last() == 0   ? AlphaForm::ColorMode::All
                        : groups.last() == 1 ? AlphaForm::ColorMode::Default
                                             : AlphaForm::ColorMode::Select);
    // Cancelling the colour dialog returns to "All Colors".
    f->ui.answer(ScriptedPrompter::closed());
    form.ColorGroupClick(2);
    QCOMPARE(form.mode, AlphaForm::ColorMode::All);
    QCOMPARE(form.colorGroup, 0);
}

void TestAlphabetize::closedChooserOrNoChangesNothing()
{
    const QByteArray lyk = BookmarkText::file({"A", "B"}, {{"A", mark(1, "b") + mark(2, "a")}, {"B", mark(1, "c")}});
    open(lyk);
    f->ui.alphaForms.push_back(choose({}, 0, false));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(f->ui.messages(), QStringList{"You did not select a page, or pages, to Alphabetize."});
    f->ui.alphaForms.push_back(choose({0, 1}));
    f->ui.answer(QVariant::fromValue(Answer::No));
    f->board->command([&] { Alphabetize(*f->board).AlphaButtonClick(); });
    QCOMPARE(page("A"), (QStringList{"01:b", "02:a"}));
}

QTEST_GUILESS_MAIN(TestAlphabetize)
#include "tst_alphabetize.moc"
