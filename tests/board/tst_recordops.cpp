#include "BoardFixture.h"
#include "CommandError.h"
#include "FileError.h"
#include "IniFiles32.h"
#include "LaunchFixture.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "WebIconFiles.h"
#include "WindowModes.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray slotLines(int n, const QByteArray& title, const QByteArray& extra = {})
{
    const QByteArray k = QByteArray::number(n).rightJustified(2, '0');
    return k + "N=" + title + "\r\n" + k + "U=http://" + title.toLower() + ".example/\r\n" + extra;
}

} // namespace

class TestRecordOps : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardFixture> make(const QByteArray& pageBody, const QByteArray& settings = {})
    {
        auto f = std::make_unique<BoardFixture>();
        f->writeFile("Disk.LYK", "[Tabs]\r\nCount=2\r\nTab1=P\r\nTab2=Q\r\n[P]\r\n" + pageBody);
        if (!settings.isEmpty())
            f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n" + settings);
        f->start();
        return f;
    }
    static BookmarkRecord record(const QByteArray& title)
    {
        BookmarkRecord r;
        r[BookmarkRecord::Title] = title;
        r[BookmarkRecord::Url] = "http://" + title.toLower() + ".example/";
        r[BookmarkRecord::Notes] = "new|~notes";
        return r;
    }

private slots:
    void storeButtonReadsTheTenFields();
    void writeButtonWritesInOrder();
    void putButtonShiftsUpToTheNextBlank();
    void putButtonOnABlankButton();
    void putButtonOnAFullPageKeepsTheRecord();
    void moveButtonsKeepsTargetFieldsTheSourceLacks();
    void eraseButton();
    void eraseWithTheWebIconQuestion_data();
    void eraseWithTheWebIconQuestion();
    void backupThenUndoRestoresTheFile();
    void backupOption();
    void copiesAndSavesKeepTheFilesPrivacy();
    void savingAHardLinkSaysItSplitIt();
    void failingBackupEndsTheCommand();
};

void TestRecordOps::storeButtonReadsTheTenFields()
{
    auto f = make(slotLines(3, "Site",
                            "03C=255\r\n03D=Mon, 01 Jan 2024 10:00:00\r\n03P=a|~b\r\n03S=extra\r\n"
                            "03L=IP\r\n03G=512\r\n03I=/x.ico\r\n03A=10.0.0.1\r\n"));
    f->board->records().StoreButton(f->path("Disk.LYK"), "P", "03");
    QCOMPARE(f->board->records().BookmarkBox(),
             (QList<QByteArray>{"Site", "http://site.example/", "255", "Mon, 01 Jan 2024 10:00:00", "a|~b", "extra",
                                "IP", "512", "/x.ico", "10.0.0.1"}));
    f->board->records().StoreButton(f->path("Disk.LYK"), "P", "09");
    QCOMPARE(f->board->records().BookmarkBox(), QList<QByteArray>(10)); // missing keys: empty lines
}

