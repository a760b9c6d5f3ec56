#include "BoardFixture.h"
#include "BookmarkFile.h"
#include "BookmarkText.h"
#include "FileCommands.h"
#include "FileError.h"
#include "IniFiles32.h"
#include "OldBookmarkFile.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QtTest>

using Answer = Prompter::Answer;
using BookmarkText::mark;
using BookmarkText::names;
QByteArray fileWith(const QList<QByteArray>& names, const QList<QPair<QByteArray, QByteArray>>& bodies = {})
{
    return BookmarkText::file(names, bodies);
}

namespace {

QByteArray read(const QString& path)
{
    return TestFiles::read(path);
}

} // namespace

class TestFileOps : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardFixture> make(const QByteArray& lyk = fileWith({"Home"}, {{"Home", mark(1, "House")}}))
    {
        auto f = std::make_unique<BoardFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n");
        f->start();
        return f;
    }
    static QStringList tabs(BoardFixture& f, const QByteArray& path) { return BookmarkText::tabs(f.store, path); }
    static QStringList titles(BoardFixture& f, const QByteArray& path, const QByteArray& page)
    {
        return BookmarkText::titles(f.store, path, page);
    }

private slots:
    void oldFilesAreConverted_data();
    void oldFilesAreConverted();
    void existingConversionIsKeptOrReplaced_data();
    void existingConversionIsKeptOrReplaced();
    void openingFromAnotherFolder_data();
    void openingFromAnotherFolder();
    void openingRefusesWhatIsNoBookmarkFile_data();
    void openingRefusesWhatIsNoBookmarkFile();
    void openingSwitchesThePagePasswords();
    void createGivesTenPages();
    void createOverAnExistingFileKeepsItsPages();
    void createAsksBeforeResettingAFile_data();
    void createAsksBeforeResettingAFile();
    void saveAsAndRename_data();
    void saveAsAndRename();
    void saveAsAsksBeforeReplacingTheFileItWrites_data();
    void saveAsAsksBeforeReplacingTheFileItWrites();
    void saveAsOntoTheFileInUseIsRefused();
    void deleteFile();
    void mergeFiles_data();
    void mergeFiles();
    void mergingAProtectedFileWritesNothing();
    void fileCopyOntoItselfIsRefused();
    void copyToARemovableVolume();
    void volumeThatIsGone();
};

void TestFileOps::oldFilesAreConverted_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QByteArray>("prefix");
    QTest::newRow("SB keys when Program/Info is there") << QByteArray("[Program]\r\nInfo=1\r\n") << QByteArray("SB");
    QTest::newRow("SpeedButton keys otherwise") << QByteArray() << QByteArray("SpeedButton");
}

