#include "BookmarkCount.h"
#include "BookmarkDialog.h"
#include "BookmarkIndex.h"
#include "BookmarkSearch.h"
#include "BookmarkText.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "PageDisplay.h"
#include "PageNavigator.h"
#include "PassText.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Mode = BookmarkSearch::Mode;
const QByteArray kBrowser = "/usr/bin/stand-in-browser";

// Three pages: titles in every case, notes across a line break, a protected
// link, text stored in Windows-1252 and in UTF-8.
QByteArray sample()
{
    const QByteArray protectedUrl = PassText::Encrypt("http://bank.example/", "secret");
    return BookmarkText::file({"News", "Tools", "Misc"},
                              {{"News", "01N=News Today\r\n01U=http://news.example/today\r\n"
                                        "02N=good news\r\n02U=http://good.example/\r\n02P=red|~apple\r\n"
                                        "03N=NEWS archive\r\n03U=http://archive.example/\r\n03P=green~|~pear\r\n"},
                               {"Tools", "01N=Bank\r\n01U=" + protectedUrl +
                                             "\r\n"
                                             "02N=Caf\xe9 Latin\r\n02U=http://cafe1252.example/\r\n"
                                             "03N=Caf\xc3\xa9 Noir\r\n03U=http://cafeutf8.example/\r\n"
                                             "04N=Title only\r\n"},
                               {"Misc", "05N=Newsletter\r\n05U=http://a-first.example/\r\n05P=weekly news\r\n"}});
}

QStringList titlesOf(const BookmarkSearch& s)
{
    QStringList out;
    for (const BookmarkSearch::Result& r : s.results())
        out << (r.separator ? QStringLiteral("--") : r.row.title);
    return out;
}

QStringList placesOf(const BookmarkSearch& s)
{
    QStringList out;
    for (const BookmarkSearch::Result& r : s.results())
        out << (r.separator ? QStringLiteral("--") : QString::fromLatin1(r.row.page + ":" + r.row.slot));
    return out;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchFixture> make(const QByteArray& lyk, const QByteArray& extraSettings = {})
    {
        auto f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") +
                                    "\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=" + kBrowser + "\r\n" + extraSettings);
        f->start();
        f->board->vars().BrowserPath = kBrowser;
        return f;
    }

private slots:
    void textSearch_data();
    void textSearch();
    void indexRows();
    void indexReadsAsTheFileEngine_data();
    void indexReadsAsTheFileEngine();
    void indexFollowsEveryChange();
    void protectedBookmarkOnlyIgnored();
    void launchFromSearchKeepsTheWindow();
    void deleteAndEditFromTheList();
    void bulkMoveNumbersTheNewPage();
    void bulkMoveBeyondOnePageContinues();
    void bulkEraseAndIgnore();
    void duplicates_data();
    void duplicates();
    void duplicateEraseKeepsTheLastOfEachGroup();
    void duplicateMoveLeavesABlankBetweenGroups();
    void similarKey_data();
    void similarKey();
    void similarGroupsVariants();
    void modesAndClosing();
    void count();
    void navigator();
};

void TestSearch::textSearch_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("found"); // titles, in the order of their links

    QTest::newRow("title, any case") << int(Mode::Title) << "news" << false
                                     << QStringList{"Newsletter", "NEWS archive", "good news", "News Today"};
    QTest::newRow("title, case sensitive") << int(Mode::Title) << "news" << true << QStringList{"good news"};
    QTest::newRow("title, upper case typed") << int(Mode::Title) << "NEWS" << true << QStringList{"NEWS archive"};
    QTest::newRow("keyword across a line break")
        << int(Mode::Keyword) << "red apple" << false << QStringList{"good news"};
    QTest::newRow("keyword, tildes dropped")
        << int(Mode::Keyword) << "green pear" << false << QStringList{"NEWS archive"};
    QTest::newRow("url") << int(Mode::Url) << "EXAMPLE/TODAY" << false << QStringList{"News Today"};
    QTest::newRow("protected link by its stand-in") << int(Mode::Url) << "word prot" << false << QStringList{"Bank"};
    QTest::newRow("Windows-1252 and UTF-8 alike")
        << int(Mode::Title) << QStringLiteral("CAFÉ") << false
        << QStringList{QStringLiteral("Café Latin"), QStringLiteral("Café Noir")};
    QTest::newRow("accented, case sensitive")
        << int(Mode::Title) << QStringLiteral("é N") << true << QStringList{QStringLiteral("Café Noir")};
    QTest::newRow("empty text finds nothing") << int(Mode::Title) << "" << false << QStringList{};
    QTest::newRow("nothing matches") << int(Mode::Title) << "zebra" << false << QStringList{};
}

