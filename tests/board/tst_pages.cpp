#include "BoardFixture.h"
#include "BookmarkFile.h"
#include "BookmarkText.h"
#include "Exchange.h"
#include "FileCommands.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "LaunchFixture.h"
#include "PageCarrier.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageMerge.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "WebImport.h"
#include "WindowModes.h"

#include <QtTest>

using Answer = Prompter::Answer;
using BookmarkText::mark;
using BookmarkText::names;
QByteArray fileWith(const QList<QByteArray>& names, const QList<QPair<QByteArray, QByteArray>>& bodies = {})
{
    return BookmarkText::file(names, bodies);
}

class TestPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardFixture> make(const QByteArray& lyk, const QByteArray& settings = {})
    {
        auto f = std::make_unique<BoardFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n" + settings);
        f->start();
        return f;
    }
    static QStringList titles(BoardFixture& f, const QByteArray& page, const QByteArray& file = "Disk.LYK")
    {
        return BookmarkText::titles(f.store, f.path(file), page);
    }
    static QStringList fileTabs(BoardFixture& f, const QByteArray& file = "Disk.LYK")
    {
        return BookmarkText::tabs(f.store, f.path(file));
    }

private slots:
    void dupePageName_data();
    void dupePageName();
    void addPageGoesLeftOfTheCurrentTab();
    void deletePageLeavesNoKeyBehind();
    void deleteAsksAndKeepsTheLastPage();
    void renameCarriesTheWholeSection_data();
    void renameCarriesTheWholeSection();
    void renameKeepsThePagePassword();
    void eraseAllBookmarksKeepsTheTab();
    void sortingPageNames();
    void tabFontAndColours();
    void draggingATab_data();
    void draggingATab();
    void mergePage_data();
    void mergePage();
    void colourFilterQuestion_data();
    void colourFilterQuestion();
    void pickedUpPageIsPutDown_data();
    void pickedUpPageIsPutDown();
    void movedPageIsNeverLost_data();
    void movedPageIsNeverLost();
    void copiedPageGoesIntoAnotherFile();
    void rightClickSelectsAndTakesTheBackup();
    void pressInMiniModeRestoresTheWindow();
    void deletedPageShowsANeighbourWithoutItsPassword();
    void pageListWritersKeepPagesAddedOnDisk_data();
    void pageListWritersKeepPagesAddedOnDisk();
};

void TestPages::dupePageName_data()
{
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unique");
    QTest::newRow("free") << QStringList{"News"} << "Links"
                          << "Links";
    QTest::newRow("taken once") << QStringList{"Links"} << "Links"
                                << "Links+";
    QTest::newRow("taken twice") << QStringList{"Links", "Links+"} << "Links"
                                 << "Links++";
    QTest::newRow("walk restarts") << QStringList{"Links+", "Links"} << "Links"
                                   << "Links++";
    // Sections are found without regard to case: "links" would share "Links".
    QTest::newRow("another case is the same page") << QStringList{"Links"} << "links"
                                                   << "links+";
    QTest::newRow("the file's own sections") << QStringList{} << "tabs"
                                             << "tabs+";
    QTest::newRow("recent list section") << QStringList{} << "MRU"
                                         << "MRU+";
    QTest::newRow("a plus is a letter") << QStringList{"Links"} << "Links+"
                                        << "Links+";
}

void TestPages::dupePageName()
{
    QFETCH(QStringList, tabs);
    QFETCH(QString, name);
    QFETCH(QString, unique);
    std::vector<QByteArray> list;
    for (const QString& t : tabs)
        list.push_back(t.toLatin1());
    QCOMPARE(BookmarkFile::DupePageName(name.toLatin1(), list), unique.toLatin1());
}