void TestFileOps::oldFilesAreConverted()
{
    QFETCH(QByteArray, program);
    QFETCH(QByteArray, prefix);
    auto f = make();
    QTemporaryDir elsewhere;
    const QByteArray old = PathNames::fromQt(elsewhere.filePath("old.kvk"));
    // Two pages of 40 buttons: button 41 is the first of page 2. Both pages
    // are named Work: the second becomes Work+.
    const QByteArray p = prefix;
    QVERIFY(TestFiles::write(PathNames::toQt(old),
                             program + "[Pages]\r\nCount=2\r\n[Tabs]\r\nPageTab1=Work\r\nPageTab2=Work\r\n[Names]\r\n" +
                                 p + "1=Alpha\r\n" + p + "40=Last\r\n" + p + "41=Beta\r\n[Parameters]\r\n" + p +
                                 "1=http://alpha/\r\n" + p + "40=http://last/\r\n" + p +
                                 "41=http://beta/\r\n[Reminder1]\r\n" + p + "1=first|~note\r\n[Reminder2]\r\n" + p +
                                 "41=extra\r\n[FontColor]\r\n" + p + "1=255\r\n[Updated]\r\n" + p +
                                 "1=1999\r\n[AppLaunch]\r\n" + p + "41=Yes\r\n"));
    f->ui.answer(QVariant::fromValue(Answer::No)); // not copied into the data folder
    f->board->fileCommands().openPath(old);
    const QByteArray converted = PathNames::fromQt(elsewhere.filePath("old.LYK"));
    QCOMPARE(f->files.BookmarkFileName(), converted);
    QCOMPARE(f->ui.asked.front().text, QStringLiteral("Would you like to copy this data file to the Lynkor directory"));
    QCOMPARE(tabs(*f, converted), (QStringList{"Work", "Work+"}));
    QCOMPARE(titles(*f, converted, "Work"), (QStringList{"01:Alpha", "40:Last"}));
    QCOMPARE(titles(*f, converted, "Work+"), QStringList{"01:Beta"});
    TIniFile32 ini(f->store, converted);
    QCOMPARE(ini.ReadString("Work", "01P", {}), QByteArray("first|~note"));
    QCOMPARE(ini.ReadString("Work", "01C", {}), QByteArray("255"));
    QCOMPARE(ini.ReadString("Work", "01D", {}), QByteArray("1999"));
    QCOMPARE(ini.ReadString("Work+", "01S", {}), QByteArray("extra"));
    QCOMPARE(ini.ReadString("Work+", "01L", {}), QByteArray("Yes"));
    QCOMPARE(f->state.currentPage(), QByteArray("Work"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("Alpha"));
    QCOMPARE(f->key("lyk.ini", "File", "Name"), converted);
}

void TestFileOps::existingConversionIsKeptOrReplaced_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("kept") << false;
    QTest::newRow("replaced whole") << true;
}

void TestFileOps::existingConversionIsKeptOrReplaced()
{
    QFETCH(bool, replace);
    auto f = make();
    f->writeFile("old.kvk", "[Names]\r\nSpeedButton1=Alpha\r\n[Parameters]\r\nSpeedButton1=http://alpha/\r\n");
    // An earlier conversion, edited since: its own keys must not mix with the
    // old bookmarks when it is replaced.
    f->writeFile("old.LYK", fileWith({"Page1"}, {{"Page1", mark(1, "Edited") + "01G=7\r\n01I=/icons/e.ico\r\n"}}));
    f->ui.answer(QVariant::fromValue(replace ? Answer::Yes : Answer::No));
    f->board->fileCommands().openPath(f->path("old.kvk"));
    QCOMPARE(f->ui.asked.front().text, QStringLiteral("Converted file already exists, do you want to overwrite it?"));
    QCOMPARE(f->ui.asked.front().helpContext, FileCommands::kHelpOpen);
    const QByteArray converted = f->path("old.LYK");
    QCOMPARE(f->files.BookmarkFileName(), converted);
    QCOMPARE(titles(*f, converted, "Page1"), QStringList{replace ? "01:Alpha" : "01:Edited"});
    QCOMPARE(f->key("old.LYK", "Page1", "01G").isEmpty(), replace);
}

void TestFileOps::openingFromAnotherFolder_data()
{
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<bool>("alreadyThere");
    QTest::addColumn<bool>("fromDataFolder");
    QTest::newRow("left where it is") << QVariantList{QVariant::fromValue(Answer::No)} << false << false;
    QTest::newRow("copied into the data folder") << QVariantList{QVariant::fromValue(Answer::Yes)} << false << true;
    QTest::newRow("a file of that name replaced")
        << QVariantList{QVariant::fromValue(Answer::Yes), QVariant::fromValue(Answer::Yes)} << true << true;
    QTest::newRow("a file of that name kept: the other one opens")
        << QVariantList{QVariant::fromValue(Answer::Yes), QVariant::fromValue(Answer::No)} << true << false;
}