void TestSearch::textSearch()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, found);
    auto f = make(sample());
    BookmarkSearch s(*f->board);
    s.FormActivate();
    s.SearchGroupClick(Mode(mode));
    s.CaseBoxClick(caseSensitive);
    s.Edit1Change(text);
    s.SearchButtonClick();
    QVERIFY(s.resultsVisible());
    QCOMPARE(titlesOf(s), found);
    QCOMPARE(s.status(), found.isEmpty()     ? QStringLiteral("No Bookmarks Found")
                         : found.size() == 1 ? QStringLiteral("1 Bookmark found")
                                             : QStringLiteral("%1 Bookmarks found").arg(found.size()));
}

void TestSearch::indexRows()
{
    auto f = make(sample());
    BookmarkIndex index;
    index.build(f->store, f->files.BookmarkFileName(), 2);
    // Every filled link, page by page; a slot with a title only is no bookmark.
    QCOMPARE(index.size(), 7);
    const BookmarkIndex::Row& bank = index.row(3);
    QCOMPARE(bank.title, QStringLiteral("Bank"));
    QCOMPARE(bank.url, QStringLiteral("Password Protected"));
    QVERIFY(bank.isProtected);
    QCOMPARE(index.row(1).notes, QStringLiteral("red apple"));
    QCOMPARE(index.row(2).notes, QStringLiteral("green pear"));
    QCOMPARE(index.row(6).page, QByteArray("Misc"));
    QCOMPARE(index.row(6).slot, QByteArray("05"));

    // A page listed on two tabs, and a key written twice: each counts once,
    // the first line of a key as the file's reader takes it.
    f->writeFile("Twice.LYK", BookmarkText::file({"One", "ONE"}, {{"One", "01N=First\r\n01U=http://a.example/\r\n"
                                                                          "01U=http://b.example/\r\n"
                                                                          " 02U = http://c.example/ \r\n"
                                                                          "81U=http://beyond.example/\r\n"}}));
    index.build(f->store, f->path("Twice.LYK"), 4);
    QCOMPARE(index.size(), 2);
    QCOMPARE(index.row(0).url, QStringLiteral("http://a.example/"));
    QCOMPARE(index.row(1).url, QStringLiteral("http://c.example/"));
}

void TestSearch::indexReadsAsTheFileEngine_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray tabs = "[Tabs]\r\nCount=2\r\nTab1=News\r\nTab2=Misc\r\n";
    QTest::newRow("plain") << tabs + "[News]\r\n01N=A\r\n01U=http://a/\r\n[Misc]\r\n02U=http://b/\r\n";
    QTest::newRow("a section twice: the first counts")
        << tabs + "[News]\r\n01U=http://a/\r\n[Misc]\r\n[news]\r\n02U=http://late/\r\n01U=http://b/\r\n";
    QTest::newRow("a header with blanks ends a body, is never found")
        << tabs + "[News]\r\n01U=http://a/\r\n [Misc]\r\n02U=http://b/\r\n";
    QTest::newRow("blanks around keys and values, keys in other case")
        << tabs + "[News]\r\n  01U =  http://a/  \r\n01u=http://lower/\r\n02N=x\r\n 02U\t=\thttp://c/\r\n";
    QTest::newRow("an empty first value hides a later one") << tabs + "[News]\r\n01U=\r\n01U=http://a/\r\n";
    QTest::newRow("CR, LF and a last line without end")
        << QByteArray("[Tabs]\rCount=1\nTab1=News\r\n[News]\n01U=http://a/\r02N=T\r\n02U=http://b/");
    QTest::newRow("a NUL ends the text") << tabs + "[News]\r\n01U=http://a/\r\n02U=http://b" + QByteArray(1, '\0') +
                                                "/\r\n03U=http://c/\r\n";
    QTest::newRow("no page list: ten default pages") << QByteArray("[Page1]\r\n01U=http://a/\r\n[Page10]\r\n80U=x\r\n");
    QTest::newRow("page list in lower case, twice")
        << QByteArray("[tabs]\r\ncount=1\r\nCount=2\r\nTab1=Misc\r\nTab2=News\r\n[Tabs]\r\nCount=9\r\n") +
               "[News]\r\n01U=http://a/\r\n[Misc]\r\n01U=http://b/\r\n";
    QTest::newRow("keys that are no slots") << tabs + "[News]\r\n00U=x\r\n81U=x\r\n1U=x\r\n001U=x\r\n01 U=x\r\n"
                                                      ";01U=x\r\n01Ux=x\r\n05U=http://e/\r\n";
}

