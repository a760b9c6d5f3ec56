#include "AnsiText.h"
#include "BookmarkText.h"
#include "LaunchFixture.h"
#include "NetscapeCommands.h"
#include "NetscapeFile.h"
#include "PathNames.h"

#include <QFile>
#include <QtTest>

namespace {

// "Folder: title=url, title=url" per folder, as the user would see them.
QStringList shown(const std::vector<NetscapeFile::Folder>& folders)
{
    QStringList out;
    for (const NetscapeFile::Folder& f : folders) {
        QStringList links;
        for (const NetscapeFile::Link& l : f.links)
            links << AnsiText::toUi(l.title) + QLatin1Char('=') + AnsiText::toUi(l.url);
        out << AnsiText::toUi(f.name) + QStringLiteral(": ") + links.join(QStringLiteral(", "));
    }
    return out;
}

const QByteArray kHeader = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
                           "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n";

} // namespace

class TestNetscape : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void pagesOfEightyAndUniqueNames();
    void exportReadsBack();
    void exportIntoAnExistingFile();
    void importCommand();
    void exportCommand();
};

void TestNetscape::read_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QStringList>("folders");

    QTest::newRow("one element a line") << kHeader + "<H1>Bookmarks Menu</H1>\n<DL><p>\n"
                                                     "    <DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\">News</H3>\n"
                                                     "    <DL><p>\n"
                                                     "        <DT><A HREF=\"http://a.example/\" ADD_DATE=\"1\" "
                                                     "ICON=\"data:image/png;base64,AAAA\">Alpha</A>\n"
                                                     "        <DT><A HREF=\"http://b.example/\">Beta</A>\n"
                                                     "    </DL><p>\n</DL><p>\n"
                                        << QStringList{"News: Alpha=http://a.example/, Beta=http://b.example/"};
    QTest::newRow("everything on one line")
        << QByteArray("<DL><DT><H3>News</H3><DL><DT><A HREF=\"http://a.example/\">Alpha</A><DT><A "
                      "HREF=\"http://b.example/\">Beta</A></DL><DT><H3>Tools</H3><DL><DT><A "
                      "HREF=\"http://t.example/\">Tee</A></DL></DL>")
        << QStringList{"News: Alpha=http://a.example/, Beta=http://b.example/", "Tools: Tee=http://t.example/"};
    QTest::newRow("nested three deep, the parent keeps its later links")
        << kHeader + "<DL><p>\n<DT><H3>A</H3>\n<DL><p>\n<DT><A HREF=\"http://a1/\">a1</A>\n"
                     "<DT><H3>B</H3>\n<DL><p>\n<DT><A HREF=\"http://b1/\">b1</A>\n<DT><H3>C</H3>\n<DL><p>\n"
                     "<DT><A HREF=\"http://c1/\">c1</A>\n</DL><p>\n</DL><p>\n<DT><A HREF=\"http://a2/\">a2</A>\n"
                     "</DL><p>\n</DL><p>\n"
        << QStringList{"A: a1=http://a1/, a2=http://a2/", "B: b1=http://b1/", "C: c1=http://c1/"};
    QTest::newRow("entities, attributes in any case and order")
        << QByteArray(
               "<dl><dt><h3 folded>R&amp;D</h3><dl><dt><a add_date='5' href='http://x.example/?a=1&amp;b=2'>Q&amp;A "
               "&lt;b&gt; &quot;q&quot; &#233;</a></dl></dl>")
        << QStringList{QStringLiteral("R&D: Q&A <b> \"q\" é=http://x.example/?a=1&b=2")};
    QTest::newRow("links outside every folder, a link without title")
        << QByteArray("<H1>My Links</H1><DL><DT><A HREF=\"http://loose.example/x\">Loose</A>"
                      "<DT><H3>F</H3><DL><DT><A HREF=\"https://www.untitled.example/page\"></A></DL></DL>")
        << QStringList{"My Links: Loose=http://loose.example/x",
                       "F: www.untitled.example=https://www.untitled.example/page"};
    QTest::newRow("no heading: Bookmarks")
        << QByteArray("<DL><DT><A HREF=\"http://l/\">L</A></DL>") << QStringList{"Bookmarks: L=http://l/"};
    QTest::newRow("UTF-8 and Windows-1252 titles, titles over lines")
        << QByteArray("<DL><DT><H3>Caf\xc3\xa9</H3><DL><DT><A HREF=\"http://u/\">Na\xc3\xafve\n  text</A>"
                      "<DT><A HREF=\"http://w/\">Caf\xe9</A></DL></DL>")
        << QStringList{QStringLiteral("Café: Naïve text=http://u/, Café=http://w/")};
    QTest::newRow("Latin letters, basic references, blanks of every kind")
        << QByteArray("<DL><DT><H3>  Caf\xc3\xa9 &amp;\tTh\xc3\xa9 </H3><DL><DT><A HREF=\"http://c/\">\n  Cr\xc3\xa8me "
                      "&apos;br\xc3\xbbl\xc3\xa9"
                      "e&#39;"
                      " &quot;x&quot;  &lt;y&gt;\r\n</A><DT><A HREF=\"http://n/\">A&nbsp;B \xe2\x82\xac &amp; "
                      "&#233;</A></DL></DL>")
        << QStringList{QStringLiteral("Café & Thé: Crème 'brûlée' \"x\" <y>=http://c/, A B € & é=http://n/")};
    QTest::newRow("anchors without an address, comments")
        << QByteArray("<!-- <A HREF=\"http://no/\">No</A> --><DL><DT><H3>F</H3><DL><DT><A NAME=\"x\">Name</A>"
                      "<DT><A HREF=\"\">Empty</A><DT><A HREF=\"http://yes/\">Yes</A></DL></DL>")
        << QStringList{"F: Yes=http://yes/"};
    QTest::newRow("an anchor or heading left open ends where the next element begins")
        << QByteArray("<DL><DT><H3>F\n<DL><DT><A HREF=\"http://a/\">A\n<DT><A HREF=\"http://b/\">B</A>"
                      "<DT><A HREF=\"http://c/\">C</DL></DL>")
        << QStringList{"F: A=http://a/, B=http://b/, C=http://c/"};
    QTest::newRow("an empty folder is a page")
        << QByteArray("<DL><DT><H3>Empty</H3><DL></DL></DL>") << QStringList{"Empty: "};
}

