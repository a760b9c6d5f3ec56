#include "AnsiText.h"
#include "BookmarkSlot.h"
#include "BookmarkText.h"
#include "FavoritesCommands.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "PathNames.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The most memory this process has held (VmHWM), in kilobytes.
long highWaterKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

class TestFavorites : public QObject
{
    Q_OBJECT
private slots:
    void strip_data();
    void strip();
    void importTree();
    void shortcutsAsWindowsWritesThem();
    void aHugeShortcutIsReadInPart();
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

void TestFavorites::shortcutsAsWindowsWritesThem()
{
    // Saved with a byte-order mark or as UTF-16, named in no UTF-8 (an old
    // disk's Latin-1), holding an address that only runs what it holds.
    LaunchFixture f;
    f.start();
    const QString root = QDir(QString::fromUtf8(f.programDir())).filePath(QStringLiteral("Favorites"));
    shortcut(root + "/Mark.url", "\xEF\xBB\xBF" + url("http://mark.example/"));
    const QString wide = QString::fromLatin1(url("http://wide.example/\xe9"));
    QByteArray le = "\xFF\xFE", be = "\xFE\xFF";
    for (const QChar c : wide) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    shortcut(root + "/Wide.url", le);
    shortcut(root + "/Wide big end.url", be);
    shortcut(root + "/Script.url", url("javascript:alert(document.cookie)"));
    shortcut(root + "/Picture.url", url("data:text/html,<script>alert(1)</script>"));
    const QByteArray latin = PathNames::fromQt(root) + "/Caf\xe9";
    QVERIFY(mkdir(latin.constData(), 0700) == 0);
    for (const QByteArray& name : {QByteArray("/Men\xfa.url"), QByteArray("/Men\xfa.URL")}) {
        const int fd = open((latin + name).constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        const QByteArray body = url("http://latin" + QByteArray::number(name.endsWith("URL")) + ".example/");
        QCOMPARE(write(fd, body.constData(), size_t(body.size())), ssize_t(body.size()));
        close(fd);
    }
    f.ui.answer(root);
    f.board->command([&] { f.exchange.favorites().MImportIEClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(BookmarkText::names(f.state.tabs()), (QStringList{"Favorites", QStringLiteral("Café")}));
    const QByteArray file = f.files.BookmarkFileName();
    QCOMPARE(BookmarkText::titles(f.store, file, "Favorites"), (QStringList{"01:Mark", "02:Wide big end", "03:Wide"}));
    QCOMPARE(f.key("IE.lyk", "Favorites", "01U"), QByteArray("http://mark.example/"));
    QCOMPARE(AnsiText::toUi(f.key("IE.lyk", "Favorites", "02U")), QStringLiteral("http://wide.example/é"));
    QCOMPARE(AnsiText::toUi(f.key("IE.lyk", "Favorites", "03U")), QStringLiteral("http://wide.example/é"));
    QCOMPARE(BookmarkText::titles(f.store, file, "Caf\xe9").size(), 2);
    QCOMPARE(AnsiText::toUi(BookmarkSlot(TIniFile32(f.store, file), "Caf\xe9", "01").title()), QStringLiteral("Menú"));
    QCOMPARE(f.ui.messages().back(), QStringLiteral("2 shortcut(s) were skipped: only web, FTP, file and program "
                                                    "addresses become bookmarks (not javascript:, data: and the "
                                                    "like)."));
}

void TestFavorites::aHugeShortcutIsReadInPart()
{
    // A shortcut is a few lines: of a file of a gigabyte only its start is
    // read, so the import's memory does not grow with it.
    LaunchFixture f;
    f.start();
    const QString root = QDir(QString::fromUtf8(f.programDir())).filePath(QStringLiteral("Favorites"));
    shortcut(root + "/Huge.url", url("http://huge.example/"));
    {
        QFile huge(root + "/Huge.url");
        QVERIFY(huge.resize(qint64(1) << 30)); // a hole: no disk used
    }
    const long before = highWaterKilobytes();
    f.ui.answer(root);
    f.board->command([&] { f.exchange.favorites().MImportIEClick(); });
    QTRY_VERIFY_WITH_TIMEOUT(!f.board->busy(), 60000);
    QVERIFY2(highWaterKilobytes() - before < 64 * 1024, qPrintable(QString::number(highWaterKilobytes() - before)));
    QCOMPARE(f.key("IE.lyk", "Favorites", "01U"), QByteArray("http://huge.example/"));
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
    ImportedFile::Outcome outcome;
    const auto folders = FavoritesCommands::readTree(out, &outcome);
    QCOMPARE(outcome.noAddress, 0);
    QCOMPARE(folders.size(), size_t(2));
    QCOMPARE(folders[1].name, QByteArray("News"));
    QCOMPARE(folders[1].links.size(), size_t(6));
}

QTEST_GUILESS_MAIN(TestFavorites)
#include "tst_favorites.moc"