void TestSearch::indexReadsAsTheFileEngine()
{
    QFETCH(QByteArray, text);
    BoardFixture f;
    f.writeFile("Edge.LYK", {});
    QFile file(QString::fromUtf8(f.path("Edge.LYK")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    BookmarkIndex index;
    index.build(f.store, f.path("Edge.LYK"), 4);
    QStringList expected;
    {
        const TIniFile32 ini(f.store, f.path("Edge.LYK"));
        QSet<QByteArray> seen;
        for (const QByteArray& page : BookmarkFile::ReadPageList(ini)) {
            if (seen.contains(page.toLower()))
                continue;
            seen.insert(page.toLower());
            for (int n = 1; n <= 80; ++n) {
                const QByteArray k = BookmarkFile::SlotKey(n);
                const QByteArray url = ini.ReadString(page, k + "U", {});
                if (!url.isEmpty())
                    expected << QString::fromLatin1(page + ":" + k + " " + ini.ReadString(page, k + "N", {}) + " " +
                                                    url);
            }
        }
    }
    QStringList actual;
    for (int i = 0; i < index.size(); ++i) {
        const BookmarkIndex::Row r = index.row(i);
        actual << QString::fromLatin1(r.page + ":" + r.slot + " ") + r.title + QLatin1Char(' ') + r.url;
    }
    QCOMPARE(actual, expected);
}

void TestSearch::indexFollowsEveryChange()
{
    auto f = make(sample());
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("today"));
    QCOMPARE(titlesOf(s), QStringList{"News Today"});
    // Through the board: the next keystroke sees the new title.
    {
        TIniFile32 ini(f->store, f->files.BookmarkFileName());
        ini.WriteString("News", "01N", "Yesterday and today");
    }
    s.Edit1Change(QStringLiteral("today "));
    s.Edit1Change(QStringLiteral("today"));
    QCOMPARE(titlesOf(s), QStringList{"Yesterday and today"});
    // By another program, in place and at the same size.
    QByteArray bytes = f->readFile("Disk.LYK");
    bytes.replace("Yesterday and today", "Yesterday and TODAY");
    QFile file(QString::fromUtf8(f->path("Disk.LYK")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    s.CaseBoxClick(true);
    s.Edit1Change(QStringLiteral("TODAY"));
    QCOMPARE(titlesOf(s), QStringList{"Yesterday and TODAY"});
}

void TestSearch::protectedBookmarkOnlyIgnored()
{
    auto f = make(sample());
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Url);
    s.Edit1Change(QStringLiteral("Password"));
    QCOMPARE(titlesOf(s), QStringList{"Bank"});
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(0);
    f->board->command([&] { s.ListView2Click(0); });
    const auto& q = f->ui.asked.back();
    QCOMPARE(q.kind, QStringLiteral("choice"));
    QCOMPARE(q.text, QStringLiteral("Launch, Delete or Edit bookmark"));
    QCOMPARE(q.options, QStringList{"Ignore"});
    QCOMPARE(q.lines.value(0), QStringLiteral("Select an Option for Bank"));
    QCOMPARE(s.hint(), QStringLiteral("Click on Bookmark for Launch, Delete or Edit option."));
    QVERIFY(f->starter.starts.isEmpty());
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QCOMPARE(s.results().size(), 1);
}

void TestSearch::launchFromSearchKeepsTheWindow()
{
    auto f = make(sample());
    {
        TIniFile32 ini(f->store, f->files.BookmarkFileName());
        ini.WriteString("Misc", "07N", "Tool");
        ini.WriteString("Misc", "07U", "/bin/true");
        ini.WriteString("Misc", "07L", "Yes");
    }
    f->state.setChecked(MenuItem::MStartBar, true);
    QSignalSpy requests(&f->state, &BoardState::windowRequested);
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("today"));
    f->ui.answer(0); // Launch
    f->board->command([&] { s.ListView2Click(0); });
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"http://news.example/today"});
    QCOMPARE(requests.count(), 0); // not minimized
    QCOMPARE(s.results().size(), 1);
    // A program bookmark of another page starts as the program it is,
    // whichever button of the page shown is current.
    s.Edit1Change(QStringLiteral("Tool"));
    f->ui.answer(0);
    f->board->command([&] { s.ListView2Click(0); });
    QCOMPARE(f->starter.starts.size(), 2);
    QCOMPARE(f->starter.starts[1].program, QStringLiteral("/bin/true"));
    // A click on the page itself still minimizes.
    f->board->command([&] { f->board->ButtonClick("B01"); });
    QCOMPARE(requests.count(), 1);
}

