#include "IniFiles32.h"
#include "InternetSearch.h"
#include "LaunchFixture.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QtTest>

namespace {

const QByteArray kBrowser = "/usr/bin/stand-in-browser";

// A search-site file: the sites in key order, then anything more.
QByteArray iseFile(const QList<InternetSearch::Site>& sites)
{
    QByteArray text = "[Sites]\r\nCount=" + QByteArray::number(sites.size()) + "\r\n";
    for (int i = 0; i < sites.size(); ++i)
        text += QByteArray::number(i + 1) + "=" + sites[i].name + "\r\n";
    for (const auto& s : sites) {
        text += s.name + "1=" + s.prefix + "\r\n";
        if (!s.suffix.isEmpty())
            text += s.name + "2=" + s.suffix + "\r\n";
    }
    return text;
}

const QList<InternetSearch::Site> kSites{
    {"Zebra", "http://zebra.example/find?q=", "&lang=en"},
    {"alpha", "http://alpha.example/search?q=", ""},
    {"Maps", "http://maps.example/?where=", ""},
};

} // namespace

class TestInternetSearch : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchFixture> f;
    std::unique_ptr<InternetSearch> search;

    void open(const QByteArray& ise = iseFile(kSites))
    {
        search.reset(); // it belongs to the board it is replaced with
        f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=Main\r\n");
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") +
                                    "\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=" + kBrowser + "\r\n");
        if (!ise.isEmpty())
            f->writeFile("Disk.ISE", ise);
        f->start();
        f->board->vars().BrowserPath = kBrowser;
        search = std::make_unique<InternetSearch>(*f->board);
        search->FormActivate();
    }
    void selectNamed(const QStringList& names)
    {
        QSet<int> rows;
        for (const QString& n : names)
            rows.insert(int(search->sites.indexOf(n)));
        search->SiteListClick(rows);
    }
    // The keys of section Sites, each "key=value", in file order.
    QStringList siteKeys(const QByteArray& file = "Disk.ISE")
    {
        QStringList out;
        const TIniFile32 ini(f->store, f->path(file));
        for (const auto& [key, value] : ini.ReadSectionValues("Sites"))
            out << QString::fromLatin1(key + "=" + value);
        out.sort();
        return out;
    }
    // The browser shows a page.
    void browserShows(const QByteArray& url, const QByteArray& title)
    {
        f->conversation.replies.insert("WWW_GetWindowInfo", "\"" + url + "\",\"" + title + "\",\"\"");
    }
    // Add: the browser's page is asked for; its answer comes later.
    void pressAdd()
    {
        search->AddButton1Click();
        QTRY_VERIFY(search->adding || !f->board->busy());
    }

private slots:
    void openingReadsTheCurrentFile();
    void searchAddresses_data();
    void searchAddresses();
    void searchNeedsATopicAndASite();
    void learningASite_data();
    void learningASite();
    void enterInTheSiteNameSaves();
    void renameAndDelete();
    void filesNewLoadMergeSaveAs();
    void firstFileHoldsStartingSites();
    void unwritableFileKeepsTheList();
    void searchCommandLaunchesTheAddresses();
};

void TestInternetSearch::openingReadsTheCurrentFile()
{
    open();
    QCOMPARE(search->caption, QStringLiteral("Internet Search  [ Disk ]"));
    // Sorted by name, letter case aside.
    QCOMPARE(search->sites, (QStringList{"alpha", "Maps", "Zebra"}));
    QCOMPARE(search->selectedLabel, QStringLiteral("0 Selected"));
    QVERIFY(search->addEnabled && !search->deleteEnabled && !search->renameEnabled && search->fileButtonsEnabled);
    selectNamed({"alpha", "Zebra"});
    QCOMPARE(search->selectedLabel, QStringLiteral("2 Selected"));
    QVERIFY(!search->addEnabled && search->deleteEnabled && search->renameEnabled && !search->fileButtonsEnabled);

    // Search/Name wins over the file beside the bookmark file.
    f->writeFile("Other.ISE", iseFile({{"Only", "http://only.example/?q=", ""}}));
    f->board->files().write(SettingsFile::SearchName, f->path("Other.ISE"));
    search->FormActivate();
    QCOMPARE(search->sites, QStringList{"Only"});
    QCOMPARE(search->caption, QStringLiteral("Internet Search  [ Other ]"));
}