void TestFileOps::openingFromAnotherFolder()
{
    QFETCH(QVariantList, answers);
    QFETCH(bool, alreadyThere);
    QFETCH(bool, fromDataFolder);
    auto f = make();
    QTemporaryDir elsewhere;
    const QByteArray travel = fileWith({"Trips"}, {{"Trips", mark(1, "Rome")}});
    QVERIFY(TestFiles::write(elsewhere.filePath("Travel.LYK"), travel));
    if (alreadyThere)
        f->writeFile("Travel.LYK", fileWith({"Old"}));
    for (const QVariant& a : answers)
        f->ui.answer(a);
    f->board->fileCommands().openPath(PathNames::fromQt(elsewhere.filePath("Travel.LYK")));
    const QByteArray expected =
        fromDataFolder ? f->path("Travel.LYK") : PathNames::fromQt(elsewhere.filePath("Travel.LYK"));
    QCOMPARE(f->files.BookmarkFileName(), expected);
    QCOMPARE(f->state.currentPage(), QByteArray("Trips"));
    QCOMPARE(f->state.buttons()[0].caption, QByteArray("Rome"));
    if (alreadyThere && !fromDataFolder)
        QCOMPARE(tabs(*f, f->path("Travel.LYK")), QStringList{"Old"});
    if (answers.size() == 2)
        QCOMPARE(f->ui.asked.at(1).text,
                 QStringLiteral("A file named Travel.LYK already exists in the Lynkor directory, do you want to "
                                "replace it?"));
    QCOMPARE(f->board->MruList2().items().front(), expected);
    QVERIFY(f->state.title().contains(QStringLiteral("[ Travel ]")));
}

void TestFileOps::openingRefusesWhatIsNoBookmarkFile_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("a name without a dot")
        << QByteArray("bookmarks") << QByteArray("[Tabs]\r\n") << "Please use Create New File to create a new file.";
    QTest::newRow("a picture") << QByteArray("photo.LYK") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                               << "is not a Lynkor bookmark file";
    QTest::newRow("text without sections")
        << QByteArray("notes.lyk") << QByteArray("just some text\nmore\n") << "is not a Lynkor bookmark file";
    QTest::newRow("an old file that is no INI text")
        << QByteArray("junk.kvk") << QByteArray("\0\1\2", 3) << "is not a Lynkor bookmark file";
}

void TestFileOps::openingRefusesWhatIsNoBookmarkFile()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    auto f = make();
    f->writeFile(name, bytes);
    const QByteArray disk = f->readFile("Disk.LYK");
    const QByteArray settings = f->readFile("lyk.ini");
    f->board->command([&] { f->board->fileCommands().openPath(f->path(name)); });
    QVERIFY2(f->ui.messages().back().contains(message), qPrintable(f->ui.messages().back()));
    QCOMPARE(f->files.BookmarkFileName(), f->path("Disk.LYK"));
    QCOMPARE(f->readFile("Disk.LYK"), disk);
    QCOMPARE(f->readFile("lyk.ini"), settings);
    QCOMPARE(f->readFile(name), bytes);
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("junk.LYK"))));
}

void TestFileOps::openingSwitchesThePagePasswords()
{
    auto f = make();
    f->board->PagePassBox().add("Home", "pw1");
    PagePasswords other;
    other.add("Trips", "pw2");
    f->writeFile("Travel.LYK", fileWith({"Open", "Trips"}) + "P_\xDF_\xB6_=" + other.WritePagePass() + "\r\n");
    f->board->fileCommands().openPath(f->path("Travel.LYK"));
    PagePasswords written;
    written.ReadPagePass(f->key("Disk.LYK", "Tabs", BookmarkFile::kPagePasswords));
    QCOMPARE(written.GetPagePass("Home"), QByteArray("pw1"));
    QVERIFY(!f->board->PagePassBox().PageProtected("Home"));
    QCOMPARE(f->board->PagePassBox().GetPagePass("Trips"), QByteArray("pw2"));
}

void TestFileOps::createGivesTenPages()
{
    auto f = make();
    f->ui.answer(QString::fromLatin1(f->path("Travel")));
    f->board->fileCommands().MFNewClick();
    QCOMPARE(f->ui.asked.back().kind, QStringLiteral("saveFile"));
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Enter New File Name"));
    const QByteArray created = f->path("Travel.lyk");
    QCOMPARE(f->files.BookmarkFileName(), created);
    QCOMPARE(tabs(*f, created).size(), 10);
    QCOMPARE(tabs(*f, created).front(), QStringLiteral("Page1"));
    QCOMPARE(f->state.currentPage(), QByteArray("Page1"));
    QCOMPARE(f->key("lyk.ini", "File", "Name"), created);
    f->ui.answer(ScriptedPrompter::closed());
    f->board->fileCommands().MFNewClick();
    QCOMPARE(f->files.BookmarkFileName(), created);
}