void TestSearch::deleteAndEditFromTheList()
{
    auto f = make(sample());
    {
        TIniFile32 ini(f->store, f->files.BookmarkFileName());
        ini.WriteString("News", "02S", "extra");
        ini.WriteString("News", "02A", "10.0.0.2");
        ini.WriteString("News", "02C", "255");
    }
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("news"));
    QCOMPARE(titlesOf(s), (QStringList{"Newsletter", "NEWS archive", "good news", "News Today"}));
    // Edit: the dialog without the page's own commands, preloaded from the file.
    f->ui.bookmarkDialogs.push_back([](BookmarkDialog& d) {
        QVERIFY(d.fromList);
        QVERIFY(!d.passVisible);
        QCOMPARE(d.page, QByteArray("News"));
        QCOMPARE(d.slot, QByteArray("02"));
        QCOMPARE(d.Desc1, QStringLiteral("good news"));
        QCOMPARE(d.URL1, QStringLiteral("http://good.example/"));
        QCOMPARE(d.EI1, QStringLiteral("red\r\napple"));
        QCOMPARE(d.EI2, QStringLiteral("extra"));
        QCOMPARE(d.IP1, QStringLiteral("10.0.0.2"));
        QCOMPARE(d.color, 255);
        d.Desc1 = QStringLiteral("great news");
        QVERIFY(d.SaveBtnClick());
    });
    f->ui.answer(2); // Edit
    f->board->command([&] { s.ListView2Click(2); });
    QCOMPARE(f->key("Disk.LYK", "News", "02N"), QByteArray("great news"));
    QCOMPARE(titlesOf(s), (QStringList{"Newsletter", "NEWS archive", "News Today"}));
    QVERIFY(!s.indexBuilt());
    // Delete: erased from the file and the list.
    f->ui.answer(1);
    f->board->command([&] { s.ListView2Click(1); });
    QCOMPARE(f->key("Disk.LYK", "News", "03U"), QByteArray());
    QCOMPARE(titlesOf(s), (QStringList{"Newsletter", "News Today"}));
    // A bookmark erased elsewhere meanwhile is said, not launched.
    {
        TIniFile32 ini(f->store, f->files.BookmarkFileName());
        ini.DeleteKey("Misc", "05U");
    }
    f->ui.answer(0);
    f->board->command([&] { s.ListView2Click(0); });
    QCOMPARE(f->ui.messages().back(), QStringLiteral("\"Newsletter\" is no longer on page \"Misc\"."));
    QVERIFY(f->starter.starts.isEmpty());
    QCOMPARE(titlesOf(s), QStringList{"News Today"});
}