void TestPages::addPageGoesLeftOfTheCurrentTab()
{
    auto f = make(fileWith({"News", "Work"}, {{"Work", mark(1, "Job")}}));
    f->board->pages().selectTab(1);
    f->ui.answer(QStringLiteral(" News "));
    f->board->pageCommands().MAddPageTab1Click();
    QCOMPARE(f->ui.asked.back().kind, QStringLiteral("pageName"));
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Work")); // the proposal: the page shown
    QCOMPARE(names(f->state.tabs()), (QStringList{"News", "News+", "Work"}));
    QCOMPARE(f->state.currentPage(), QByteArray("News+"));
    QCOMPARE(fileTabs(*f), (QStringList{"News", "News+", "Work"}));
    QVERIFY(f->state.buttons()[0].caption.isEmpty()); // the new page is empty
    QVERIFY(QFile::exists(QString::fromLatin1(f->path("Disk.bak"))));

    f->ui.answer(QStringLiteral("News"));
    f->board->pageCommands().MAddPageTab1Click();
    QCOMPARE(names(f->state.tabs()), (QStringList{"News", "News++", "News+", "Work"}));

    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(ScriptedPrompter::closed());
    f->board->pageCommands().MAddPageTab1Click();
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestPages::deletePageLeavesNoKeyBehind()
{
    auto f = make(fileWith({"A", "B", "C", "D", "E"}, {{"B", mark(1, "Bee")}, {"C", mark(1, "Sea")}}));
    f->board->pages().selectTab(2);
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->pageCommands().MDeletePageTab1Click();
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Are you sure you want to delete the \"C\" page?"));
    QCOMPARE(fileTabs(*f), (QStringList{"A", "B", "D", "E"}));
    QCOMPARE(f->key("Disk.LYK", "Tabs", "Count"), QByteArray("4"));
    QCOMPARE(f->key("Disk.LYK", "Tabs", "Tab5"), QByteArray());
    QVERIFY(!f->readFile("Disk.LYK").contains("[C]"));
    QCOMPARE(titles(*f, "B"), QStringList{"01:Bee"});
    QCOMPARE(f->state.currentPage(), QByteArray("D")); // the page that took its place
}

void TestPages::deleteAsksAndKeepsTheLastPage()
{
    auto f = make(fileWith({"A", "B"}, {{"A", mark(1, "Aye")}}));
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(QVariant::fromValue(Answer::No));
    f->board->pageCommands().MDeletePageTab1Click();
    QCOMPARE(f->readFile("Disk.LYK"), before);

    auto g = make(fileWith({"Only"}, {{"Only", mark(1, "One")}}));
    const QByteArray only = g->readFile("Disk.LYK");
    g->board->pageCommands().MDeletePageTab1Click();
    QVERIFY(g->ui.messages().back().contains(QStringLiteral("only page")));
    QCOMPARE(g->readFile("Disk.LYK"), only);
}

void TestPages::renameCarriesTheWholeSection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("sectionMoves");
    QTest::newRow("a new name") << "Office"
                                << "Office" << true;
    QTest::newRow("a name in use gets a plus") << "Home"
                                               << "Home+" << true;
    QTest::newRow("another case names the same section") << "WORK"
                                                         << "WORK" << false;
}

void TestPages::renameCarriesTheWholeSection()
{
    QFETCH(QString, typed);
    QFETCH(QString, newName);
    QFETCH(bool, sectionMoves);
    // Keys that are no bookmark field (a later version's, a user's) go along.
    const QByteArray work = mark(1, "Job", "01G=7\r\n01A=10.0.0.1\r\n") + mark(80, "Last") + "Layout=grid\r\n";
    auto f = make(fileWith({"Home", "Work", "News"}, {{"Work", work}, {"Home", mark(1, "House")}}));
    f->board->pages().selectTab(1);
    f->ui.answer(typed);
    f->board->pageCommands().MChangePageTabName1Click();
    const QByteArray name = newName.toLatin1();
    QCOMPARE(fileTabs(*f), (QStringList{"Home", newName, "News"}));
    QCOMPARE(f->state.currentPage(), name);
    QCOMPARE(titles(*f, name), (QStringList{"01:Job", "80:Last"}));
    QCOMPARE(f->key("Disk.LYK", name, "01G"), QByteArray("7"));
    QCOMPARE(f->key("Disk.LYK", name, "01A"), QByteArray("10.0.0.1"));
    QCOMPARE(f->key("Disk.LYK", name, "Layout"), QByteArray("grid"));
    QCOMPARE(f->readFile("Disk.LYK").contains("[Work]"), !sectionMoves);
    QCOMPARE(titles(*f, "Home"), QStringList{"01:House"});
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("Job"));
}