void TestFileOps::createOverAnExistingFileKeepsItsPages()
{
    auto f = make();
    // Chosen as Work.LYK: the file of that stem is used, whatever the case of
    // its extension.
    f->writeFile("Work.LYK", fileWith({"Jobs", "Tools"}, {{"Jobs", mark(1, "Boss")}}));
    f->ui.answer(QString::fromLatin1(f->path("Work.LYK")));
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->fileCommands().MFNewClick();
    QCOMPARE(f->files.BookmarkFileName(), f->path("Work.LYK"));
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("Work.lyk"))));
    QCOMPARE(tabs(*f, f->path("Work.LYK")).front(), QStringLiteral("Page1"));
    QCOMPARE(titles(*f, f->path("Work.LYK"), "Jobs"), QStringList{"01:Boss"});
}

void TestFileOps::createAsksBeforeResettingAFile_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("question");
    const QString question = QStringLiteral("\"Work.lyk\" already exists. Creating it anew resets its page list to "
                                            "Page1 .. Page10: pages of other names are no longer listed, though their "
                                            "bookmarks stay in the file. Do you want to reset it?");
    const QString becomes =
        QStringLiteral("\"Work.2024.lyk\" becomes \"Work.lyk\" (a bookmark file's name ends at its first dot). ");
    QTest::newRow("the name typed, kept") << QByteArray("Work.lyk") << false << question;
    QTest::newRow("the name typed, reset") << QByteArray("Work.lyk") << true << question;
    QTest::newRow("a longer name that gives it, kept") << QByteArray("Work.2024.lyk") << false << becomes + question;
    QTest::newRow("a longer name that gives it, reset") << QByteArray("Work.2024.lyk") << true << becomes + question;
}

void TestFileOps::createAsksBeforeResettingAFile()
{
    QFETCH(QByteArray, typed);
    QFETCH(bool, reset);
    QFETCH(QString, question);
    auto f = make();
    const QByteArray work = fileWith({"Jobs", "Tools"}, {{"Jobs", mark(1, "Boss")}});
    f->writeFile("Work.lyk", work);
    const QByteArray disk = f->readFile("Disk.LYK");
    f->ui.answer(QString::fromLatin1(f->path(typed)));
    f->ui.answer(QVariant::fromValue(reset ? Answer::Yes : Answer::No));
    f->board->fileCommands().MFNewClick();
    QCOMPARE(f->ui.asked.back().text, question);
    QCOMPARE(f->ui.asked.back().buttons, Prompter::Buttons::YesNo);
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("Work.2024.lyk"))));
    if (!reset) {
        QCOMPARE(f->readFile("Disk.LYK"), disk);
        QCOMPARE(f->readFile("Work.lyk"), work);
        QCOMPARE(f->files.BookmarkFileName(), f->path("Disk.LYK"));
        QCOMPARE(f->state.currentPage(), QByteArray("Home"));
        return;
    }
    QCOMPARE(f->files.BookmarkFileName(), f->path("Work.lyk"));
    QCOMPARE(tabs(*f, f->path("Work.lyk")).size(), 10);
    QCOMPARE(titles(*f, f->path("Work.lyk"), "Jobs"), QStringList{"01:Boss"});
}

void TestFileOps::saveAsAndRename_data()
{
    QTest::addColumn<bool>("rename");
    QTest::newRow("save as keeps both") << false;
    QTest::newRow("rename removes the old file") << true;
}