void TestNetscape::read()
{
    QFETCH(QByteArray, html);
    QFETCH(QStringList, folders);
    QCOMPARE(shown(NetscapeFile::read(html)), folders);
}

void TestNetscape::pagesOfEightyAndUniqueNames()
{
    QByteArray html = "<DL><DT><H3>Links</H3><DL>";
    for (int i = 1; i <= 200; ++i)
        html += "<DT><A HREF=\"http://l" + QByteArray::number(i) + "/\">L" + QByteArray::number(i) + "</A>\n";
    html += "</DL><DT><H3>News</H3><DL><DT><A HREF=\"http://n1/\">N1</A></DL>"
            "<DT><H3>News</H3><DL><DT><A HREF=\"http://n2/\">N2</A></DL><DT><H3>Tabs</H3><DL></DL></DL>";
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(NetscapeFile::read(html));
    QStringList names;
    QList<int> sizes;
    for (const NetscapeFile::Page& p : pages) {
        names << QString::fromLatin1(p.name);
        sizes << int(p.links.size());
    }
    // The file's own section names are no page names either.
    QCOMPARE(names, (QStringList{"Links", "Links+", "Links++", "News", "News+", "Tabs+"}));
    QCOMPARE(sizes, (QList<int>{80, 80, 40, 1, 1, 0}));
    QCOMPARE(pages[1].links.front().title, QByteArray("L81"));
    // As a bookmark file: every page listed, slots from 01.
    BoardFixture f;
    f.writeFile("Netscape.lyk", NetscapeFile::bookmarkFile(pages));
    QCOMPARE(BookmarkText::tabs(f.store, f.path("Netscape.lyk")),
             (QStringList{"Links", "Links+", "Links++", "News", "News+", "Tabs+"}));
    QCOMPARE(BookmarkText::titles(f.store, f.path("Netscape.lyk"), "Links++").size(), 40);
    QCOMPARE(f.key("Netscape.lyk", "Links+", "01U"), QByteArray("http://l81/"));
}