void TestPages::renameKeepsThePagePassword()
{
    auto f = make(fileWith({"Home", "Work"}, {{"Work", mark(1, "Job")}}));
    f->board->PagePassBox().add("Work", "secret");
    f->ui.answer(QStringLiteral("secret"));
    f->board->pages().selectTab(1);
    f->ui.answer(QStringLiteral("Office"));
    f->board->pageCommands().MChangePageTabName1Click();
    QVERIFY(f->board->PagePassBox().PageProtected("Office"));
    QCOMPARE(f->board->PagePassBox().GetPagePass("Office"), QByteArray("secret"));
    QVERIFY(!f->board->PagePassBox().PageProtected("Work"));
    // Written at once: a crash would not leave the renamed page unprotected.
    PagePasswords stored;
    stored.ReadPagePass(f->key("Disk.LYK", "Tabs", BookmarkFile::kPagePasswords));
    QCOMPARE(stored.GetPagePass("Office"), QByteArray("secret"));
}

void TestPages::eraseAllBookmarksKeepsTheTab()
{
    auto f = make(fileWith({"A", "B"}, {{"A", mark(1, "Aye") + mark(5, "Five")}}));
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(QVariant::fromValue(Answer::No));
    f->board->pageCommands().MEraseBClick();
    QCOMPARE(f->readFile("Disk.LYK"), before);
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->pageCommands().MEraseBClick();
    QCOMPARE(f->ui.asked.back().text,
             QStringLiteral("Are you sure you want to delete all the bookmarks on the \"A\" page?"));
    QVERIFY(titles(*f, "A").isEmpty());
    QCOMPARE(fileTabs(*f), (QStringList{"A", "B"}));
    QVERIFY(f->state.buttons()[0].caption.isEmpty());
}

