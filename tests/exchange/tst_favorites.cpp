#include "AnsiText.h"
#include "BookmarkText.h"
#include "FavoritesCommands.h"
#include "LaunchFixture.h"
#include "PathNames.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

void shortcut(const QString& path, const QByteArray& body)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(body);
}

QByteArray url(const QByteArray& address)
{
    return "[DEFAULT]\r\nBASEURL=" + address + "\r\n[InternetShortcut]\r\nURL=" + address + "\r\nIconIndex=0\r\n";
}

} // namespace

class TestFavorites : public QObject
{
    Q_OBJECT
private slots:
    void strip_data();
    void strip();
    void importTree();
    void exportPages();
};

void TestFavorites::strip_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("the Part's example") << QByteArray("A/B: C.html") << QByteArray("A_B_ C_html");
    QTest::newRow("all eleven") << QByteArray("\\/:*?\"<>|.,x") << QByteArray("___________x");
    QTest::newRow("others stay") << QByteArray("Caf\xc3\xa9 & Co (2)") << QByteArray("Caf\xc3\xa9 & Co (2)");
}

void TestFavorites::strip()
{
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, file);
    QCOMPARE(FavoritesCommands::Strip(title), file);
}

void TestFavorites::importTree()
{
    LaunchFixture f;
    f.start();
    const QString root = QDir(QString::fromUtf8(f.programDir())).filePath(QStringLiteral("Favorites"));
    shortcut(root + "/Home.url", url("http://home.example/"));
    shortcut(root + "/Links/Alpha.url", url("http://alpha.example/"));
    shortcut(root + "/Links/Deeper/Deep.url", url("http://deep.example/"));
    shortcut(root + "/Links/No address.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    shortcut(root + "/Other/Links/Beta.url", url("http://beta.example/"));
    QDir().mkpath(root + "/Empty");
    for (int i = 1; i <= 85; ++i)
        shortcut(root + QStringLiteral("/Many/Site %1.url").arg(i, 3, 10, QLatin1Char('0')),
                 url("http://site" + QByteArray::number(i) + ".example/"));
    f.ui.answer(root);
    f.board->command([&] { f.exchange.favorites().MImportIEClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.asked[0].kind, QStringLiteral("folder"));
    QCOMPARE(f.files.BookmarkFileName(), f.path("IE.lyk"));
    // The root first, then the others by path, each named by its own name;
    // two folders of one name get two pages.
    QCOMPARE(BookmarkText::names(f.state.tabs()),
             (QStringList{"Favorites", "Links", "Deeper", "Many", "Many+", "Links+"}));
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Links"), QStringList{"01:Alpha"});
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Links+"), QStringList{"01:Beta"});
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Many").size(), 80);
    QCOMPARE(BookmarkText::titles(f.store, f.files.BookmarkFileName(), "Many+"),
             (QStringList{"01:Site 081", "02:Site 082", "03:Site 083", "04:Site 084", "05:Site 085"}));
    QCOMPARE(f.key("IE.lyk", "Favorites", "01U"), QByteArray("http://home.example/"));
    // The shortcut without an address is counted, not given one.
    QCOMPARE(f.ui.messages().back(), QStringLiteral("1 shortcut(s) without an address (no URL) were skipped."));
    // Again: replaced only after a Yes.
    f.ui.answer(QVariant::fromValue(Prompter::Answer::No));
    f.board->command([&] { f.exchange.favorites().MImportIEClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("File already exists.  Do you want to overwrite it?"));
}

void TestFavorites::exportPages()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK",
                BookmarkText::file({"News", "A/B: C"}, {{"News", "01N=Same: title\r\n01U=http://one.example/\r\n"
                                                                 "02N=Same/ title\r\n02U=http://two.example/\r\n"
                                                                 "03N=Caf\xc3\xa9\r\n03U=http://cafe.example/\r\n"},
                                                        {"A/B: C", BookmarkText::mark(1, "Tee")}}));
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.start();
    const QString out = QDir(QString::fromUtf8(f.programDir())).filePath(QStringLiteral("Exported"));
    f.ui.answer(out);
    f.board->command([&] { f.exchange.favorites().MExportIEClick(true); });
    QDir news(out + "/News");
    QCOMPARE(news.entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("Café.url"), "Same_ title (2).url", "Same_ title.url"}));
    QFile first(news.filePath("Same_ title.url"));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray("[InternetShortcut]\r\nURL=http://one.example/\r\n"));
    // A page name that is no folder name is cleaned like a title.
    QVERIFY(QFileInfo::exists(out + "/A_B_ C/Tee.url"));
    // Once more: the shortcuts already there are kept.
    f.ui.answer(out);
    f.board->command([&] { f.exchange.favorites().MExportIEClick(false); });
    QCOMPARE(news.entryList(QDir::Files).size(), 6);
    // And they read back as favorites.
    int skipped = 0;
    const auto folders = FavoritesCommands::readTree(f.store, out, &skipped);
    QCOMPARE(skipped, 0);
    QCOMPARE(folders.size(), size_t(2));
    QCOMPARE(folders[1].name, QByteArray("News"));
    QCOMPARE(folders[1].links.size(), size_t(6));
}

QTEST_GUILESS_MAIN(TestFavorites)
#include "tst_favorites.moc"
