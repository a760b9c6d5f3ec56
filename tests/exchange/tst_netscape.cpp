#include "AnsiText.h"
#include "BookmarkFile.h"
#include "BookmarkText.h"
#include "LaunchFixture.h"
#include "NetscapeCommands.h"
#include "NetscapeFile.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "Progress.h"
#include "WebLinks.h"

#include <QFile>
#include <QSet>
#include <QThreadPool>
#include <QtTest>

#include <sys/mman.h>
#include <unistd.h>

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
    void readsNoFurtherThanItsEnd_data();
    void readsNoFurtherThanItsEnd();
    void pagesOfEightyAndUniqueNames();
    void manyFoldersOfOneName();
    void pagesKeepWithinABookmarkFile();
    void cancelWhileMakingPages();
    void readInPiecesAsWhole();
    void exportReadsBack();
    void exportIntoAnExistingFile();
    void importCommand();
    void importOfABigExportWithIcons();
    void importFindsItsFileWithoutRegardToCase();
    void exitStopsTheImport();
    void importOfMoreThanTenThousandFolders();
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
    QTest::newRow("an attribute quote left open ends with its line, the links after it are read")
        << QByteArray("<DL><DT><H3>F</H3><DL>\n<DT><A HREF=\"http://a.example/>Alpha</A>\n"
                      "<DT><A HREF=\"http://b.example/\" ADD_DATE=\"1\">Beta</A>\n"
                      "<DT><A HREF=\"http://c.example/\">Gamma</A>\n</DL></DL>")
        << QStringList{"F: Alpha=http://a.example/, Beta=http://b.example/, Gamma=http://c.example/"};
    QTest::newRow("a quote left open on a line of its own ends at the next tag")
        << QByteArray("<DL><DT><H3>F</H3><DL><DT><A HREF='http://a.example/>Alpha</A><DT><A "
                      "HREF='http://b.example/'>Beta</A></DL></DL>")
        << QStringList{"F: Alpha=http://a.example/, Beta=http://b.example/"};
    QTest::newRow("a heading without a list of its own takes no links")
        << QByteArray("<DL><DT><H3>Parent</H3><DL>\n<DT><H3>Empty</H3>\n<DD>Nothing here yet\n"
                      "<DT><A HREF=\"http://p1/\">P1</A>\n</DL></DL>")
        << QStringList{"Parent: P1=http://p1/", "Empty: "};
    QTest::newRow("a file without lists: the links follow their heading")
        << QByteArray("<H3>A</H3><A HREF=\"http://a/\">a</A><H3>B</H3><A HREF=\"http://b/\">b</A>")
        << QStringList{"A: a=http://a/", "B: b=http://b/"};
    QTest::newRow("script and data addresses are no bookmarks; files, FTP and mail are")
        << QByteArray("<DL><DT><H3>F</H3><DL><DT><A HREF=\"javascript:alert(1)\">Script</A>"
                      "<DT><A HREF=\" JaVa&#9;Script:alert(2)\">Hidden script</A>"
                      "<DT><A HREF=\"data:text/html;base64,PHNjcmlwdD4=\">Data</A>"
                      "<DT><A HREF=\"vbscript:msgbox\">VB</A><DT><A HREF=\"place:sort=8\">Most visited</A>"
                      "<DT><A HREF=\"file:///home/me/notes.txt\">Notes</A><DT><A HREF=\"ftp://f.example/\">FTP</A>"
                      "<DT><A HREF=\"mailto:me@example.org\">Mail</A><DT><A HREF=\"HTTPS://w.example/\">Web</A>"
                      "</DL></DL>")
        << QStringList{"F: Notes=file:///home/me/notes.txt, FTP=ftp://f.example/, Mail=mailto:me@example.org, "
                       "Web=HTTPS://w.example/"};
}

void TestNetscape::read()
{
    QFETCH(QByteArray, html);
    QFETCH(QStringList, folders);
    QCOMPARE(shown(NetscapeFile::read(html)), folders);
}

void TestNetscape::readsNoFurtherThanItsEnd_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QStringList>("folders");
    const QByteArray link = "<DL><DT><H3>F</H3><DL><DT><A HREF=\"http://a/\">A</A>";
    QTest::newRow("a lone <") << QByteArray("<") << QStringList{};
    QTest::newRow("a file ending in <") << link + "<" << QStringList{"F: A=http://a/"};
    QTest::newRow("a file ending in </") << link + "</" << QStringList{"F: A=http://a/"};
    QTest::newRow("a comment left open") << link + "<!-" << QStringList{"F: A=http://a/"};
    QTest::newRow("a quote left open") << link + "<DT><A HREF='" << QStringList{"F: A=http://a/"};
    QTest::newRow("a heading left open") << link + "<DT><H3>G<" << QStringList{"F: A=http://a/", "G: "};
}