void TestPages::sortingPageNames()
{
    auto f = make(fileWith({"beta", "Alpha", "gamma"}, {{"beta", mark(1, "B")}, {"Alpha", mark(1, "A")}}));
    f->board->pages().selectTab(2);
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(QVariant::fromValue(Answer::No));
    f->board->pageCommands().MAlphaPageTab1Click();
    QCOMPARE(f->readFile("Disk.LYK"), before);
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->pageCommands().MAlphaPageTab1Click();
    QCOMPARE(fileTabs(*f), (QStringList{"Alpha", "beta", "gamma"}));
    QCOMPARE(f->state.currentPage(), QByteArray("Alpha"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("A"));
    QCOMPARE(titles(*f, "beta"), QStringList{"01:B"});
}

void TestPages::tabFontAndColours()
{
    auto f = make(fileWith({"A"}));
    f->ui.answer(QVariant::fromValue(FontChoice{QStringLiteral("DejaVu Sans"), 12, 255}));
    f->board->pageCommands().MFontTabClick();
    QCOMPARE(f->key("lyk.ini", "Tabs", "FontName"), QByteArray("DejaVu Sans"));
    QCOMPARE(f->key("lyk.ini", "Tabs", "FontSize"), QByteArray("12"));
    QCOMPARE(f->key("lyk.ini", "Tabs", "FontColor"), QByteArray("255"));
    QCOMPARE(f->state.tabStyle().fontSize, 12);

    f->ui.answer(0x00FF00);
    f->board->pageCommands().MChangeColor2Click(PageCommands::Tabs::Selected);
    QCOMPARE(f->key("lyk.ini", "Tabs", "SelectedColor"), QByteArray::number(0x00FF00));
    QCOMPARE(f->state.tabStyle().selectedColor, 0x00FF00);
    QCOMPARE(f->ui.asked.back().lines.size(), 16); // the custom colours go to the dialog
    QCOMPARE(f->key("lyk.ini", "Colors", "ColorP"), QByteArray("FFFFFF"));

    f->ui.answer(ScriptedPrompter::closed());
    f->board->pageCommands().MChangeColor2Click(PageCommands::Tabs::Unselected);
    QCOMPARE(f->state.tabStyle().unselectedColor, SettingsFile::TabUnselectedColor.defaultNumber());
}

void TestPages::draggingATab_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("checkedPage");
    QTest::addColumn<QStringList>("checkedTitles");
    QTest::newRow("move the first onto the fourth")
        << 0 << 3 << QVariantList{0} << QStringList{"B", "C", "D", "A"} << "A"
        << "A" << QStringList{"01:Aye", "02:Two"};
    QTest::newRow("leave") << 0 << 3 << QVariantList{2} << QStringList{"A", "B", "C", "D"} << "A"
                           << "A" << QStringList{"01:Aye", "02:Two"};
    QTest::newRow("copy, insert keeps the slots")
        << 0 << 2 << QVariantList{1, 0} << QStringList{"A", "B", "A+", "C", "D"} << "A+"
        << "A+" << QStringList{"01:Aye", "02:Two"};
    QTest::newRow("copy, help, then insert")
        << 0 << 2 << QVariantList{1, 2, 0} << QStringList{"A", "B", "A+", "C", "D"} << "A+"
        << "A+" << QStringList{"01:Aye", "02:Two"};
    // C holds Two already: only Aye is new, and takes C's first empty slot.
    QTest::newRow("copy, merge without a filter")
        << 0 << 2 << QVariantList{1, 1, 1} << QStringList{"A", "B", "C", "D"} << "C"
        << "C" << QStringList{"01:Sea", "02:Aye", "03:Two"};
}

void TestPages::draggingATab()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QVariantList, answers);
    QFETCH(QStringList, tabs);
    QFETCH(QString, shown);
    QFETCH(QString, checkedPage);
    QFETCH(QStringList, checkedTitles);
    auto f = make(fileWith({"A", "B", "C", "D"},
                           {{"A", mark(1, "Aye") + mark(2, "Two")}, {"C", mark(1, "Sea") + mark(3, "Two")}}));
    f->board->pages().selectTab(from);
    for (const QVariant& a : answers)
        f->ui.answer(a);
    f->board->pageCarrier().TabSet1DragDrop(to);
    QCOMPARE(f->ui.asked.front().text, QStringLiteral("Move / Copy"));
    QCOMPARE(fileTabs(*f), tabs);
    QCOMPARE(names(f->state.tabs()), tabs);
    QCOMPARE(QString::fromLatin1(f->state.currentPage()), shown);
    QCOMPARE(titles(*f, checkedPage.toLatin1()), checkedTitles);
    if (answers.contains(2) && answers.size() == 3) { // Help was pressed
        QCOMPARE(f->ui.helpShown, QList<int>{PageCarrier::kHelpInsertMerge});
        QCOMPARE(f->ui.asked.back().options, (QStringList{"Insert", "Merge"}));
    }
}

void TestPages::mergePage_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("destination");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("merged");
    const QByteArray red = "C=255\r\n";
    QTest::newRow("new addresses into the first empty slots")
        << mark(2, "One") + mark(5, "Two") + mark(9, "Three") << mark(1, "Two") + mark(3, "Own") << 111
        << QStringList{"01:Two", "02:One", "03:Own", "04:Three"};
    QTest::newRow("a colour filter") << mark(1, "Red", "01" + red) + mark(2, "Plain") +
                                            mark(3, "Blue", "03C=16711680\r\n")
                                     << QByteArray() << 255 << QStringList{"01:Red"};
    QTest::newRow("no stored colour never matches a filter") << mark(1, "Plain") << QByteArray() << 0 << QStringList{};
    QTest::newRow("a full page takes what fits") << mark(1, "Extra") + mark(2, "More") << [] {
        QByteArray full;
        for (int n = 1; n <= 79; ++n)
            full += mark(n, "Own" + QByteArray::number(n));
        return full;
    }() << 111 << QStringList{"80:Extra"};
}

