#include "BookmarkFile.h"
#include "CommandError.h"
#include "ConversionError.h"
#include "IniFiles32.h"
#include "PathNames.h"
#include "ProgramFiles.h"
#include "SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestBookmarkFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    IniStore m_store;

    QByteArray file(const QByteArray& name, const QByteArray& text)
    {
        const QByteArray p = PathNames::fromQt(m_dir.filePath(QString::fromLatin1(name)));
        QFile f(PathNames::toQt(p));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return p;
    }

private slots:
    void pageList_data();
    void pageList();
    void slotKeys();
    void readBookmarkDefaults();
    void glyphCodes_data();
    void glyphCodes();
    void newFileTabsAndSaveTabs();
    void settingsFileFoundWithoutRegardToCase();
    void recentFilesAlwaysInDefaultSettingsFile();
};

void TestBookmarkFile::pageList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArrayList>("pages");
    const QByteArrayList ten = {"Page1", "Page2", "Page3", "Page4", "Page5",
                                "Page6", "Page7", "Page8", "Page9", "Page10"};
    QTest::newRow("no Tabs section: ten default pages") << QByteArray("[Other]\r\n") << ten;
    QTest::newRow("names with gaps take defaults")
        << QByteArray("[Tabs]\r\nCount=3\r\nTab1=Work\r\nTab3=Home\r\n") << QByteArrayList{"Work", "Page2", "Home"};
    QTest::newRow("count 0 still gives page 1")
        << QByteArray("[Tabs]\r\nCount=0\r\nTab1=Only\r\n") << QByteArrayList{"Only"};
    QTest::newRow("negative count") << QByteArray("[Tabs]\r\nCount=-4\r\n") << QByteArrayList{"Page1"};
    QTest::newRow("keys beyond count are ignored")
        << QByteArray("[Tabs]\r\nCount=1\r\nTab1=A\r\nTab2=B\r\n") << QByteArrayList{"A"};
    // Past 10,000 pages a count is believed as far as the file names pages:
    // a collection that big is reachable, a damaged count is no collection.
    QByteArray many = "[Tabs]\r\nCount=10050\r\n";
    QByteArrayList manyNames;
    for (int n = 1; n <= 10050; ++n) {
        manyNames << "P" + QByteArray::number(n);
        many += "Tab" + QByteArray::number(n) + "=P" + QByteArray::number(n) + "\r\n";
    }
    QTest::newRow("more than 10,000 pages, every one named") << many << manyNames;
    QByteArrayList tenThousand{"A", "B"};
    for (int n = 3; n <= 10000; ++n)
        tenThousand << "Page" + QByteArray::number(n);
    QTest::newRow("a damaged count is cut at 10,000")
        << QByteArray("[Tabs]\r\nCount=2000000000\r\nTab1=A\r\nTab2=B\r\n") << tenThousand;
}

void TestBookmarkFile::pageList()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArrayList, pages);
    TIniFile32 ini(m_store, file("pages.LYK", text));
    const std::vector<QByteArray> read = BookmarkFile::ReadPageList(ini);
    QCOMPARE(QByteArrayList(read.begin(), read.end()), pages);
}

void TestBookmarkFile::slotKeys()
{
    QCOMPARE(BookmarkFile::SlotKey(1), QByteArray("01"));
    QCOMPARE(BookmarkFile::SlotKey(80), QByteArray("80"));
    QCOMPARE(BookmarkFile::FieldKey("07", BookmarkRecord::Url), QByteArray("07U"));
    QCOMPARE(BookmarkFile::FieldKey("42", BookmarkRecord::Title), QByteArray("42N"));
    QCOMPARE(BookmarkFile::SlotNumber("05"), 5);
    QCOMPARE(BookmarkFile::SlotNumber("00"), 1);
}

void TestBookmarkFile::readBookmarkDefaults()
{
    TIniFile32 ini(m_store, file("slots.LYK", "[Work]\r\n"
                                              "01N=Title only\r\n"
                                              "01P=kept|~notes\r\n"
                                              "02N=Site\r\n02U=http://site.example/\r\n02P=a|~b\r\n"
                                              "03U=/usr/bin/prog\r\n03I=/icons/x.ico\r\n03G=601\r\n"));
    using F = BookmarkRecord;
    const BookmarkRecord blank = BookmarkFile::ReadBookmark(ini, "Work", "01");
    QVERIFY(!blank.isFilled());
    QCOMPARE(blank[F::Title], QByteArray("Title only"));
    QCOMPARE(blank[F::Notes], QByteArray()); // a blank slot reads only its title
    QCOMPARE(blank[F::Glyph], QByteArray());

    const BookmarkRecord site = BookmarkFile::ReadBookmark(ini, "work", "02");
    QVERIFY(site.isFilled());
    QCOMPARE(site[F::Notes], QByteArray("a|~b"));
    QCOMPARE(site[F::Glyph], QByteArray("0"));
    QCOMPARE(site[F::IconFile], QByteArray("http://site.example/"));
    QCOMPARE(site[F::Color], QByteArray());

    const BookmarkRecord prog = BookmarkFile::ReadBookmark(ini, "Work", "03");
    QCOMPARE(prog[F::IconFile], QByteArray("/icons/x.ico"));
    QCOMPARE(prog[F::Glyph], QByteArray("601"));
    QCOMPARE(prog[F::Title], QByteArray());
}

