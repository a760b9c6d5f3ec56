#include "BookmarkFile.h"
#include "BookmarkText.h"
#include "FavoritesCommands.h"
#include "LaunchFixture.h"
#include "NetscapeCommands.h"
#include "PagePasswords.h"
#include "PassText.h"

#include <QDir>
#include <QtTest>

// An import into the file that is open: the new file is what the import
// wrote, nothing of the outgoing one is written into it.
class TestReimport : public QObject
{
    Q_OBJECT
private slots:
    void importOverTheOpenFile_data();
    void importOverTheOpenFile();
};

void TestReimport::importOverTheOpenFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("Netscape bookmarks into the open Netscape.lyk") << QByteArray("Netscape.lyk");
    QTest::newRow("Favorites into the open IE.lyk") << QByteArray("IE.lyk");
}

void TestReimport::importOverTheOpenFile()
{
    QFETCH(QByteArray, file);
    LaunchFixture f;
    // The open file has a protected page Secret.
    PagePasswords old;
    old.add("Secret", "pw");
    f.writeFile(file, "[Tabs]\r\nCount=2\r\nTab1=News\r\nTab2=Secret\r\n" + BookmarkFile::kPagePasswords + "=" +
                          old.WritePagePass() + "\r\n[News]\r\n" + BookmarkText::mark(1, "Old") +
                          "[Secret]\r\n01N=Hidden\r\n01U=" + PassText::Encrypt("http://h/", "pw") + "\r\n");
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path(file) + "\r\n");
    f.start();
    QVERIFY(f.board->PagePassBox().PageProtected("Secret"));

    // The import brings a page of the same name, plain.
    const QString folders = QDir(QString::fromUtf8(f.programDir())).filePath(QStringLiteral("Favorites"));
    if (file == "Netscape.lyk") {
        f.writeFile("bookmarks.html", "<DL><DT><H3>Secret</H3><DL><DT><A HREF=\"http://plain.example/\">Plain</A>"
                                      "</DL></DL>");
        f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
        f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
        f.board->command([&] { f.exchange.netscape().MImportNSClick(); });
    } else {
        QVERIFY(QDir().mkpath(folders + QStringLiteral("/Secret")));
        QFile shortcut(folders + QStringLiteral("/Secret/Plain.url"));
        QVERIFY(shortcut.open(QIODevice::WriteOnly));
        shortcut.write("[InternetShortcut]\r\nURL=http://plain.example/\r\n");
        shortcut.close();
        f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
        f.ui.answer(folders);
        f.board->command([&] { f.exchange.favorites().MImportIEClick(); });
    }
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.files.BookmarkFileName(), f.path(file));
    QVERIFY(f.ui.answers.empty());
    QCOMPARE(BookmarkText::titles(f.store, f.path(file), "Secret"), QStringList{"01:Plain"});
    // The old page passwords are neither in the new file nor in force.
    QCOMPARE(f.key(file, "Tabs", BookmarkFile::kPagePasswords), QByteArray());
    QVERIFY(!f.board->PagePassBox().PageProtected("Secret"));
    QCOMPARE(f.state.currentPage(), QByteArray("Secret"));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Plain"));
}

QTEST_GUILESS_MAIN(TestReimport)
#include "tst_reimport.moc"