void TestPages::mergePage()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, destination);
    QFETCH(int, filter);
    QFETCH(QStringList, merged);
    auto f = make(fileWith({"S", "D"}, {{"S", source}, {"D", destination}}),
                  "[Merge]\r\nColor=" + QByteArray::number(filter) + "\r\n");
    const int writes = f->store.writes();
    const QByteArray path = f->path("Disk.LYK");
    f->board->pageMerge().MergePage("S", "D", path, path);
    QStringList got = titles(*f, "D");
    if (merged.size() == 1 && merged.front().startsWith(QStringLiteral("80")))
        got = got.mid(79);
    QCOMPARE(got, merged);
    QVERIFY(f->store.writes() - writes <= 1); // one save

    // A page merged into itself gains nothing.
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->pageMerge().MergePage("S", "S", path, path);
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestPages::colourFilterQuestion_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("helped");
    QTest::newRow("no turns it off") << 255 << QVariantList{1} << 111 << false;
    QTest::newRow("yes keeps the colour shown") << 255 << QVariantList{0} << 255 << false;
    QTest::newRow("yes without a filter chooses one") << 111 << QVariantList{0, 0x00FF00} << 0x00FF00 << false;
    QTest::newRow("color changes it") << 255 << QVariantList{2, 0x123456} << 0x123456 << false;
    QTest::newRow("help, then no") << 255 << QVariantList{3, 1} << 111 << true;
    QTest::newRow("colour dialog closed") << 255 << QVariantList{2, ScriptedPrompter::closed()} << 255 << false;
}

void TestPages::colourFilterQuestion()
{
    QFETCH(int, stored);
    QFETCH(QVariantList, answers);
    QFETCH(int, filter);
    QFETCH(bool, helped);
    auto f = make(fileWith({"A"}), "[Merge]\r\nColor=" + QByteArray::number(stored) + "\r\n");
    for (const QVariant& a : answers)
        f->ui.answer(a);
    f->board->pageMerge().MColor(QStringLiteral("Merge"));
    QCOMPARE(f->key("lyk.ini", "Merge", "Color").toInt(), filter);
    const ScriptedPrompter::Question& q = f->ui.asked.front();
    QCOMPARE(q.text, QStringLiteral("Select Merge Bookmark Color"));
    QCOMPARE(q.lines.at(2), stored == 111 ? QStringLiteral("Yes   =  Select filter color for Merge.")
                                          : QStringLiteral("Yes   =  Accept displayed color for Merge."));
    QCOMPARE(f->ui.helpShown, helped ? QList<int>{PageMerge::kHelpColorFilter} : QList<int>{});
}

void TestPages::pickedUpPageIsPutDown_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<int>("target");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("checkedPage");
    QTest::addColumn<QStringList>("checkedTitles");
    QTest::newRow("move") << false << 2 << QVariantList{} << QStringList{"A", "C", "B", "D"} << "B"
                          << QStringList{"01:Bee", "04:Four"};
    QTest::newRow("copy, insert") << true << 0 << QVariantList{0} << QStringList{"B+", "A", "B", "C", "D"} << "B+"
                                  << QStringList{"01:Bee", "02:Four"};
    QTest::newRow("copy, merge") << true << 3 << QVariantList{1, 1} << QStringList{"A", "B", "C", "D"} << "D"
                                 << QStringList{"01:Dee", "02:Bee", "03:Four"};
}