void TestBookmarkFile::glyphCodes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("legacy");
    QTest::addColumn<QString>("error");
    QTest::newRow("plain") << QByteArray("120") << 120 << false << QString();
    QTest::newRow("Icon012 becomes 512") << QByteArray("Icon012") << 512 << true << QString();
    QTest::newRow("Icon512 stays 512") << QByteArray("Icon512") << 512 << true << QString();
    QTest::newRow("Image007 becomes 7") << QByteArray("Image007") << 7 << true << QString();
    QTest::newRow("digits after the seventh character are ignored")
        << QByteArray("Icon0129") << 512 << true << QString();
    QTest::newRow("not a number") << QByteArray("abc") << 0 << false
                                  << QStringLiteral("'abc' is not a valid integer value");
    QTest::newRow("Icon without digits") << QByteArray("Icon") << 0 << true
                                         << QStringLiteral("'' is not a valid integer value");
}

void TestBookmarkFile::glyphCodes()
{
    QFETCH(QByteArray, text);
    QFETCH(int, code);
    QFETCH(bool, legacy);
    QFETCH(QString, error);
    bool isLegacy = false;
    try {
        QCOMPARE(BookmarkFile::GlyphCode(text, &isLegacy), code);
        QVERIFY(error.isEmpty());
        QCOMPARE(isLegacy, legacy);
    } catch (const ConversionError& e) {
        QCOMPARE(e.text(), error);
    }
}

void TestBookmarkFile::newFileTabsAndSaveTabs()
{
    const QByteArray p = file("new.LYK", "");
    {
        TIniFile32 ini(m_store, p);
        BookmarkFile::WriteNewFileTabs(ini);
    }
    {
        TIniFile32 ini(m_store, p);
        QCOMPARE(BookmarkFile::ReadPageList(ini).size(), size_t(10));
        QCOMPARE(ini.ReadString("Tabs", "Tab10", {}), QByteArray("Page10"));
        BookmarkFile::SaveTabs(ini, {"A", "B"});
    }
    TIniFile32 ini(m_store, p);
    QCOMPARE(ini.ReadInteger("Tabs", "Count", 0), 2);
    QCOMPARE(ini.ReadString("Tabs", "Tab2", {}), QByteArray("B"));
    QCOMPARE(ini.ReadString("Tabs", "Tab3", {}), QByteArray("Page3")); // keys beyond stay
}

void TestBookmarkFile::settingsFileFoundWithoutRegardToCase()
{
    QTemporaryDir dir;
    ProgramFiles files(m_store);
    files.setProgramDir(PathNames::fromQt(dir.path()));
    // A new default settings file is spelled lyk.ini.
    QCOMPARE(PathNames::fileName(files.settingsPath()), QByteArray("lyk.ini"));
    QFile upper(dir.filePath("LYK.INI"));
    QVERIFY(upper.open(QIODevice::WriteOnly));
    upper.close();
    QCOMPARE(PathNames::fileName(files.settingsPath()), QByteArray("LYK.INI"));
    files.setSettingsStem("work");
    QCOMPARE(PathNames::fileName(files.settingsPath()), QByteArray("work.INI"));
    files.WriteToIniI("Column", "Count", 3);
    QCOMPARE(files.ReadFromIniI("Column", "Count", 4), 3);
    QVERIFY(QFile::exists(dir.filePath("work.INI")));
}

void TestBookmarkFile::recentFilesAlwaysInDefaultSettingsFile()
{
    QTemporaryDir dir;
    ProgramFiles files(m_store);
    files.setProgramDir(PathNames::fromQt(dir.path()));
    files.setSettingsStem("work");
    QCOMPARE(files.recentFilesPath(), PathNames::fromQt(dir.path()) + "/lyk.ini");
}

QTEST_GUILESS_MAIN(TestBookmarkFile)
#include "tst_bookmarkfile.moc"