void TestSearch::bulkMoveNumbersTheNewPage()
{
    QByteArray a, b;
    for (int n = 1; n <= 6; ++n) {
        a += BookmarkText::mark(n, "Alpha" + QByteArray::number(n), BookmarkFile::SlotKey(n) + "P=note\r\n");
        b += BookmarkText::mark(n + 10, "Beta" + QByteArray::number(n));
    }
    auto f =
        make(BookmarkText::file({"A", "B", "Other"}, {{"A", a}, {"B", b}, {"Other", BookmarkText::mark(1, "Zed")}}));
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("a"));
    QCOMPARE(s.results().size(), 12);
    // The backup's owner is recorded once; from then on an action is one save.
    f->board->records().takeBackup();
    f->ui.answer(0); // Move
    f->ui.answer(QStringLiteral("a Search"));
    const int writes = f->store.writes();
    f->board->command([&] { s.MoveBtnClick(); });
    // One action, one save.
    QCOMPARE(f->store.writes() - writes, 1);
    QCOMPARE(f->ui.asked[0].options, (QStringList{"Move", "Copy", "Erase", "Ignore"}));
    QCOMPARE(f->ui.asked[1].text, QStringLiteral("a Search"));
    QCOMPARE(BookmarkText::tabs(f->store, f->files.BookmarkFileName()), (QStringList{"A", "B", "Other", "a Search"}));
    const QStringList moved = BookmarkText::titles(f->store, f->files.BookmarkFileName(), "a Search");
    QCOMPARE(moved.size(), 12);
    QCOMPARE(moved.first(), QStringLiteral("01:Alpha1"));
    QCOMPARE(moved.last(), QStringLiteral("12:Beta6"));
    // The notes name the page each came from.
    QCOMPARE(f->key("Disk.LYK", "a Search", "01P"), QByteArray("note A"));
    QCOMPARE(f->key("Disk.LYK", "a Search", "07P"), QByteArray("B"));
    QVERIFY(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "A").isEmpty());
    QCOMPARE(f->state.currentPage(), QByteArray("a Search"));
    QVERIFY(!s.resultsVisible());
    QVERIFY(s.results().isEmpty());
    QVERIFY(!s.indexBuilt());
}

void TestSearch::bulkMoveBeyondOnePageContinues()
{
    // Columns x 20 slots a page: what does not fit goes on "+" pages.
    QByteArray a;
    for (int n = 1; n <= 80; ++n)
        a += BookmarkText::mark(n, "Item" + QByteArray::number(n));
    QByteArray b;
    for (int n = 1; n <= 10; ++n)
        b += BookmarkText::mark(n, "More" + QByteArray::number(n));
    auto f = make(BookmarkText::file({"A", "B"}, {{"A", a}, {"B", b}}));
    const int perPage = f->board->vars().Columns * 20;
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Url);
    s.Edit1Change(QStringLiteral("example"));
    const int found = int(s.results().size());
    QCOMPARE(found, std::min(80, perPage) + 10);
    f->ui.answer(1); // Copy
    f->ui.answer(QStringLiteral("All"));
    f->board->command([&] { s.MoveBtnClick(); });
    int copied = 0;
    QStringList pages;
    for (const QString& tab : BookmarkText::tabs(f->store, f->files.BookmarkFileName()))
        if (tab.startsWith(QLatin1String("All"))) {
            pages << tab;
            copied += int(BookmarkText::titles(f->store, f->files.BookmarkFileName(), tab.toUtf8()).size());
        }
    QCOMPARE(copied, found);
    QCOMPARE(pages.first(), QStringLiteral("All"));
    QCOMPARE(pages.value(1), QStringLiteral("All+"));
    QCOMPARE(f->state.currentPage(), QByteArray("All"));
    // Copies leave the originals.
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "B").size(), 10);
}

void TestSearch::bulkEraseAndIgnore()
{
    auto f = make(sample());
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("news"));
    const QByteArray before = f->readFile("Disk.LYK");
    // Ignore, and an Erase answered No, change nothing but the list.
    f->ui.answer(3);
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QVERIFY(s.results().isEmpty());
    s.SearchButtonClick();
    f->ui.answer(2);
    f->ui.answer(QVariant::fromValue(Prompter::Answer::No));
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Are you sure you want to delete these bookmarks from Lynkor?"));
    QCOMPARE(f->readFile("Disk.LYK"), before);
    // A page name dialog cancelled moves nothing.
    s.SearchButtonClick();
    f->ui.answer(0);
    f->ui.answer(ScriptedPrompter::closed());
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(f->readFile("Disk.LYK"), before);
    s.SearchButtonClick();
    f->ui.answer(2);
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f->board->records().takeBackup();
    const int writes = f->store.writes();
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(f->store.writes() - writes, 1);
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "News"), QStringList{});
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "Misc"), QStringList{});
}