void TestRecordOps::writeButtonWritesInOrder()
{
    auto f = make({});
    BookmarkRecord r = record("Mail");
    r[BookmarkRecord::Color] = "255";
    r[BookmarkRecord::Glyph] = "5";
    f->board->records().setRecord(r);
    f->board->records().WriteButton("P", "04");
    QVERIFY(f->board->records().BookmarkBox().isEmpty());
    QVERIFY(f->readFile("Disk.LYK")
                .endsWith("[P]\r\n04N=Mail\r\n04U=http://mail.example/\r\n04C=255\r\n"
                          "04P=new|~notes\r\n04G=5\r\n"));
    const ButtonFace& face = f->state.buttons()[3];
    QCOMPARE(face.caption, QByteArray("Mail"));
    QCOMPARE(face.hint, QByteArray("http://mail.example/\rnew\r\nnotes"));
    QCOMPARE(face.color, 255);
    QCOMPARE(face.glyph, (IconRef{IconRef::Internal, 5, {}}));
    QVERIFY(face.handCursor);
    // Title and Url are written even when empty; nothing happens without a record.
    f->board->records().setRecord(BookmarkRecord());
    f->board->records().WriteButton("P", "06");
    QVERIFY(f->readFile("Disk.LYK").endsWith("06N=\r\n06U=\r\n"));
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->records().WriteButton("P", "07");
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestRecordOps::putButtonShiftsUpToTheNextBlank()
{
    auto f = make(slotLines(5, "Five", "05P=kept five\r\n") + slotLines(6, "Six") + slotLines(7, "Seven") +
                  slotLines(9, "Nine"));
    f->board->records().setRecord(record("New"));
    const int writes = f->store.writes();
    QVERIFY(f->board->records().PutButton("B05"));
    QCOMPARE(f->store.writes() - writes, 1); // one put-down, one save
    QCOMPARE(f->key("Disk.LYK", "P", "05N"), QByteArray("New"));
    QCOMPARE(f->key("Disk.LYK", "P", "05P"), QByteArray("new|~notes"));
    QCOMPARE(f->key("Disk.LYK", "P", "06N"), QByteArray("Five"));
    QCOMPARE(f->key("Disk.LYK", "P", "06P"), QByteArray("kept five"));
    QCOMPARE(f->key("Disk.LYK", "P", "07N"), QByteArray("Six"));
    QCOMPARE(f->key("Disk.LYK", "P", "08N"), QByteArray("Seven"));
    QCOMPARE(f->key("Disk.LYK", "P", "09N"), QByteArray("Nine"));
    QCOMPARE(f->state.buttons()[7].caption, QByteArray("Seven"));
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
}

void TestRecordOps::putButtonOnABlankButton()
{
    auto f = make(slotLines(5, "Five"));
    f->board->records().setRecord(record("New"));
    QVERIFY(f->board->records().PutButton("B04"));
    QCOMPARE(f->key("Disk.LYK", "P", "04N"), QByteArray("New"));
    QCOMPARE(f->key("Disk.LYK", "P", "05N"), QByteArray("Five"));
    QCOMPARE(f->key("Disk.LYK", "P", "06N"), QByteArray());
}

void TestRecordOps::putButtonOnAFullPageKeepsTheRecord()
{
    auto f = make(slotLines(39, "A") + slotLines(40, "B"), "[Column]\r\nCount=2\r\n");
    f->board->records().setRecord(record("New"));
    const QByteArray before = f->readFile("Disk.LYK");
    QVERIFY(!f->board->records().PutButton("B39"));
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QCOMPARE(f->board->records().BookmarkBox().front(), QByteArray("New"));
}

void TestRecordOps::moveButtonsKeepsTargetFieldsTheSourceLacks()
{
    auto f = make(slotLines(1, "Source") + slotLines(2, "Target", "02P=old notes\r\n02S=old extra\r\n"));
    f->board->records().MoveButtons("P", "Q", "02", "01");
    f->board->records().MoveButtons("P", "P", "02", "01");
    QCOMPARE(f->key("Disk.LYK", "P", "02N"), QByteArray("Source"));
    QCOMPARE(f->key("Disk.LYK", "P", "02P"), QByteArray("old notes"));
    QCOMPARE(f->key("Disk.LYK", "Q", "02U"), QByteArray("http://source.example/"));
}

void TestRecordOps::eraseButton()
{
    auto f = make(slotLines(2, "Gone", "02P=n\r\n02G=5\r\n02A=1.2.3.4\r\n"));
    f->board->modes().addRecentBookmark(WindowModes::recentEntry("Gone", "P", "02"));
    f->board->modes().addRecentBookmark(WindowModes::recentEntry("Other", "P", "03"));
    const int writes = f->store.writes();
    f->board->records().EraseButton("P", "02");
    QCOMPARE(f->store.writes() - writes, 1); // keys and recent list in one save
    QVERIFY(!f->readFile("Disk.LYK").contains("02"));
    QCOMPARE(f->state.buttons()[1].caption, QByteArray());
    QCOMPARE(f->state.buttons()[1].glyph, IconRef::blank());
    QVERIFY(!f->state.buttons()[1].handCursor);
    QCOMPARE(f->state.recentBookmarks(), (QList<QByteArray>{"Other  |P::03", ""}));
}

void TestRecordOps::eraseWithTheWebIconQuestion_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("keepingErase");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("delete image") << true << true << 0 << true << true;
    QTest::newRow("keep image") << true << true << 1 << true << false;
    QTest::newRow("dialog closed") << true << true << -1 << true << false;
    QTest::newRow("no confirmation") << false << true << 0 << false << true;
    QTest::newRow("part of a move") << true << false << 0 << false << false;
}