void TestNetscape::readsNoFurtherThanItsEnd()
{
    // The text ends where a page of memory ends and the next one may not be
    // read: a look one byte too far is a crash, not a wrong guess.
    QFETCH(QByteArray, html);
    QFETCH(QStringList, folders);
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    QVERIFY(map != MAP_FAILED);
    auto unmap = qScopeGuard([&] { munmap(map, 2 * page); });
    char* end = static_cast<char*>(map) + page;
    QVERIFY(mprotect(end, page, PROT_NONE) == 0);
    memcpy(end - html.size(), html.constData(), size_t(html.size()));
    const QByteArray atTheEdge = QByteArray::fromRawData(end - html.size(), html.size());
    QCOMPARE(shown(NetscapeFile::read(atTheEdge)), folders);
    WebLinks::fromHtml(atTheEdge, "http://site.example/");
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

void TestNetscape::manyFoldersOfOneName()
{
    // Thousands of folders of one name: each name is the folder's name and a
    // short count, never thousands of "+", and finding it costs no search
    // over the names before it.
    constexpr int kFolders = 2000;
    std::vector<NetscapeFile::Folder> folders(kFolders, NetscapeFile::Folder{"News", {{"http://n/", "N"}}});
    folders.push_back({"News+4", {}});
    folders.push_back({"news", {}});
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(std::move(folders));
    QCOMPARE(pages.size(), size_t(kFolders + 2));
    qsizetype bytes = 0;
    QSet<QByteArray> folded;
    for (const NetscapeFile::Page& p : pages) {
        bytes += p.name.size();
        folded.insert(AnsiText::foldCase(p.name));
    }
    QVERIFY2(bytes < 10 * qsizetype(pages.size()), qPrintable(QString::number(bytes)));
    QCOMPARE(folded.size(), qsizetype(pages.size()));
    QCOMPARE(pages[0].name, QByteArray("News"));
    QCOMPARE(pages[1].name, QByteArray("News+"));
    QCOMPARE(pages[3].name, QByteArray("News+++"));
    QCOMPARE(pages[4].name, QByteArray("News+4"));
    QCOMPARE(pages[kFolders - 1].name, QByteArray("News+1999"));
    // A folder already named as a count is, and one that differs in case only.
    QCOMPARE(pages[kFolders].name, QByteArray("News+4+"));
    QCOMPARE(pages[kFolders + 1].name, QByteArray("news+2000"));
}

void TestNetscape::pagesKeepWithinABookmarkFile()
{
    // A bookmark file Lynkor cannot open is no import: the folders that do
    // not fit below the limit are left out, the ones before them kept whole.
    const QByteArray longPath(1 << 20, 'p');
    std::vector<NetscapeFile::Folder> folders;
    for (int i = 0; i < 70; ++i)
        folders.push_back({"F" + QByteArray::number(i), {{"http://h.example/" + longPath, "T"}}});
    NetscapeFile::LeftOut leftOut;
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(std::move(folders), &leftOut);
    QCOMPARE(pages.size(), size_t(63));
    QVERIFY(NetscapeFile::bookmarkFile(pages).size() <= BookmarkFile::kMaxFileBytes);
    QCOMPARE(pages.back().name, QByteArray("F62"));
    QCOMPARE(pages.back().links.size(), size_t(1));
    QCOMPARE(leftOut.folders, 7);
    QCOMPARE(leftOut.links, qsizetype(7));
    // Links read past the limit were counted by the reader, not kept.
    std::vector<NetscapeFile::Folder> counted{{"Kept", {{"http://k/", "K"}}, 0}, {"Cut", {{"http://c/", "C"}}, 5}};
    leftOut = {};
    QCOMPARE(NetscapeFile::pages(std::move(counted), &leftOut).size(), size_t(2));
    QCOMPARE(leftOut.folders, 1);
    QCOMPARE(leftOut.links, qsizetype(5));
}

void TestNetscape::cancelWhileMakingPages()
{
    // Cancel (or Exit) is asked before every folder: making the pages stops
    // at once, however many folders there are.
    std::vector<NetscapeFile::Folder> folders(20000, NetscapeFile::Folder{"News", {{"http://n/", "N"}}});
    int asked = 0;
    const std::vector<NetscapeFile::Page> pages =
        NetscapeFile::pages(std::move(folders), nullptr, [&asked] { return ++asked <= 10; });
    QCOMPARE(asked, 11);
    QCOMPARE(pages.size(), size_t(10));
}

void TestNetscape::readInPiecesAsWhole()
{
    // However the file is cut into pieces, it reads as it does whole.
    QByteArray html = kHeader + "<H1>Menu</H1><!-- a comment <A HREF=\"http://no/\">x</A> -->\n<DL><p>\n";
    html += "<DT><A HREF=\"http://loose/\">Loose</A>\n<DT><H3 ADD_DATE=\"1\">F&amp;G</H3>\n<DL><p>\n";
    html += "<DT><A HREF=\"http://a.example/?x=1&amp;y=2\" ICON=\"data:image/png;base64," + QByteArray(300, 'Q') +
            "\">Caf\xc3\xa9 A</A>\n<DT><A HREF=\"javascript:x()\">S</A>\n<DT><H3>Sub\n<DL><p><DT><A "
            "HREF='http://b/>B</A>\n</DL><p>\n<DT><A HREF=\"http://c/\">C</A>\n</DL><p>\n</DL><p>\n";
    int wholeSkipped = 0;
    const QStringList whole = shown(NetscapeFile::read(html, {}, &wholeSkipped));
    QCOMPARE(whole, (QStringList{"Menu: Loose=http://loose/",
                                 QStringLiteral("F&G: Café A=http://a.example/?x=1&y=2, "
                                                "C=http://c/"),
                                 "Sub: B=http://b/"}));
    QCOMPARE(wholeSkipped, 1);
    for (qsizetype piece = 1; piece <= html.size(); piece += piece < 40 ? 1 : 37) {
        NetscapeFile::Reader reader;
        for (qsizetype at = 0; at < html.size(); at += piece)
            reader.feed(html.mid(at, piece));
        QCOMPARE(shown(reader.finish()), whole);
        QCOMPARE(reader.skipped(), 1);
    }
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

    // Without a list around its folders, as one browser writes it: the new
    // folders go after the last folder, not into it.
    QByteArray flat = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<HTML>\n<Title>Bookmarks</Title>\n<H1>Bookmarks</H1>\n"
                      "<DT><H3 FOLDED>Favorites</H3>\n<DL><p>\n<DT><A HREF=\"http://fav/\">Fav</A>\n</DL><p>\n"
                      "<DT><H3 FOLDED>Reading List</H3>\n<DL><p>\n<DT><A HREF=\"http://read/\">Read</A>\n</DL><p>\n"
                      "</HTML>\n";
    const QByteArray lines = NetscapeFile::folderLines(pages, 1);
    QVERIFY(NetscapeFile::insertInto(flat, lines));
    QVERIFY2(flat.contains("</DL><p>\n" + lines + "</HTML>\n"), flat.constData());
    QCOMPARE(
        shown(NetscapeFile::read(flat)),
        (QStringList{"Favorites: Fav=http://fav/", "Reading List: Read=http://read/", "New: New one=http://new/"}));
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
    // A file that cannot be read is said before the question whether to
    // replace the file made last time.
    f.ui.cancelProgress = false;
    const int asked = int(f.ui.asked.size());
    f.ui.answer(QString::fromUtf8(f.programDir()));
    f.board->command([&] { ns.MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QCOMPARE(f.ui.messages().back(), QStringLiteral("Cannot open file %1").arg(QString::fromUtf8(f.programDir())));
    QCOMPARE(int(f.ui.asked.size()), asked + 2); // the file dialog, the message
    QCOMPARE(f.readFile("Netscape.lyk"), kept);
}

void TestNetscape::importOfABigExportWithIcons()
{
    // A browser's export with a picture in every link is far bigger than the
    // bookmark file it makes; addresses that only run or show what they
    // hold are said and left out.
    LaunchFixture f;
    const QByteArray icon = "data:image/png;base64," + QByteArray(4 << 20, 'A');
    QByteArray html = kHeader + "<DL><p>\n    <DT><H3>Icons</H3>\n    <DL><p>\n";
    for (int i = 1; i <= 17; ++i)
        html += "        <DT><A HREF=\"https://s" + QByteArray::number(i) + ".example/\" ICON=\"" + icon + "\">Site " +
                QByteArray::number(i) + "</A>\n";
    html += "        <DT><A HREF=\"javascript:alert(1)\">Script</A>\n        <DT><A HREF=\"" + icon +
            "\">Picture</A>\n    </DL><p>\n</DL><p>\n";
    QVERIFY(html.size() > BookmarkFile::kMaxFileBytes);
    f.writeFile("big.html", html);
    html = {};
    f.start();
    f.ui.answer(QString::fromUtf8(f.path("big.html")));
    f.board->command([&] { f.exchange.netscape().MImportNSClick(); });
    QTRY_VERIFY_WITH_TIMEOUT(!f.board->busy(), 60000);
    QCOMPARE(BookmarkText::names(f.state.tabs()), QStringList{"Icons"});
    QCOMPARE(BookmarkText::titles(f.store, f.path("Netscape.lyk"), "Icons").size(), 17);
    QCOMPARE(f.key("Netscape.lyk", "Icons", "17U"), QByteArray("https://s17.example/"));
    QVERIFY(f.readFile("Netscape.lyk").size() < 4096);
    QCOMPARE(f.ui.messages(), QStringList{"2 bookmark(s) were skipped: only web, FTP, file and program addresses "
                                          "become bookmarks (not javascript:, data: and the like)."});
}

void TestNetscape::importFindsItsFileWithoutRegardToCase()
{
    // The file an import makes is found as every file of the data folder
    // Lynkor names itself: without regard to case. It is asked about and
    // replaced, never joined by a second one.
    LaunchFixture f;
    f.writeFile("NETSCAPE.LYK", "[Tabs]\r\nCount=1\r\nTab1=Old\r\n");
    f.writeFile("bookmarks.html", "<DL><DT><H3>New</H3><DL><DT><A HREF=\"http://n/\">N</A></DL></DL>");
    f.start();
    f.ui.answer(QString::fromUtf8(f.path("bookmarks.html")));
    f.ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    f.board->command([&] { f.exchange.netscape().MImportNSClick(); });
    QTRY_VERIFY(!f.board->busy());
    QVERIFY(std::any_of(f.ui.asked.begin(), f.ui.asked.end(), [](const ScriptedPrompter::Question& q) {
        return q.text == QStringLiteral("File already exists.  Do you want to overwrite it?");
    }));
    QVERIFY(!QFileInfo::exists(QString::fromUtf8(f.path("Netscape.lyk"))));
    QCOMPARE(f.files.BookmarkFileName(), f.path("NETSCAPE.LYK"));
    QCOMPARE(BookmarkText::tabs(f.store, f.path("NETSCAPE.LYK")), QStringList{"New"});
}

void TestNetscape::exitStopsTheImport()
{
    // File > Exit takes the board and the window of its work with it: the
    // work stops in whatever step it is, instead of keeping a core busy.
    QByteArray html = "<DL>";
    for (int i = 0; i < 20000; ++i)
        html += "<DT><H3>News</H3><DL><DT><A HREF=\"http://n.example/\">N</A></DL>\n";
    html += "</DL>";
    auto f = std::make_unique<LaunchFixture>();
    f->writeFile("many.html", html);
    f->start();
    f->ui.answer(QString::fromUtf8(f->path("many.html")));
    f->board->command([&] { f->exchange.netscape().MImportNSClick(); });
    // The file is read; the pages are being made (or the work is done).
    QTRY_VERIFY_WITH_TIMEOUT(!f->ui.shownProgress || f->ui.shownProgress->percent() >= 80, 60000);
    f.reset();
    QVERIFY(QThreadPool::globalInstance()->waitForDone(60000));
}

void TestNetscape::importOfMoreThanTenThousandFolders()
{
    // Every folder is a page the window can reach, however many there are.
    QByteArray html = "<DL>";
    for (int i = 1; i <= 10050; ++i)
        html += "<DT><H3>F" + QByteArray::number(i) + "</H3><DL><DT><A HREF=\"http://n.example/\">N</A></DL>\n";
    html += "</DL>";
    LaunchFixture f;
    f.writeFile("many.html", html);
    f.start();
    f.ui.answer(QString::fromUtf8(f.path("many.html")));
    f.board->command([&] { f.exchange.netscape().MImportNSClick(); });
    QTRY_VERIFY_WITH_TIMEOUT(!f.board->busy(), 60000);
    QCOMPARE(f.state.tabs().size(), size_t(10050));
    QCOMPARE(f.state.tabs().back(), QByteArray("F10050"));
    f.board->command([&] { f.board->pages().selectTab(10049); });
    QCOMPARE(f.state.currentPage(), QByteArray("F10050"));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("N"));
}

void TestNetscape::exportCommand()
{
    LaunchFixture f;
    f.writeFile("Disk.LYK", BookmarkText::file({"News", "Tools"}, {{"News", BookmarkText::mark(1, "Alpha") +
                                                                                BookmarkText::mark(3, "Gamma") +
                                                                                "04N=Script\r\n04U=javascript:go()\r\n"
                                                                                "05N=Data\r\n05U=data:,x\r\n"},
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
    // An address that runs or shows what it holds is no link to hand a browser.
    QVERIFY(!f.readFile("out.html").contains("javascript:") && !f.readFile("out.html").contains("data:"));
    // A file that is no bookmark file is left as it is.
    f.writeFile("notes.html", "plain text");
    f.ui.answer(QString::fromUtf8(f.path("notes.html")));
    f.board->command([&] { ns.MExportNSClick(true); });
    QVERIFY(f.ui.messages().back().contains(QStringLiteral("is no bookmark file")));
    QCOMPARE(f.readFile("notes.html"), QByteArray("plain text"));
}

QTEST_GUILESS_MAIN(TestNetscape)
#include "tst_netscape.moc"