void TestSearch::duplicates_data()
{
    QTest::addColumn<QByteArray>("links");   // one page, a link a slot
    QTest::addColumn<QStringList>("listed"); // slots, "--" a separator

    QTest::newRow("trailing slash and case differ")
        << QByteArray("http://a.example|http://a.example/|HTTP://A.example/") << QStringList{};
    QTest::newRow("a group that ends the index has no separator")
        << QByteArray("http://b.example/|http://a.example/|http://b.example/") << QStringList{"P:01", "P:03"};
    QTest::newRow("a single after the last group: a separator")
        << QByteArray("http://b.example/|http://a.example/|http://b.example/|http://c.example/")
        << QStringList{"P:01", "P:03", "--"};
    QTest::newRow("two groups") << QByteArray("http://b.example/|http://a.example/|http://b.example/|http://a.example/")
                                << QStringList{"P:02", "P:04", "--", "P:01", "P:03"};
    QTest::newRow("protected links take no part") << QByteArray("PROT|PROT|http://x.example/") << QStringList{};
}

void TestSearch::duplicates()
{
    QFETCH(QByteArray, links);
    QFETCH(QStringList, listed);
    QByteArray body;
    int n = 0;
    for (QByteArray link : links.split('|')) {
        if (link == "PROT")
            link = PassText::Encrypt("http://hidden.example/", "pw");
        ++n;
        body += BookmarkFile::SlotKey(n) + "N=T" + QByteArray::number(n) + "\r\n" + BookmarkFile::SlotKey(n) +
                "U=" + link + "\r\n";
    }
    auto f = make(BookmarkText::file({"P"}, {{"P", body}}));
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Duplicates);
    QVERIFY(!s.textVisible());
    s.SearchButtonClick();
    QCOMPARE(placesOf(s), listed);
    QCOMPARE(s.hint(), listed.isEmpty() ? QStringLiteral("** No Duplicate Bookmarks Found **")
                                        : QStringLiteral("Click on Bookmark for Launch or Delete option."));
}

void TestSearch::duplicateEraseKeepsTheLastOfEachGroup()
{
    auto f = make(BookmarkText::file({"One", "Two", "Three"},
                                     {{"One", "04N=First\r\n04U=http://same.example/\r\n04I=http://same.example/\r\n"
                                              "05N=Other\r\n05U=http://other.example/\r\n"},
                                      {"Two", "02N=Second\r\n02U=http://same.example/\r\n"},
                                      {"Three", "09N=Third\r\n09U=http://same.example/\r\n"}}));
    // The web icon file of an erased duplicate stays (the kept one may share it).
    const QByteArray icon = f->path("same.ico");
    f->writeFile("same.ico", "icon");
    {
        TIniFile32 ini(f->store, f->files.BookmarkFileName());
        ini.WriteString("One", "04I", icon);
    }
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Duplicates);
    s.SearchButtonClick();
    // One group, in page and slot order.
    QCOMPARE(placesOf(s), (QStringList{"One:04", "Two:02", "Three:09"}));
    QCOMPARE(s.status(), QStringLiteral("3 Bookmarks in 1 groups"));
    f->ui.answer(2); // Erase
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(f->ui.asked[1].text, QStringLiteral("This will Erase all duplicate bookmarks, except the last entry of "
                                                 "each type.  Do you want to continue?"));
    QCOMPARE(f->key("Disk.LYK", "One", "04U"), QByteArray());
    QCOMPARE(f->key("Disk.LYK", "Two", "02U"), QByteArray());
    QCOMPARE(f->key("Disk.LYK", "Three", "09U"), QByteArray("http://same.example/"));
    QCOMPARE(f->key("Disk.LYK", "One", "05U"), QByteArray("http://other.example/"));
    QVERIFY(QFile::exists(QString::fromUtf8(icon)));
    // Nothing left to find.
    s.SearchButtonClick();
    QCOMPARE(s.status(), QStringLiteral("** No Duplicate Bookmarks Found **"));
}