void TestInternetSearch::searchAddresses_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QStringList>("sites");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("two words, empty suffix")
        << "red apples" << QStringList{"alpha"} << QByteArray("http://alpha.example/search?q=red+apples");
    QTest::newRow("two sites in list order")
        << "tea" << QStringList{"Zebra", "alpha"}
        << QByteArray("http://alpha.example/search?q=tea;;http://zebra.example/find?q=tea&lang=en");
    QTest::newRow("ampersand") << "salt & pepper" << QStringList{"alpha"}
                               << QByteArray("http://alpha.example/search?q=salt+%26+pepper");
    QTest::newRow("hash, question mark, plus, percent")
        << "C# ?1+1 100%" << QStringList{"alpha"} << QByteArray("http://alpha.example/search?q=C%23+%3F1%2B1+100%25");
    QTest::newRow("accented letters as UTF-8")
        << QStringLiteral("café") << QStringList{"Maps"} << QByteArray("http://maps.example/?where=caf%C3%A9");
    QTest::newRow("a list separator stays inside its address")
        << "a;;b" << QStringList{"alpha"} << QByteArray("http://alpha.example/search?q=a%3B%3Bb");
}

void TestInternetSearch::searchAddresses()
{
    QFETCH(QString, topic);
    QFETCH(QStringList, sites);
    QFETCH(QByteArray, result);
    open();
    QSignalSpy closing(search.get(), &InternetSearch::closeRequested);
    selectNamed(sites);
    search->topic = topic;
    search->SearchButton1Click();
    QCOMPARE(search->result, result);
    QCOMPARE(closing.size(), 1);
    QVERIFY(!f->board->vars().NetSearchBusy);
}

void TestInternetSearch::searchNeedsATopicAndASite()
{
    open();
    search->SearchButton1Click();
    search->topic = QStringLiteral("tea");
    search->SearchButton1Click();
    QCOMPARE(f->ui.messages(), (QStringList{"You must have text in the Enter Search Topic field.",
                                            "Select a search site from the list."}));
    QVERIFY(search->result.isEmpty());
    // The busy flag never outlives the window.
    QVERIFY(f->board->vars().NetSearchBusy);
    search->FormClose();
    QVERIFY(!f->board->vars().NetSearchBusy);
}

void TestInternetSearch::learningASite_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QStringList>("added"); // the new site's keys; empty: "Search Topic does not match!"
    QTest::newRow("topic at the end") << QByteArray("https://find.example/s?q=red+apples") << "red apples"
                                      << QStringList{"Find1=https://find.example/s?q="};
    QTest::newRow("topic in the middle") << QByteArray("https://find.example/s?q=tea&lang=en") << "tea"
                                         << QStringList{"Find1=https://find.example/s?q=", "Find2=&lang=en"};
    QTest::newRow("topic twice: split at the first") << QByteArray("https://find.example/tea?q=tea") << "tea"
                                                     << QStringList{"Find1=https://find.example/", "Find2=?q=tea"};
    QTest::newRow("encoded by the browser")
        << QByteArray("https://find.example/?q=caf%C3%A9&x=1") << QStringLiteral("café")
        << QStringList{"Find1=https://find.example/?q=", "Find2=&x=1"};
    QTest::newRow("blanks as %20") << QByteArray("https://find.example/?q=red%20apples") << "red apples"
                                   << QStringList{"Find1=https://find.example/?q="};
    QTest::newRow("no match") << QByteArray("https://find.example/?q=coffee") << "tea" << QStringList{};
}