void TestRecordOps::eraseWithTheWebIconQuestion()
{
    QFETCH(bool, confirm);
    QFETCH(bool, keepingErase);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, deleted);
    auto f = make({}, confirm ? QByteArray() : QByteArray("[Confirm]\r\nWebIcon=Off\r\n"));
    const QByteArray url = "http://www.site.com/";
    const QByteArray folder = WebIconFiles::folder(f->path("Disk.LYK"));
    QCOMPARE(folder, f->path("Diskwebicons/"));
    QDir().mkpath(PathNames::toQt(folder));
    const QByteArray icon = folder + WebIconFiles::strippedLink(url) + ".ico";
    QCOMPARE(icon, f->path("Diskwebicons/site_com_.ico"));
    f->writeFile("Diskwebicons/site_com_.ico", "icon");
    {
        TIniFile32 ini(f->store, f->path("Disk.LYK"));
        ini.WriteString("P", "01N", "Site");
        ini.WriteString("P", "01U", url);
        ini.WriteString("P", "01I", icon);
    }
    if (asked)
        f->ui.answer(answer);
    f->board->records().EraseButton("P", "01",
                                    keepingErase ? RecordOps::WebIconFile::MayDelete : RecordOps::WebIconFile::Keep);
    QCOMPARE(f->ui.asked.size(), asked ? 1 : 0);
    if (asked) {
        const auto& q = f->ui.asked.front();
        QCOMPARE(q.text, QStringLiteral("Delete Web Icon for \"Site\""));
        QCOMPARE(q.options, (QStringList{"Delete Image", "Keep Image"}));
        QCOMPARE(q.lines, (QStringList{"A Web Icon is being used by the \"Site\" bookmark.", "http://www.site.com/",
                                       "If you have duplicate bookmarks they may be using this icon as well.",
                                       "If you delete this icon you can recover it by bookmarking the site again."}));
    }
    QCOMPARE(!QFile::exists(PathNames::toQt(icon)), deleted);
    QCOMPARE(f->key("Disk.LYK", "P", "01U"), QByteArray());
}

void TestRecordOps::backupThenUndoRestoresTheFile()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=2\r\nTab1=P\r\nTab2=Q\r\n[P]\r\n" + slotLines(1, "Kept"));
    f.start();
    f.board->pages().selectTab(1);
    const QByteArray before = f.readFile("Disk.LYK");
    f.conversation.replies.insert("WWW_GetWindowInfo", "\"http://www.news.com/\",\"News\",\"\"");
    f.board->vars().BrowserPath = "/usr/bin/chromium";
    f.board->ButtonClick("B03"); // a blank slot takes the browser's page
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.readFile("Disk.bak"), before);
    QVERIFY(f.readFile("Disk.LYK") != before);
    f.board->records().MUndoClick();
    QCOMPARE(f.readFile("Disk.LYK"), before);
    QCOMPARE(f.state.tabIndex(), 0);
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Kept"));
    QCOMPARE(f.state.title(), QStringLiteral("Lynkor  [ Disk ]    P: Page 1 of 2   12/10/26"));
}

