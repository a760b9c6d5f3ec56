#include "AnsiText.h"
#include "BookmarkText.h"
#include "HotKeys.h"
#include "LaunchFixture.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "WebImport.h"
#include "WebLinks.h"
#include "WindowModes.h"

#include <QFile>
#include <QUrl>
#include <QtTest>

// Links from a web page or the clipboard: what is found in a page or a text,
// and where the links go.
class TestWebLinks : public QObject
{
    Q_OBJECT

    static QStringList shown(const std::vector<WebLinks::Link>& links)
    {
        QStringList out;
        for (const WebLinks::Link& l : links)
            out << AnsiText::toUi(l.title) + QLatin1Char('=') + AnsiText::toUi(l.url);
        return out;
    }
    // A board on a file of pages P (with the bodies given) and Q, showing P.
    static std::unique_ptr<LaunchFixture> make(const QByteArray& p, const QByteArray& settings = {},
                                               const QList<QByteArray>& tabs = {"P", "Q"})
    {
        auto f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", BookmarkText::file(tabs, {{"P", p}}));
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") +
                                    "\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=/usr/bin/env\r\n" + settings);
        f->start();
        return f;
    }
    static QByteArray links(int count, const QByteArray& prefix = "L")
    {
        QByteArray html;
        for (int i = 1; i <= count; ++i)
            html += "<a href=\"http://" + prefix.toLower() + QByteArray::number(i) + ".example/\">" + prefix +
                    QByteArray::number(i) + "</a>";
        return html;
    }

private slots:
    void fromHtml_data();
    void fromHtml();
    void fromText_data();
    void fromText();
    void hostTitle_data();
    void hostTitle();
    void freeSlotsThenPagesAfterTheCurrentOne();
    void fromTheClipboard();
    void fromTheBrowsersPage();
    void withoutAPageInTheBrowser();
    void aPageThatCannotBeLoaded();
    void linksThatMakeNoBookmarkAreSaid();
};

void TestWebLinks::fromHtml_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("links");

    const QByteArray page = "http://site.example/dir/index.html";
    QTest::newRow("an anchor with text: the address without its quote, the text as title")
        << QByteArray("<p>See <a href=\"http://a.example/x\">Page A</a> now</p>") << page
        << QStringList{"Page A=http://a.example/x"};
    QTest::newRow("a whole page on one line, two links on a line")
        << QByteArray("<html><body><a href=\"http://one.example/\">One</a> <A HREF='https://two.example/'>Two</A>"
                      "<a class=x href=http://three.example/>Three</a></body></html>")
        << page << QStringList{"One=http://one.example/", "Two=https://two.example/", "Three=http://three.example/"};
    QTest::newRow("relative addresses made absolute")
        << QByteArray("<a href=\"b.html\">B</a><a href=\"../up.html\">Up</a><a href=\"/root?q=1&amp;r=2\">Root</a>"
                      "<a href=\"//cdn.example/c\">C</a><a href=\"a b.html\">Blank</a>")
        << page
        << QStringList{"B=http://site.example/dir/b.html", "Up=http://site.example/up.html",
                       "Root=http://site.example/root?q=1&r=2", "C=http://cdn.example/c",
                       "Blank=http://site.example/dir/a%20b.html"};
    QTest::newRow("a base names where relative addresses start")
        << QByteArray("<head><base href=\"https://other.example/base/\"></head><a href=\"x\">X</a>") << page
        << QStringList{"X=https://other.example/base/x"};
    QTest::newRow("text decoded, over lines, tags inside dropped")
        << QByteArray("<a href=\"http://a.example/?x=1&amp;y=2\">\n  Caf&eacute; <b>&amp;</b>\r\n  Th\xc3\xa9</a>")
        << page << QStringList{QStringLiteral("Café & Thé=http://a.example/?x=1&y=2")};
    QTest::newRow("no link text: the title attribute, a picture's alt text, the host")
        << QByteArray("<a href=\"http://t.example/\" title=\"Titled\"></a>"
                      "<a href=\"http://i.example/\"><img src=\"i.png\" alt=\"Pictured\"></a>"
                      "<a href=\"http://www.host.example/\"><img src=\"i.png\"></a>")
        << page
        << QStringList{"Titled=http://t.example/", "Pictured=http://i.example/", "host=http://www.host.example/"};
    QTest::newRow("no web pages: scripts, mail, fragments, scripts' and styles' text, comments")
        << QByteArray(
               "<a href=\"javascript:go()\">Go</a><a href=\"mailto:a@b.example\">Mail</a><a href=\"#top\">Top</a>"
               "<script>var u = \"http://script.example/\"; if (a<b) {}</script>"
               "<style>body { background: url(http://style.example/x.png) }</style>"
               "<!-- <a href=\"http://comment.example/\">C</a> --><a name=\"n\">Named</a>"
               "<a href=\"http://real.example/\">Real</a>")
        << page << QStringList{"Real=http://real.example/"};
    QTest::newRow("addresses written in the text, each address once")
        << QByteArray("<p>Our site: http://www.text.example/page. Also https://x.example/a_(b)</p>"
                      "<a href=\"http://real.example/\">Real</a><a href=\"http://real.example/\">Again</a>")
        << page
        << QStringList{"text=http://www.text.example/page", "x=https://x.example/a_(b)", "Real=http://real.example/"};
    QTest::newRow("an anchor left open ends at the next one")
        << QByteArray("<a href=\"http://a.example/\">A<a href=\"http://b.example/\">B</a>") << page
        << QStringList{"A=http://a.example/", "B=http://b.example/"};
    QTest::newRow("without the page's address, relative links are left out")
        << QByteArray("<a href=\"rel.html\">Rel</a><a href=\"http://abs.example/\">Abs</a>") << QByteArray()
        << QStringList{"Abs=http://abs.example/"};
    QTest::newRow("Windows-1252 text") << QByteArray("<a href=\"http://w.example/\">Fa\xe7"
                                                     "ade \x80</a>")
                                       << page << QStringList{QStringLiteral("Façade €=http://w.example/")};
}