void TestSearch::duplicateMoveLeavesABlankBetweenGroups()
{
    auto f = make(BookmarkText::file({"P"}, {{"P", BookmarkText::mark(1, "Aa") + BookmarkText::mark(2, "Bb") +
                                                       "03N=Aa2\r\n03U=http://aa.example/\r\n"
                                                       "04N=Bb2\r\n04U=http://bb.example/\r\n" +
                                                       BookmarkText::mark(5, "Cc")}}));
    BookmarkSearch s(*f->board);
    s.Edit1Change(QStringLiteral("typed before"));
    s.SearchGroupClick(Mode::Duplicates);
    s.SearchButtonClick();
    QCOMPARE(placesOf(s), (QStringList{"P:01", "P:03", "--", "P:02", "P:04", "--"}));
    f->ui.answer(0); // Move
    f->ui.answer(QStringLiteral("Doubles"));
    f->board->command([&] { s.MoveBtnClick(); });
    // The proposal is the text last typed, hidden in this mode.
    QCOMPARE(f->ui.asked[1].text, QStringLiteral("typed before Search"));
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "Doubles"),
             (QStringList{"01:Aa", "02:Aa2", "04:Bb", "05:Bb2"}));
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "P"), QStringList{"05:Cc"});
}

void TestSearch::similarKey_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("similar");
    const QString base = QStringLiteral("http://site.example/path/page");
    QTest::newRow("scheme") << base << "https://site.example/path/page" << true;
    QTest::newRow("www.") << base << "http://www.site.example/path/page" << true;
    QTest::newRow("host case") << base << "http://SITE.Example/path/page" << true;
    QTest::newRow("default port http") << base << "http://site.example:80/path/page" << true;
    QTest::newRow("default port https") << base << "https://site.example:443/path/page" << true;
    QTest::newRow("trailing slash") << base << "http://site.example/path/page/" << true;
    QTest::newRow("bare host with slash") << "http://site.example"
                                          << "https://www.site.example/" << true;
    QTest::newRow("fragment") << base << "http://site.example/path/page#part2" << true;
    QTest::newRow("tracking parameters") << base + "?id=7"
                                         << "http://site.example/path/page?utm_source=x&id=7&fbclid=abc&gclid=d"
                                         << true;
    QTest::newRow("all at once") << base << "HTTPS://WWW.Site.example:443/path/page/?utm_medium=m#top" << true;
    QTest::newRow("path case differs") << base << "http://site.example/Path/page" << false;
    QTest::newRow("other port") << base << "http://site.example:8080/path/page" << false;
    QTest::newRow("other parameter") << base + "?id=7" << base + "?id=8" << false;
    QTest::newRow("parameter order") << base + "?a=1&b=2" << base + "?b=2&a=1" << false;
    QTest::newRow("other host") << base << "http://site2.example/path/page" << false;
    QTest::newRow("ftp is not http") << "ftp://site.example/f"
                                     << "http://site.example/f" << false;
    QTest::newRow("sub-domain is not www") << base << "http://web.site.example/path/page" << false;
    QTest::newRow("a program") << "/usr/bin/tool"
                               << "/usr/bin/tool/" << false;
}

void TestSearch::similarKey()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, similar);
    QCOMPARE(BookmarkIndex::similarKey(a) == BookmarkIndex::similarKey(b), similar);
}

void TestSearch::similarGroupsVariants()
{
    auto f = make(BookmarkText::file({"P", "Q"}, {{"P", "01N=Plain\r\n01U=http://site.example/a\r\n"
                                                        "02N=Other\r\n02U=http://other.example/\r\n"
                                                        "03N=Apart\r\n03U=http://site.example/b\r\n"},
                                                  {"Q", "01N=Secure\r\n01U=https://www.site.example/a/#top\r\n"
                                                        "02N=Same\r\n02U=http://site.example/a\r\n"}}));
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Duplicates);
    s.SearchButtonClick();
    // Exactly: only the two equal links.
    QCOMPARE(placesOf(s), (QStringList{"P:01", "Q:02", "--"}));
    s.SearchGroupClick(Mode::Similar);
    s.SearchButtonClick();
    QCOMPARE(placesOf(s), (QStringList{"P:01", "Q:02", "Q:01", "--"}));
    // The erase keeps the bookmark listed last: here the secure one.
    f->ui.answer(2);
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f->board->command([&] { s.MoveBtnClick(); });
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "P"), (QStringList{"02:Other", "03:Apart"}));
    QCOMPARE(BookmarkText::titles(f->store, f->files.BookmarkFileName(), "Q"), QStringList{"01:Secure"});
    s.SearchButtonClick();
    QCOMPARE(s.hint(), QStringLiteral("** No Similar Bookmarks Found **"));
}