void TestNetscape::exportReadsBack()
{
    const std::vector<NetscapeFile::Page> pages{
        {"Q&A <Page>",
         {{"http://x.example/?a=1&b=\"2\"", "Tom & Jerry <b>bold</b> \"quoted\""},
          {"http://y.example/", "Caf\xe9 1252"},
          {"http://z.example/", "Caf\xc3\xa9 UTF-8 \xe2\x82\xac"}}}};
    const QByteArray file = NetscapeFile::newFile(NetscapeFile::folderLines(pages, 1700000000));
    QVERIFY(file.contains("ADD_DATE=\"1700000000\""));
    QVERIFY(file.contains("&amp;") && !file.contains("<b>"));
    const std::vector<NetscapeFile::Folder> back = NetscapeFile::read(file);
    QCOMPARE(back.size(), size_t(1));
    QCOMPARE(AnsiText::toUi(back[0].name), QStringLiteral("Q&A <Page>"));
    QCOMPARE(back[0].links.size(), size_t(3));
    for (size_t i = 0; i < 3; ++i) {
        // The same characters, whichever way the file stored them.
        QCOMPARE(AnsiText::toUi(back[0].links[i].title), AnsiText::toUi(pages[0].links[i].title));
        QCOMPARE(back[0].links[i].url, pages[0].links[i].url);
    }
}

void TestNetscape::exportIntoAnExistingFile()
{
    QByteArray file = kHeader + "<H1>Bookmarks</H1>\n<DL><p>\n    <DT><H3>Old</H3>\n    <DL><p>\n"
                                "        <DT><A HREF=\"http://old/\">Old one</A>\n    </DL><p>\n</DL><p>\n";
    const std::vector<NetscapeFile::Page> pages{{"New", {{"http://new/", "New one"}}}};
    QVERIFY(NetscapeFile::insertInto(file, NetscapeFile::folderLines(pages, 1)));
    QCOMPARE(shown(NetscapeFile::read(file)), (QStringList{"Old: Old one=http://old/", "New: New one=http://new/"}));
    // Inside the root list: the file still ends with it.
    QVERIFY(file.trimmed().endsWith("</DL><p>"));
    QByteArray notBookmarks = "just text";
    QVERIFY(!NetscapeFile::insertInto(notBookmarks, NetscapeFile::folderLines(pages, 1)));
}