void TestInternetSearch::learningASite()
{
    QFETCH(QByteArray, url);
    QFETCH(QString, topic);
    QFETCH(QStringList, added);
    open();
    const QByteArray before = f->readFile("Disk.ISE");
    browserShows(url, "Find");
    search->topic = topic;
    pressAdd();
    QVERIFY(search->adding);
    QCOMPARE(search->addCaption(), QStringLiteral("SAVE"));
    QCOMPARE(search->siteName, QStringLiteral("Find"));
    search->AddButton1Click();
    QVERIFY(!search->adding);
    if (added.isEmpty()) {
        QCOMPARE(f->ui.messages(), QStringList{"Search Topic does not match!"});
        QCOMPARE(f->readFile("Disk.ISE"), before);
        return;
    }
    QVERIFY(f->ui.messages().isEmpty());
    QStringList expected{"1=alpha",
                         "2=Find",
                         "3=Maps",
                         "4=Zebra",
                         "Count=4",
                         "Maps1=http://maps.example/?where=",
                         "Zebra1=http://zebra.example/find?q=",
                         "Zebra2=&lang=en",
                         "alpha1=http://alpha.example/search?q="};
    expected << added;
    expected.sort();
    QCOMPARE(siteKeys(), expected);
    QCOMPARE(search->sites, (QStringList{"alpha", "Find", "Maps", "Zebra"}));
}

void TestInternetSearch::enterInTheSiteNameSaves()
{
    // Enter after typing the new site's name saves it (no search runs), and
    // a name that would break the file's keys is made safe.
    open();
    browserShows("https://find.example/?q=tea", "Tea = hot - Find");
    search->topic = QStringLiteral("tea");
    pressAdd();
    search->siteName = QStringLiteral("[Tea = hot]");
    search->SiteName1Enter();
    QVERIFY(search->result.isEmpty());
    QVERIFY(!search->adding);
    QVERIFY(siteKeys().contains(QStringLiteral("Tea - hot]1=https://find.example/?q=")));
    QVERIFY(search->sites.contains(QStringLiteral("Tea - hot]")));

    // Adding a name that exists gives it the new address; no second entry.
    browserShows("https://other.example/?s=tea", "x");
    pressAdd();
    search->siteName = QStringLiteral("alpha");
    search->AddButton1Click();
    QCOMPARE(search->sites.count(QStringLiteral("alpha")), 1);
    QVERIFY(siteKeys().contains(QStringLiteral("alpha1=https://other.example/?s=")));
}

void TestInternetSearch::renameAndDelete()
{
    open();
    selectNamed({"Maps", "Zebra"});
    search->RenameButton1Click();
    QCOMPARE(f->ui.messages(), QStringList{"Only 1 site at a time can be renamed."});
    QVERIFY(search->renaming);
    QCOMPARE(search->renameCaption(), QStringLiteral("Save Name"));
    QCOMPARE(search->siteName, QStringLiteral("Maps"));
    search->siteName = QStringLiteral("Atlas");
    search->RenameButton1Click();
    QVERIFY(!search->renaming);
    QCOMPARE(search->selectedLabel, QStringLiteral("0 Selected"));
    QCOMPARE(siteKeys(), (QStringList{"1=alpha", "2=Atlas", "3=Zebra", "Atlas1=http://maps.example/?where=", "Count=3",
                                      "Zebra1=http://zebra.example/find?q=", "Zebra2=&lang=en",
                                      "alpha1=http://alpha.example/search?q="}));

    // Delete asks; No keeps everything.
    selectNamed({"alpha", "Zebra"});
    f->ui.answer(QVariant::fromValue(Prompter::Answer::No));
    search->DeleteButton1Click();
    QCOMPARE(search->sites.size(), 3);
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    search->DeleteButton1Click();
    QCOMPARE(f->ui.messages().last(), QStringLiteral("Are you sure you want to delete search site?"));
    QCOMPARE(siteKeys(), (QStringList{"1=Atlas", "Atlas1=http://maps.example/?where=", "Count=1"}));
    QCOMPARE(search->sites, QStringList{"Atlas"});
}