void TestPages::pickedUpPageIsPutDown()
{
    QFETCH(bool, copy);
    QFETCH(int, target);
    QFETCH(QVariantList, answers);
    QFETCH(QStringList, tabs);
    QFETCH(QString, checkedPage);
    QFETCH(QStringList, checkedTitles);
    auto f = make(fileWith({"A", "B", "C", "D"}, {{"B", mark(1, "Bee") + mark(4, "Four")}, {"D", mark(1, "Dee")}}));
    f->board->pages().selectTab(1);
    PageCarrier& carrier = f->board->pageCarrier();
    if (copy)
        carrier.MCopyPageTabClick();
    else
        carrier.MMovePageTab1Click();
    QVERIFY(carrier.carrying());
    QCOMPARE(f->ui.cursor(), ScreenCursor::PickUp);
    QVERIFY(f->state.title().contains(QStringLiteral("carrying the page \"B\"")));
    if (!copy)
        QCOMPARE(fileTabs(*f), (QStringList{"A", "C", "D"}));
    for (const QVariant& a : answers)
        f->ui.answer(a);
    carrier.putDown(target);
    QVERIFY(!carrier.carrying());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QCOMPARE(fileTabs(*f), tabs);
    QCOMPARE(titles(*f, checkedPage.toLatin1()), checkedTitles);
    QCOMPARE(QString::fromLatin1(f->state.currentPage()), checkedPage);
    QCOMPARE(titles(*f, "B"), (QStringList{"01:Bee", "04:Four"})); // the source keeps its bookmarks
}

void TestPages::movedPageIsNeverLost_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("escape") << "escape";
    QTest::newRow("another command") << "command";
    QTest::newRow("closing the window") << "close";
    QTest::newRow("opening another file") << "open";
}

void TestPages::movedPageIsNeverLost()
{
    QFETCH(QString, how);
    auto f = make(fileWith({"A", "B", "C"}, {{"B", mark(1, "Bee")}}));
    f->writeFile("Other.LYK", fileWith({"X"}));
    f->board->pages().selectTab(1);
    f->board->command([&] { f->board->pageCarrier().MMovePageTab1Click(); });
    QCOMPARE(fileTabs(*f), (QStringList{"A", "C"}));
    if (how == QLatin1String("escape"))
        f->board->command([&] { f->board->keys().KeysKeyDown(KeyboardNav::Key::Escape); }, CommandKind::WhilePlacing);
    else if (how == QLatin1String("command"))
        f->board->command([&] { f->board->pages().MBUrlClick(); });
    else if (how == QLatin1String("close"))
        f->board->FormCloseQuery();
    else
        f->board->command([&] { f->board->fileCommands().switchTo(f->path("Other.LYK")); });
    QVERIFY(!f->board->pageCarrier().carrying());
    QCOMPARE(fileTabs(*f), (QStringList{"A", "B", "C"}));
    QCOMPARE(titles(*f, "B"), QStringList{"01:Bee"});
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
}

void TestPages::copiedPageGoesIntoAnotherFile()
{
    auto f = make(fileWith({"A", "Tools"}, {{"Tools", mark(1, "Hammer") + mark(2, "Saw")}}));
    f->writeFile("Other.LYK", fileWith({"X", "Y"}, {{"X", mark(1, "Ex")}}));
    f->board->pages().selectTab(1);
    f->board->command([&] { f->board->pageCarrier().MCopyPageTabClick(); });
    f->board->command([&] { f->board->fileCommands().switchTo(f->path("Other.LYK")); });
    QVERIFY(f->board->pageCarrier().carrying()); // a copy waits through the change of file
    QCOMPARE(f->ui.cursor(), ScreenCursor::PickUp);
    f->ui.answer(0); // Insert
    f->board->command([&] { f->board->pageCarrier().putDown(1); }, CommandKind::WhilePlacing);
    QCOMPARE(fileTabs(*f, "Other.LYK"), (QStringList{"X", "Tools", "Y"}));
    QCOMPARE(titles(*f, "Tools", "Other.LYK"), (QStringList{"01:Hammer", "02:Saw"}));
    QCOMPARE(fileTabs(*f, "Disk.LYK"), (QStringList{"A", "Tools"}));
    QCOMPARE(titles(*f, "Tools", "Disk.LYK"), (QStringList{"01:Hammer", "02:Saw"}));
}