void TestFileOps::saveAsAndRename()
{
    QFETCH(bool, rename);
    auto f = make();
    f->writeFile("Disk.DAT", "companion");
    f->board->PagePassBox().add("Home", "pw");
    f->ui.answer(QString::fromLatin1(f->path("Copy.LYK")));
    f->board->fileCommands().MFSaveAsClick(rename ? FileCommands::Keep::NewOnly : FileCommands::Keep::Both);
    const QByteArray copy = f->path("Copy.lyk");
    QCOMPARE(f->files.BookmarkFileName(), copy);
    QCOMPARE(f->key("lyk.ini", "File", "Name"), copy);
    QCOMPARE(titles(*f, copy, "Home"), QStringList{"01:House"});
    QCOMPARE(f->readFile("Copy.DAT"), QByteArray("companion"));
    QCOMPARE(QFile::exists(QString::fromLatin1(f->path("Disk.LYK"))), !rename);
    QCOMPARE(QFile::exists(QString::fromLatin1(f->path("Disk.DAT"))), !rename);
    QVERIFY(f->state.title().contains(QStringLiteral("[ Copy ]")));
    // What the open file keeps goes on into the new one.
    QCOMPARE(f->board->MruList1().file(), copy);
    PagePasswords written;
    written.ReadPagePass(f->key("Copy.lyk", "Tabs", BookmarkFile::kPagePasswords));
    QCOMPARE(written.GetPagePass("Home"), QByteArray("pw"));
    QCOMPARE(f->board->MruList2().items().front(), copy);
    QCOMPARE(f->board->MruList2().items().contains(f->path("Disk.LYK")), !rename);
}

void TestFileOps::saveAsAsksBeforeReplacingTheFileItWrites_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QList<QByteArray>>("there"); // files of the data folder besides Disk.LYK
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("question");
    const QString becomes =
        QStringLiteral("\"%1\" becomes \"Work.lyk\" (a bookmark file's name ends at its first dot). ");
    const QString one = QStringLiteral("\"Work.lyk\" already exists. Do you want to replace it?");
    const QList<QByteArray> work{"Work.lyk"};
    QTest::newRow("save as a longer name, kept")
        << false << QByteArray("Work.2024.lyk") << work << false << becomes.arg("Work.2024.lyk") + one;
    QTest::newRow("save as a longer name, replaced")
        << false << QByteArray("Work.2024.lyk") << work << true << becomes.arg("Work.2024.lyk") + one;
    QTest::newRow("rename as a longer name, kept")
        << true << QByteArray("Work.v2.lyk") << work << false << becomes.arg("Work.v2.lyk") + one;
    QTest::newRow("rename as a longer name, replaced")
        << true << QByteArray("Work.v2.lyk") << work << true << becomes.arg("Work.v2.lyk") + one;
    QTest::newRow("the name typed, with its companion")
        << false << QByteArray("Work.lyk") << QList<QByteArray>{"Work.lyk", "Work.DAT", "Disk.DAT"} << true
        << QStringLiteral("\"Work.lyk\" and \"Work.DAT\" already exist. Do you want to replace them?");
    QTest::newRow("only the companion is there")
        << true << QByteArray("Work") << QList<QByteArray>{"Work.DAT", "Disk.DAT"} << false
        << QStringLiteral("\"Work\" becomes \"Work.lyk\" (a bookmark file's name ends at its first dot). "
                          "\"Work.DAT\" already exists. Do you want to replace it?");
}