void TestWebLinks::fromHtml()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, page);
    QFETCH(QStringList, links);
    QCOMPARE(shown(WebLinks::fromHtml(html, page)), links);
}

void TestWebLinks::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("a bare address before a blank keeps its last character")
        << QStringLiteral("go to http://www.example.com/abc now") << QStringList{"example=http://www.example.com/abc"};
    QTest::newRow("two on a line, any case, https")
        << QStringLiteral("HTTP://ONE.example/A and https://two.example/b")
        << QStringList{"one=HTTP://ONE.example/A", "two=https://two.example/b"};
    QTest::newRow("punctuation of the sentence is no part of the address")
        << QStringLiteral("(see http://a.example/x), or http://b.example/y. Then \"http://c.example/z\"!")
        << QStringList{"a=http://a.example/x", "b=http://b.example/y", "c=http://c.example/z"};
    QTest::newRow("brackets that belong to the address stay")
        << QStringLiteral("http://w.example/wiki/A_(b) [http://s.example/q]")
        << QStringList{"w=http://w.example/wiki/A_(b)", "s=http://s.example/q"};
    QTest::newRow("lines, tabs, angle brackets, the same address twice")
        << QStringLiteral("<http://a.example/>\r\n\thttp://b.example/\nhttp://a.example/")
        << QStringList{"a=http://a.example/", "b=http://b.example/"};
    QTest::newRow("no address: a scheme alone, other schemes")
        << QStringLiteral("http:// ftp://f.example/ mailto:x@y.example") << QStringList{};
}

void TestWebLinks::fromText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QCOMPARE(shown(WebLinks::fromText(text)), links);
}

void TestWebLinks::hostTitle_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("title");
    QTest::newRow("www") << QByteArray("http://www.example.com/a") << QByteArray("example");
    QTest::newRow("https www") << QByteArray("https://www.example.com") << QByteArray("example");
    QTest::newRow("first part of the host") << QByteArray("http://news.site.org/x") << QByteArray("news");
    QTest::newRow("port") << QByteArray("http://shop.example:8080/") << QByteArray("shop");
    QTest::newRow("numeric address") << QByteArray("http://127.0.0.1:8080/x") << QByteArray("127.0.0.1");
    QTest::newRow("IPv6") << QByteArray("http://[::1]/") << QByteArray("::1");
    QTest::newRow("no dot") << QByteArray("http://localhost/") << QByteArray("localhost");
}

void TestWebLinks::hostTitle()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, title);
    QCOMPARE(WebLinks::hostTitle(url), title);
}