void TestPages::rightClickSelectsAndTakesTheBackup()
{
    auto f = make(fileWith({"A", "B"}, {{"B", mark(1, "Bee")}}));
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("Disk.bak"))));
    QVERIFY(f->board->pageCommands().TabSet1RightClick(1));
    QCOMPARE(f->state.currentPage(), QByteArray("B"));
    QVERIFY(QFile::exists(QString::fromLatin1(f->path("Disk.bak"))));
}

void TestPages::pressInMiniModeRestoresTheWindow()
{
    auto f = make(fileWith({"A"}), "[Location]\r\nTray=Mini\r\n");
    QVERIFY(f->state.alwaysOnTop());
    f->board->modes().TabSet1MouseDown();
    QVERIFY(!f->state.alwaysOnTop());
    QCOMPARE(f->state.geometry().height, SettingsFile::kNormalHeight);
}

void TestPages::deletedPageShowsANeighbourWithoutItsPassword()
{
    // The page after the deleted one is protected: the nearest open page
    // shows instead, without asking.
    auto f = make(fileWith({"A", "B", "Secret"}, {{"A", mark(1, "Aye")}}));
    f->board->PagePassBox().add("Secret", "pw");
    f->board->pages().selectTab(1);
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->pageCommands().MDeletePageTab1Click();
    QCOMPARE(f->state.currentPage(), QByteArray("A"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("Aye"));
}

void TestPages::pageListWritersKeepPagesAddedOnDisk_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QStringList>("synced"); // the page the sync tool added, afterwards
    const QVariant yes = QVariant::fromValue(Answer::Yes);
    const QStringList sync{"01:Sync"};
    const QStringList merged{"01:Sync", "02:Merged"};
    QTest::newRow("add page") << "add" << QVariantList{QStringLiteral("Mine")}
                              << QStringList{"A", "Mine", "B", "C", "Synced"} << sync;
    QTest::newRow("delete page") << "delete" << QVariantList{yes} << QStringList{"A", "C", "Synced"} << sync;
    QTest::newRow("rename page") << "rename" << QVariantList{QStringLiteral("Bee")}
                                 << QStringList{"A", "Bee", "C", "Synced"} << sync;
    QTest::newRow("sort page names") << "sort" << QVariantList{yes} << QStringList{"A", "B", "C", "Synced"} << sync;
    QTest::newRow("drag a tab, move") << "drag" << QVariantList{0} << QStringList{"B", "A", "C", "Synced"} << sync;
    QTest::newRow("drag a tab, copy and insert")
        << "drag" << QVariantList{1, 0} << QStringList{"B+", "A", "B", "C", "Synced"} << sync;
    // The sync comes while the page is carried.
    QTest::newRow("move page, put down") << "move" << QVariantList{} << QStringList{"B", "A", "C", "Synced"} << sync;
    QTest::newRow("move page, put back by Escape")
        << "move back" << QVariantList{} << QStringList{"A", "B", "C", "Synced"} << sync;
    QTest::newRow("copy page, put down and insert")
        << "copy" << QVariantList{0} << QStringList{"B+", "A", "B", "C", "Synced"} << sync;
    QTest::newRow("merge a file, add") << "merge" << QVariantList{1} << QStringList{"A", "B", "C", "Synced", "Home"}
                                       << merged;
    QTest::newRow("merge a file, match") << "merge" << QVariantList{0} << QStringList{"A", "B", "C", "Synced"}
                                         << merged;
    QTest::newRow("search results onto new pages")
        << "found" << QVariantList{} << QStringList{"A", "B", "C", "Synced", "Found"} << sync;
    QTest::newRow("links from the clipboard onto a page after")
        << "clipboard" << QVariantList{} << QStringList{"A", "B", "B+", "C", "Synced"} << sync;
}