void TestFileOps::saveAsAsksBeforeReplacingTheFileItWrites()
{
    QFETCH(bool, rename);
    QFETCH(QByteArray, typed);
    QFETCH(QList<QByteArray>, there);
    QFETCH(bool, replace);
    QFETCH(QString, question);
    auto f = make();
    QHash<QByteArray, QByteArray> before;
    for (const QByteArray& name : there) {
        f->writeFile(name, name.endsWith(".lyk") ? fileWith({"Jobs"}, {{"Jobs", mark(1, "Boss")}}) : "of " + name);
        before[name] = f->readFile(name);
    }
    before["Disk.LYK"] = f->readFile("Disk.LYK");
    f->ui.answer(QString::fromLatin1(f->path(typed)));
    f->ui.answer(QVariant::fromValue(replace ? Answer::Yes : Answer::No));
    f->board->fileCommands().MFSaveAsClick(rename ? FileCommands::Keep::NewOnly : FileCommands::Keep::Both);
    QCOMPARE(f->ui.asked.back().text, question);
    QCOMPARE(f->ui.asked.back().buttons, Prompter::Buttons::YesNo);
    // The picker does not ask about the name typed: the question is about
    // the files that are written.
    QVERIFY(!f->ui.asked.front().confirmOverwrite);
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path(typed))) || typed == "Work.lyk");
    if (!replace) {
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(f->readFile(it.key()), it.value());
        QCOMPARE(f->files.BookmarkFileName(), f->path("Disk.LYK"));
        QVERIFY(f->state.title().contains(QStringLiteral("[ Disk ]")));
        return;
    }
    QCOMPARE(f->files.BookmarkFileName(), f->path("Work.lyk"));
    QCOMPARE(tabs(*f, f->path("Work.lyk")), QStringList{"Home"});
    QCOMPARE(QFile::exists(QString::fromLatin1(f->path("Disk.LYK"))), !rename);
    if (there.contains("Disk.DAT"))
        QCOMPARE(f->readFile("Work.DAT"), QByteArray("of Disk.DAT"));
}

void TestFileOps::saveAsOntoTheFileInUseIsRefused()
{
    auto f = make();
    const QByteArray before = f->readFile("Disk.LYK");
    // Names that give the open file: it is never replaced, nor removed.
    for (const QByteArray name : {"Disk.LYK", "Disk.2024.lyk", "disk.lyk"}) {
        f->ui.answer(QString::fromLatin1(f->path(name)));
        f->board->fileCommands().MFSaveAsClick(FileCommands::Keep::NewOnly);
        QVERIFY(f->ui.messages().back().contains(QStringLiteral("is the file in use")));
        QCOMPARE(f->readFile("Disk.LYK"), before);
    }
}

void TestFileOps::deleteFile()
{
    auto f = make();
    f->ui.answer(QString::fromLatin1(f->path("Disk.LYK")));
    f->board->fileCommands().MFDeleteClick();
    QCOMPARE(f->ui.messages().back(), QStringLiteral("You cannot delete [ Disk ] while it is in use by Lynkor."));
    QVERIFY(QFile::exists(QString::fromLatin1(f->path("Disk.LYK"))));

    f->writeFile("Old.LYK", fileWith({"A"}));
    f->ui.answer(QString::fromLatin1(f->path("Old.LYK")));
    f->ui.answer(QVariant::fromValue(Answer::No));
    f->board->fileCommands().MFDeleteClick();
    QCOMPARE(f->ui.asked.back().text, QStringLiteral("Are you sure you want to delete [ Old.LYK ]?"));
    QVERIFY(QFile::exists(QString::fromLatin1(f->path("Old.LYK"))));
    f->ui.answer(QString::fromLatin1(f->path("Old.LYK")));
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->fileCommands().MFDeleteClick();
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("Old.LYK"))));
}

void TestFileOps::mergeFiles_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("work");
    QTest::addColumn<QStringList>("home");
    QTest::newRow("match") << 0 << QStringList{"Work", "News"} << QStringList{"01:Desk", "02:Boss"} << QStringList{};
    QTest::newRow("add") << 1 << QStringList{"Work", "News", "Home"} << QStringList{"01:Desk", "02:Boss"}
                         << QStringList{"01:Garden"};
}