void TestWebLinks::freeSlotsThenPagesAfterTheCurrentOne()
{
    using BookmarkText::mark;
    // Slots 1 and 3 are taken, and a page P+ exists further on: the new
    // pages come right after P, named P++ and P+++.
    auto f = make(mark(1, "Old1") + mark(3, "Old3") + "05N=Title only\r\n", {}, {"P", "Q", "P+"});
    std::vector<WebLinks::Link> found;
    for (int i = 1; i <= 170; ++i)
        found.push_back({"http://n" + QByteArray::number(i) + ".example/", "N" + QByteArray::number(i)});
    f->board->records().takeBackup(); // the settings know whose backup it is
    const QByteArray before = f->readFile("Disk.LYK");
    const int writes = f->store.writes();
    QCOMPARE(f->exchange.webImport().addLinks(found), 170);
    QCOMPARE(f->store.writes() - writes, 1);
    QCOMPARE(f->readFile("Disk.bak"), before); // the backup first
    const QByteArray path = f->path("Disk.LYK");
    QCOMPARE(BookmarkText::tabs(f->store, path), (QStringList{"P", "P++", "P+++", "Q", "P+"}));
    const QStringList p = BookmarkText::titles(f->store, path, "P");
    QCOMPARE(p.size(), 80);
    QCOMPARE(p.mid(0, 5), (QStringList{"01:Old1", "02:N1", "03:Old3", "04:N2", "05:N3"}));
    QCOMPARE(p.back(), QStringLiteral("80:N78"));
    const QStringList next = BookmarkText::titles(f->store, path, "P++");
    QCOMPARE(next.size(), 80);
    QCOMPARE(next.front(), QStringLiteral("01:N79"));
    QCOMPARE(BookmarkText::titles(f->store, path, "P+++"),
             (QStringList{"01:N159", "02:N160", "03:N161", "04:N162", "05:N163", "06:N164", "07:N165", "08:N166",
                          "09:N167", "10:N168", "11:N169", "12:N170"}));
    QCOMPARE(f->key("Disk.LYK", "P", "02U"), QByteArray("http://n1.example/"));
    // The page shown stays the one the links were added to, with its buttons.
    QCOMPARE(f->state.currentPage(), QByteArray("P"));
    QCOMPARE(f->state.buttons()[1].caption, QByteArray("N1"));
}

void TestWebLinks::fromTheClipboard()
{
    auto f = make({});
    // Plain text: by address pattern; the clipboard is empty afterwards.
    f->clipboard.setText(QStringLiteral("Read http://www.one.example/a and https://two.example/b."));
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "P"), (QStringList{"01:one", "02:two"}));
    QCOMPARE(f->key("Disk.LYK", "P", "02U"), QByteArray("https://two.example/b"));
    QCOMPARE(f->clipboard.cleared, 1);
    // HTML on the clipboard is read as HTML: the anchors' texts are titles.
    f->clipboard.content = QStringLiteral("Three");
    f->clipboard.htmlContent = QStringLiteral("<a href=\"http://three.example/\">Three</a>");
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    QCOMPARE(f->key("Disk.LYK", "P", "03N"), QByteArray("Three"));
    // Nothing to take: nothing written, the clipboard kept, the title says so.
    f->clipboard.setText(QStringLiteral("no address here"));
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QCOMPARE(f->clipboard.content, QStringLiteral("no address here"));
    QCOMPARE(f->state.title(), QStringLiteral("No Bookmarks Found"));
    QVERIFY(f->ui.messages().isEmpty());
}

void TestWebLinks::fromTheBrowsersPage()
{
    auto f = make(BookmarkText::mark(1, "Old"));
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"http://site.example/dir/\",\"The Site\",\"\"");
    // The page moved: its links are relative to where it ended up.
    HttpResult moved;
    moved.ok = true;
    moved.statusCode = 200;
    moved.finalUrl = "http://site.example/new/";
    moved.body = "<a href=\"a.html\">A</a>" + links(2);
    f->http.answers.insert("http://site.example/dir/", moved);
    f->http.delayMs = 300;
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::WebPage); });
    QTRY_VERIFY(f->state.title().startsWith(QStringLiteral("Loading Bookmarks from Web Page The Site")));
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->http.requested, QList<QByteArray>{"http://site.example/dir/"});
    QCOMPARE(f->http.options.front().userAgent, QByteArray("Mozilla/3.0 (compatible)"));
    QCOMPARE(f->http.options.front().cookie, QByteArray("Lynkor"));
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "P"),
             (QStringList{"01:Old", "02:A", "03:L1", "04:L2"}));
    QCOMPARE(f->key("Disk.LYK", "P", "02U"), QByteArray("http://site.example/new/a.html"));
    QVERIFY(f->state.title().contains(QStringLiteral("Disk")));
    QVERIFY(f->ui.messages().isEmpty());
    QVERIFY(f->starter.starts.isEmpty());

    // A page of the user's disk is read from there; its web links are taken.
    QFile local(f->dir.filePath(QStringLiteral("local.html")));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.write("<a href=\"http://disk.example/\">Disk link</a><a href=\"rel.html\">Rel</a>");
    local.close();
    const QByteArray fileUrl = QUrl::fromLocalFile(local.fileName()).toEncoded();
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"" + fileUrl + "\",\"Local\",\"\"");
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::WebPage); });
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "P"),
             (QStringList{"01:Old", "02:A", "03:L1", "04:L2", "05:Disk link"}));
    QCOMPARE(f->http.requested.size(), 1);
}