void TestPages::pageListWritersKeepPagesAddedOnDisk()
{
    QFETCH(QString, command);
    QFETCH(QVariantList, answers);
    QFETCH(QStringList, tabs);
    QFETCH(QStringList, synced);
    LaunchFixture f;
    f.writeFile("Disk.LYK",
                fileWith({"A", "B", "C"}, {{"A", mark(1, "Aye")}, {"B", mark(1, "Bee")}, {"C", mark(1, "Sea")}}));
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.writeFile("Other.LYK",
                fileWith({"Home", "Synced"}, {{"Home", mark(1, "Garden")}, {"Synced", mark(1, "Merged")}}));
    f.start();
    f.board->pages().selectTab(1);
    PageCarrier& carrier = f.board->pageCarrier();
    if (command.startsWith(QLatin1String("move")))
        f.board->command([&] { carrier.MMovePageTab1Click(); });
    else if (command == QLatin1String("copy"))
        f.board->command([&] { carrier.MCopyPageTabClick(); });

    // Another program (a sync tool) replaces the file with its own copy,
    // which lists one page more.
    {
        IniStore tool;
        const QByteArray path = f.path("Disk.LYK");
        IniBatch batch(tool, path);
        TIniFile32 ini(tool, path);
        std::vector<QByteArray> pages = BookmarkFile::ReadPageList(ini);
        pages.push_back("Synced");
        BookmarkFile::SaveTabs(ini, pages);
        ini.WriteString("Synced", "01N", "Sync");
        ini.WriteString("Synced", "01U", "http://sync.example/");
        batch.commit();
    }

    for (const QVariant& a : answers)
        f.ui.answer(a);
    if (command == QLatin1String("add"))
        f.board->command([&] { f.board->pageCommands().MAddPageTab1Click(); });
    else if (command == QLatin1String("delete"))
        f.board->command([&] { f.board->pageCommands().MDeletePageTab1Click(); });
    else if (command == QLatin1String("rename"))
        f.board->command([&] { f.board->pageCommands().MChangePageTabName1Click(); });
    else if (command == QLatin1String("sort"))
        f.board->command([&] { f.board->pageCommands().MAlphaPageTab1Click(); });
    else if (command == QLatin1String("drag"))
        f.board->command([&] { carrier.TabSet1DragDrop(0); });
    else if (command == QLatin1String("move") || command == QLatin1String("copy"))
        f.board->command([&] { carrier.putDown(0); }, CommandKind::WhilePlacing);
    else if (command == QLatin1String("move back"))
        f.board->command([&] { f.board->keys().KeysKeyDown(KeyboardNav::Key::Escape); }, CommandKind::WhilePlacing);
    else if (command == QLatin1String("merge")) {
        f.ui.answers.push_front(QString::fromLatin1(f.path("Other.LYK")));
        f.board->command([&] { f.board->fileCommands().MFMergeClick(); });
    } else if (command == QLatin1String("found"))
        f.board->command([&] {
            f.board->records().carryToNewPages("Found", {{"A", "01"}}, false, RecordOps::Show::First);
        });
    else if (command == QLatin1String("clipboard")) {
        QStringList links;
        for (int i = 1; i <= 81; ++i)
            links << QStringLiteral("http://n%1.example/").arg(i);
        f.clipboard.setText(links.join(QLatin1Char(' ')));
        f.board->command([&] { f.exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    }
    QVERIFY2(f.ui.answers.empty(), qPrintable(f.ui.messages().join(QLatin1Char('|'))));
    QVERIFY(!carrier.carrying());
    QCOMPARE(fileTabs(f), tabs);
    QCOMPARE(titles(f, "Synced"), synced);
    // The tab strip shows what the file lists.
    QCOMPARE(names(f.state.tabs()), tabs);
}

QTEST_GUILESS_MAIN(TestPages)
#include "tst_pages.moc"