void TestSearch::modesAndClosing()
{
    auto f = make(sample());
    BookmarkSearch s(*f->board);
    s.SearchGroupClick(Mode::Url);
    s.CaseBoxClick(true);
    s.Edit1Change(QStringLiteral("good"));
    QCOMPARE(titlesOf(s), QStringList{"good news"});
    // Another text mode searches the typed text at once.
    s.SearchGroupClick(Mode::Title);
    QCOMPARE(titlesOf(s), QStringList{"good news"});
    // The group modes hide the text and wait for the search button.
    s.SearchGroupClick(Mode::Duplicates);
    QVERIFY(!s.textVisible());
    QVERIFY(!s.resultsVisible());
    // Opening again: "Title", nothing listed.
    s.SearchGroupClick(Mode::Keyword);
    s.FormActivate();
    QCOMPARE(s.mode(), Mode::Title);
    QVERIFY(!s.resultsVisible());
    s.SearchButtonClick();
    QVERIFY(s.indexBuilt());
    s.CloseBtnClick();
    QVERIFY(!s.indexBuilt());
    QVERIFY(s.text().isEmpty());
    QVERIFY(!s.caseSensitive());
    QVERIFY(s.results().isEmpty());
    QCOMPARE(s.caption, QStringLiteral("Search Lynkor Bookmarks"));
    s.HelpBtnClick();
    QCOMPARE(f->ui.helpShown, QList<int>{36});
}

void TestSearch::count()
{
    QByteArray third;
    for (int n = 1; n <= 12; ++n)
        third += BookmarkText::mark(n * 3, "T" + QByteArray::number(n));
    auto f = make(BookmarkText::file(
        {"A", "B", "C"}, {{"A", BookmarkText::mark(1, "x") + BookmarkText::mark(2, "y") + BookmarkText::mark(40, "z") +
                                    // Fields but no link: not a bookmark.
                                    "05N=Title only\r\n05P=notes\r\n05U=\r\n"},
                          {"B", ""},
                          {"C", third}}));
    f->ui.bookmarkCounts.push_back([](BookmarkCount& c) {
        QCOMPARE(c.label, QStringLiteral("You have 15 Bookmarks."));
        QCOMPARE(c.caption, QStringLiteral("Counting: 15"));
    });
    f->board->command([&] { BookmarkCount(*f->board).MCountClick(); });
    QVERIFY(f->ui.bookmarkCounts.empty());
}

void TestSearch::navigator()
{
    auto f = make(BookmarkText::file({"gamma", "Alpha", "beta"}));
    PageNavigator nav(*f->board);
    // Sorted: the first row is the page whose name sorts first, by its stored number.
    f->ui.pageNavigators.push_back([](PageNavigator& n) {
        QCOMPARE(n.chosen, 0);
        QCOMPARE(n.rows.size(), 3);
        QCOMPARE(n.rows[0].name, QStringLiteral("gamma"));
        n.CheckBox1Click(true);
        QCOMPARE(n.rows[0].name, QStringLiteral("Alpha"));
        QCOMPARE(n.rows[0].number, 2);
        QCOMPARE(n.rows[2].name, QStringLiteral("gamma"));
        QVERIFY(n.PageListViewClick(0));
    });
    f->board->command([&] { nav.GoPageBtnClick(); });
    QCOMPARE(f->state.currentPage(), QByteArray("Alpha"));
    QCOMPARE(f->state.tabIndex(), 1);
    // The sorting stays while the program runs; closing without a click
    // stays on the page shown. In mini mode the window takes its normal height.
    f->state.setChecked(MenuItem::MMini, true);
    f->state.requestSize(f->state.geometry().width, SettingsFile::kMiniHeight);
    f->state.setAlwaysOnTop(true);
    f->ui.pageNavigators.push_back([](PageNavigator& n) {
        QVERIFY(n.alphabetical);
        QCOMPARE(n.rows[1].name, QStringLiteral("beta"));
        QCOMPARE(n.chosen, 1);
    });
    f->board->command([&] { nav.GoPageBtnClick(); });
    QCOMPARE(f->state.tabIndex(), 1);
    QCOMPARE(f->state.geometry().height, 469);
    QVERIFY(!f->state.alwaysOnTop());
    f->ui.pageNavigators.push_back([](PageNavigator& n) { QVERIFY(n.PageListViewClick(1)); });
    f->board->command([&] { nav.GoPageBtnClick(); });
    QCOMPARE(f->state.currentPage(), QByteArray("beta"));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