void TestFileOps::mergeFiles()
{
    QFETCH(int, how);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, work);
    QFETCH(QStringList, home);
    auto f = make(fileWith({"Work", "News"}, {{"Work", mark(1, "Desk")}}));
    f->writeFile("Other.LYK", fileWith({"Work", "Home"},
                                       {{"Work", mark(3, "Desk") + mark(4, "Boss")}, {"Home", mark(1, "Garden")}}));
    const int writes = f->store.writes();
    f->ui.answer(QString::fromLatin1(f->path("Other.LYK")));
    f->ui.answer(how);
    f->board->fileCommands().MFMergeClick();
    QCOMPARE(f->ui.asked.at(1).text, QStringLiteral("Merge Files"));
    QCOMPARE(tabs(*f, f->path("Disk.LYK")), pages);
    QCOMPARE(titles(*f, f->path("Disk.LYK"), "Work"), work);
    QCOMPARE(titles(*f, f->path("Disk.LYK"), "Home"), home);
    QCOMPARE(names(f->state.tabs()), pages);
    QVERIFY(QFile::exists(QString::fromLatin1(f->path("Disk.bak"))));
    // The bookmark file is saved once; the settings note whose backup it is.
    QCOMPARE(f->store.writes() - writes, 2);
}

void TestFileOps::mergingAProtectedFileWritesNothing()
{
    auto f = make();
    f->writeFile("Locked.LYK", fileWith({"Home"}, {{"Home", mark(5, "Secret")}}) + "[Program]\r\nVersion=x\r\n");
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.answer(QString::fromLatin1(f->path("Locked.LYK")));
    f->board->fileCommands().MFMergeClick();
    QCOMPARE(f->ui.messages().back(), QStringLiteral("The file you selected is Password Protected!"));
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QVERIFY(!QFile::exists(QString::fromLatin1(f->path("Disk.bak"))));
}

void TestFileOps::fileCopyOntoItselfIsRefused()
{
    auto f = make();
    const QByteArray before = f->readFile("Disk.LYK");
    QVERIFY(QFile::link(QString::fromLatin1(f->path("Disk.LYK")), QString::fromLatin1(f->path("Alias.LYK"))));
    for (const QByteArray& target : {f->path("Disk.LYK"), f->path("Alias.LYK"), f->path("./Disk.LYK")})
        QVERIFY_THROWS_EXCEPTION(FileError, RecordOps::FileCopy(f->path("Disk.LYK"), target));
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestFileOps::copyToARemovableVolume()
{
    auto f = make();
    f->writeFile("lyk.use", "[User]\r\nName=Me\r\n");
    QTemporaryDir media;
    QVERIFY(QDir(media.path()).mkdir(QStringLiteral("STICK")));
    qputenv("LYNKOR_MEDIA_ROOT", QFile::encodeName(media.path()));
    f->board->fileCommands().refreshVolumes();
    QCOMPARE(f->state.volumes().size(), 1);
    QCOMPARE(f->state.volumes().front().name, QStringLiteral("STICK"));
    const QByteArray stick = f->state.volumes().front().path;
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    f->board->fileCommands().MADriveClick(stick);
    qunsetenv("LYNKOR_MEDIA_ROOT");
    QCOMPARE(f->state.chosenVolume(), stick);
    QCOMPARE(f->key("lyk.ini", "Disk", "Volume"), stick);
    const QString root = PathNames::toQt(stick) + QLatin1Char('/');
    QCOMPARE(read(root + "Disk.LYK"), f->readFile("Disk.LYK"));
    QCOMPARE(read(root + "LYK.USE"), f->readFile("lyk.use"));
    TIniFile32 copied(f->store, stick + "/LYK.INI");
    QCOMPARE(copied.ReadString("File", "TempName", {}), QByteArray("Disk"));
    QCOMPARE(copied.ReadString("File", "Name", {}), f->path("Disk.LYK"));
    QCOMPARE(f->key("lyk.ini", "File", "TempName"), QByteArray()); // the original is untouched
    QCOMPARE(f->ui.asked.back().text,
             QStringLiteral("Do you want to copy your User Information and e-mail addresses to floppy as well?"));
}

void TestFileOps::volumeThatIsGone()
{
    auto f = make();
    f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n[Disk]\r\nVolume=/nowhere/STICK\r\n");
    f->board->fileCommands().DiskButtonClick();
    QCOMPARE(f->ui.messages().back(),
             QStringLiteral("Drive not responding!\nYou may need to put a diskette in the /nowhere/STICK/ Drive, then "
                            "press the copy button again.\nOr select a different drive under the File Menu : Copy "
                            "Program to Diskette."));
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