void TestInternetSearch::filesNewLoadMergeSaveAs()
{
    open();
    // Merge: the other file's sites join the list; a name this file has stays as it is.
    f->writeFile("More.ISE", iseFile({{"Books", "http://books.example/?q=", "&all=1"},
                                      {"alpha", "http://elsewhere.example/?q=", ""}}));
    f->ui.answer(QString::fromLatin1(f->path("More.ISE")));
    search->MergeButton1Click();
    QCOMPARE(search->sites, (QStringList{"alpha", "Books", "Maps", "Zebra"}));
    QVERIFY(siteKeys().contains(QStringLiteral("Books2=&all=1")));
    QVERIFY(siteKeys().contains(QStringLiteral("alpha1=http://alpha.example/search?q=")));

    // Save File As: a copy that becomes the current file.
    f->ui.answer(QString::fromLatin1(f->path("Copy.ISE")));
    search->SaveButton1Click();
    QCOMPARE(f->readFile("Copy.ISE"), f->readFile("Disk.ISE"));
    QCOMPARE(f->key("lyk.ini", "Search", "Name"), f->path("Copy.ISE"));
    QCOMPARE(search->caption, QStringLiteral("Internet Search  [ Copy ]"));

    // New File: empty, current, remembered.
    f->ui.answer(QString::fromLatin1(f->path("Empty.ISE")));
    search->NewButton1Click();
    QVERIFY(search->sites.isEmpty());
    QCOMPARE(siteKeys("Empty.ISE"), QStringList{"Count=0"});
    QCOMPARE(f->key("lyk.ini", "Search", "Name"), f->path("Empty.ISE"));

    // Load File; cancelled, it keeps (and records) the current file.
    f->ui.answer(QString::fromLatin1(f->path("More.ISE")));
    search->LoadButton1Click();
    QCOMPARE(search->sites, (QStringList{"alpha", "Books"}));
    f->ui.answer(ScriptedPrompter::closed());
    search->LoadButton1Click();
    QCOMPARE(search->sites, (QStringList{"alpha", "Books"}));
    QCOMPARE(f->key("lyk.ini", "Search", "Name"), f->path("More.ISE"));
    const auto q = f->ui.asked.last();
    QCOMPARE(q.text, QStringLiteral("Select Search Engine File."));
}

void TestInternetSearch::firstFileHoldsStartingSites()
{
    // No search-site file yet: Disk.ISE is made with a few general sites,
    // each taking the topic in its address.
    open({});
    QCOMPARE(search->sites.size(), InternetSearch::startingSites().size());
    const QList<InternetSearch::Site> stored = InternetSearch::readSites(*f->board, f->path("Disk.ISE"));
    QCOMPARE(stored.size(), InternetSearch::startingSites().size());
    for (const auto& site : stored)
        QVERIFY(site.prefix.startsWith("https://"));
    selectNamed({"Wikipedia"});
    search->topic = QStringLiteral("Ada Lovelace");
    search->SearchButton1Click();
    QCOMPARE(search->result, QByteArray("https://en.wikipedia.org/w/index.php?search=Ada+Lovelace"));
}

void TestInternetSearch::unwritableFileKeepsTheList()
{
    open();
    const QByteArray before = f->readFile("Disk.ISE");
    selectNamed({"Zebra"});
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    {
        // A full disk: no file grows beyond 10 bytes.
        const TestFiles::WritesFailBeyond full(10);
        search->DeleteButton1Click();
    }
    QVERIFY(f->ui.messages().last().contains(QStringLiteral("The list stays as it was.")));
    QCOMPARE(search->sites, (QStringList{"alpha", "Maps", "Zebra"}));
    QCOMPARE(f->readFile("Disk.ISE"), before);
}

void TestInternetSearch::searchCommandLaunchesTheAddresses()
{
    open();
    WebSearchCommand command(*f->board);
    f->ui.internetSearches.push_back([](InternetSearch& s) {
        QSet<int> rows{int(s.sites.indexOf(QStringLiteral("alpha"))), int(s.sites.indexOf(QStringLiteral("Maps")))};
        s.SiteListClick(rows);
        s.topic = QStringLiteral("blue sky");
        s.SearchButton1Click();
    });
    f->board->command([&] { command.SearchNetButtonClick(); });
    QStringList opened;
    for (const auto& s : std::as_const(f->starter.starts))
        opened << s.arguments;
    QCOMPARE(opened, (QStringList{"http://alpha.example/search?q=blue+sky", "http://maps.example/?where=blue+sky"}));

    // Closed without a search: nothing opens.
    f->starter.starts.clear();
    f->ui.internetSearches.push_back([](InternetSearch&) {});
    f->board->command([&] { command.SearchNetButtonClick(); });
    QVERIFY(f->starter.starts.isEmpty());
}

QTEST_GUILESS_MAIN(TestInternetSearch)
#include "tst_internetsearch.moc"