void TestNetscape::importCommand()
{
    LaunchFixture f;
    f.writeFile("bookmarks.html", "<DL><DT><H3>News</H3><DL><DT><A HREF=\"http://a.example/\">Alpha</A></DL>"
                                  "<DT><H3>Tools</H3><DL><DT><A HREF=\"http://t.example/\">Tee</A></DL></DL>");
    f.start();
    NetscapeCommands& ns = f.exchange.netscape();
    f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.asked[0].text, QStringLiteral("Select Netscape bookmark file"));
    // The reading is shown with a gauge and Cancel (a quick one never appears).
    QCOMPARE(f.ui.asked[1].kind, QStringLiteral("progress"));
    QCOMPARE(f.ui.asked[1].text, QStringLiteral("Import Netscape Bookmarks"));
    QCOMPARE(f.files.BookmarkFileName(), f.path("Netscape.lyk"));
    QCOMPARE(f.key("lyk.ini", "File", "Name"), f.path("Netscape.lyk"));
    QCOMPARE(BookmarkText::names(f.state.tabs()), (QStringList{"News", "Tools"}));
    QCOMPARE(f.state.currentPage(), QByteArray("News"));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Alpha"));
    // Again: the existing file is replaced only after a Yes.
    const QByteArray before = f.readFile("Netscape.lyk");
    f.writeFile("bookmarks.html", "<DL><DT><H3>Other</H3><DL><DT><A HREF=\"http://o/\">O</A></DL></DL>");
    f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::No));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("File already exists.  Do you want to overwrite it?"));
    QCOMPARE(f.ui.asked.back().helpContext, 67);
    QCOMPARE(f.readFile("Netscape.lyk"), before);
    f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(BookmarkText::names(f.state.tabs()), QStringList{"Other"});
    // A file without a single bookmark changes nothing.
    f.writeFile("empty.html", "<html><body>no bookmarks</body></html>");
    f.ui.answer(QString::fromUtf8(f.path("empty.html")));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QVERIFY(f.ui.messages().back().contains(QStringLiteral("holds no bookmarks")));
    QCOMPARE(BookmarkText::names(f.state.tabs()), QStringList{"Other"});
    // Cancel: nothing written, the file shown stays, nothing said.
    const QByteArray kept = f.readFile("Netscape.lyk");
    const int said = f.ui.messages().size();
    f.ui.cancelProgress = true;
    f.writeFile("bookmarks.html", "<DL><DT><H3>Third</H3><DL><DT><A HREF=\"http://3/\">3</A></DL></DL>");
    f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.readFile("Netscape.lyk"), kept);
    QCOMPARE(BookmarkText::names(f.state.tabs()), QStringList{"Other"});
    QCOMPARE(f.ui.messages().size(), said + 1); // the overwrite question
    QCOMPARE(f.ui.asked.back().kind, QStringLiteral("progress"));
    // A failure of the reading is said as any command's failure is.
    f.ui.cancelProgress = false;
    f.ui.answer(QString::fromUtf8(f.programDir()));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.messages().back(), QStringLiteral("Cannot open file %1").arg(QString::fromUtf8(f.programDir())));
    QCOMPARE(f.readFile("Netscape.lyk"), kept);
}

void TestNetscape::exportCommand()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK", BookmarkText::file({"News", "Tools"}, {{"News", BookmarkText::mark(1, "Alpha") +
                                                                                BookmarkText::mark(3, "Gamma")},
                                                                   {"Tools", BookmarkText::mark(2, "Tee")}}));
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n");
    f.start();
    NetscapeCommands& ns = f.exchange.netscape();
    // Every page into a new file, then the page shown once more into it.
    f.ui.answer(QString::fromUtf8(f.path("out.html")));
    f.board->command([&] { ns.MExportNSClick(true); });
    f.ui.answer(QString::fromUtf8(f.path("out.html")));
    f.board->command([&] { ns.MExportNSClick(false); });
    QCOMPARE(
        shown(NetscapeFile::read(f.readFile("out.html"))),
        (QStringList{"News: Alpha=http://alpha.example/, Gamma=http://gamma.example/", "Tools: Tee=http://tee.example/",
                     "News: Alpha=http://alpha.example/, Gamma=http://gamma.example/"}));
    QVERIFY(f.readFile("out.html").startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
    // A file that is no bookmark file is left as it is.
    f.writeFile("notes.html", "plain text");
    f.ui.answer(QString::fromUtf8(f.path("notes.html")));
    f.board->command([&] { ns.MExportNSClick(true); });
    QVERIFY(f.ui.messages().back().contains(QStringLiteral("is no bookmark file")));
    QCOMPARE(f.readFile("notes.html"), QByteArray("plain text"));
}

QTEST_GUILESS_MAIN(TestNetscape)
#include "tst_netscape.moc"