void TestRecordOps::copiesAndSavesKeepTheFilesPrivacy()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n" + slotLines(1, "Kept"));
    const QString lyk = PathNames::toQt(f.path("Disk.LYK"));
    QVERIFY(QFile::setPermissions(lyk, QFile::ReadOwner | QFile::WriteOwner));
    f.start();
    auto mode = [](const QString& path) {
        struct stat st = {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 0777;
    };
    // The backup, a copy and a save of the file: all stay 0600.
    f.board->records().takeBackup();
    QCOMPARE(mode(PathNames::toQt(f.path("Disk.bak"))), mode_t(0600));
    RecordOps::FileCopy(f.path("Disk.LYK"), f.path("copy.LYK"));
    QCOMPARE(mode(PathNames::toQt(f.path("copy.LYK"))), mode_t(0600));
    {
        TIniFile32 ini(f.store, f.path("Disk.LYK"));
        ini.WriteString("P", "02N", "New");
    }
    QCOMPARE(mode(lyk), mode_t(0600));
    // Owner and group are kept where this process may set them.
    if (::geteuid() == 0) {
        QVERIFY(::chown(QFile::encodeName(lyk).constData(), 65534, 65534) == 0);
        TIniFile32 ini(f.store, f.path("Disk.LYK"));
        ini.WriteString("P", "03N", "Newer");
        struct stat st = {};
        ::stat(QFile::encodeName(lyk).constData(), &st);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, gid_t(65534));
    }
}

void TestRecordOps::savingAHardLinkSaysItSplitIt()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\n");
    QVERIFY(::link(f.path("Disk.LYK").constData(), f.path("Other.LYK").constData()) == 0);
    f.start();
    f.board->command([&] { f.board->records().MBackupClick(); });
    f.board->command([&] {
        TIniFile32 ini(f.store, f.path("Disk.LYK"));
        ini.WriteString("P", "01N", "Saved whole");
    });
    // Saved whole (atomically), so the link is split, and the user is told once.
    QVERIFY(f.readFile("Disk.LYK").contains("Saved whole"));
    QVERIFY(!f.readFile("Other.LYK").contains("Saved whole"));
    QCOMPARE(f.ui.messages().size(), 1);
    QVERIFY(f.ui.messages().front().contains(QStringLiteral("had other names (hard links)")));
    f.board->command([&] {
        TIniFile32 ini(f.store, f.path("Disk.LYK"));
        ini.WriteString("P", "01N", "Again");
    });
    QCOMPARE(f.ui.messages().size(), 1);
}

void TestRecordOps::backupOption()
{
    LaunchFixture f;
    f.start();
    QVERIFY(f.state.checked(MenuItem::MBackup));
    QVERIFY(f.state.item(MenuItem::MUndo).enabled);
    f.board->records().MBackupClick();
    QCOMPARE(f.key("lyk.ini", "Auto", "Backup"), QByteArray("Off"));
    QVERIFY(!f.state.item(MenuItem::MUndo).enabled);
    f.board->ButtonClick("B01");
    QVERIFY(!QFile::exists(PathNames::toQt(f.path("Disk.bak"))));
    // Undo without a backup copies nothing and shows the first page.
    const QByteArray before = f.readFile("Disk.LYK");
    f.board->records().MUndoClick();
    QCOMPARE(f.readFile("Disk.LYK"), before);
    f.board->records().MBackupClick();
    QCOMPARE(f.key("lyk.ini", "Auto", "Backup"), QByteArray("On"));
}

void TestRecordOps::failingBackupEndsTheCommand()
{
    LaunchFixture f;
    f.start();
    QDir().mkpath(f.dir.path() + "/Disk.bak"); // a folder where the backup goes
    f.conversation.replies.insert("WWW_GetWindowInfo", "\"http://www.news.com/\",\"News\",\"\"");
    f.board->vars().BrowserPath = "/usr/bin/chromium";
    const QByteArray before = f.readFile("Disk.LYK");
    QVERIFY_THROWS_EXCEPTION(FileError, f.board->ButtonClick("B01"));
    QCOMPARE(f.readFile("Disk.LYK"), before);
    QVERIFY(f.conversation.calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestRecordOps)
#include "tst_recordops.moc"