void TestWebLinks::withoutAPageInTheBrowser()
{
    auto f = make({});
    // No answer from the browser (here to the WebImport hotkey): the warning
    // with its help, then a browser to go to a page with; nothing written.
    const QByteArray before = f->readFile("Disk.LYK");
    f->board->command([&] { f->board->modes().HotKeyActivated(HotKeys::WebImport); });
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->ui.asked.size(), 1);
    QVERIFY(f->ui.asked[0].text.startsWith(QStringLiteral("You need to have a browser open to a web page!")));
    QCOMPARE(f->ui.asked[0].buttons, Prompter::Buttons::OkHelp);
    QCOMPARE(f->ui.asked[0].helpContext, 54);
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"about:blank"});
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QVERIFY(f->http.requested.isEmpty());
    // A browser on a page that is no web page: the warning, no second browser.
    f->conversation.replies.insert("WWW_GetWindowInfo", "\"ftp://files.example/\",\"Files\",\"\"");
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::WebPage); });
    QTRY_VERIFY(!f->board->busy());
    QCOMPARE(f->ui.asked.size(), 2);
    QCOMPARE(f->ui.asked[1].text, QStringLiteral("You need to have a browser open to a web page!"));
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestWebLinks::aPageThatCannotBeLoaded()
{
    auto f = make({});
    const QByteArray before = f->readFile("Disk.LYK");
    struct Case
    {
        QByteArray url;
        QString why;
    };
    f->http.serve("http://gone.example/", "<a href=\"http://x.example/\">X</a>", 404);
    for (const Case& c : {Case{"http://down.example/", QStringLiteral("Could not connect to server")},
                          Case{"http://gone.example/", QStringLiteral("the server answered 404")}}) {
        f->conversation.replies.insert("WWW_GetWindowInfo", "\"" + c.url + "\",\"T\",\"\"");
        f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::WebPage); });
        QTRY_VERIFY(!f->board->busy());
        QCOMPARE(f->state.title(), QStringLiteral("No Bookmarks Found"));
        QCOMPARE(
            f->ui.messages().back(),
            QStringLiteral("No Bookmarks Found: %1 could not be loaded (%2).").arg(QString::fromLatin1(c.url), c.why));
        QCOMPARE(f->readFile("Disk.LYK"), before);
    }
}

void TestWebLinks::linksThatMakeNoBookmarkAreSaid()
{
    // From a page or the clipboard only web and FTP addresses become
    // bookmarks: a script, a document held in the address, a file of this
    // computer or a mail address is counted and said; a link inside the page
    // is no address at all.
    auto f = make({});
    f->clipboard.content = QStringLiteral("links");
    f->clipboard.htmlContent = QStringLiteral(
        "<a href=\"javascript:steal(document.cookie)\">A</a><a href=\"  JAVA&#10;SCRIPT:x()\">B</a>"
        "<a href=\"data:text/html,&lt;script&gt;x()&lt;/script&gt;\">C</a><a href=\"file:///etc/passwd\">D</a>"
        "<a href=\"mailto:a@b.example\">E</a><a href=\"#top\">Top</a><a href=\"http://ok.example/\">OK</a>"
        "<a href=\"ftp://files.example/pub/\">Files</a>");
    f->board->command([&] { f->exchange.webImport().MWSImportClick(WebImport::Source::Clipboard); });
    QCOMPARE(BookmarkText::titles(f->store, f->path("Disk.LYK"), "P"), (QStringList{"01:OK", "02:Files"}));
    // Said once the command is done.
    QTRY_COMPARE(f->ui.messages(), QStringList{"5 link(s) were skipped: from the web only web and FTP addresses become "
                                               "bookmarks (not javascript:, data:, file: and the like)."});
    int skipped = 0;
    QCOMPARE(shown(WebLinks::fromHtml("<a href=\"file:///etc/passwd\">F</a><a href=\"x.html\">X</a>",
                                      "http://site.example/", &skipped)),
             QStringList{"X=http://site.example/x.html"});
    QCOMPARE(skipped, 1);
}

QTEST_GUILESS_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
