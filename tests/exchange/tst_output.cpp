#include "AlphaForm.h"
#include "BookmarkText.h"
#include "LaunchFixture.h"
#include "MailDialog.h"
#include "PageCommands.h"
#include "PageOutput.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using Mode = PageOutput::Mode;
using BookmarkText::mark;

namespace {

const QByteArray kFile = BookmarkText::file(
    {"News", "Tools"}, {{"News", mark(1, "Daily") + "02N=Red one\r\n02U=http://red.example/\r\n02C=255\r\n"},
                        {"Tools", "01N=Editor\r\n01U=/usr/bin/editor\r\n01L=Yes\r\n" + mark(3, "Docs")}});

std::function<void(AlphaForm&)> choose(QList<int> rows, int colorGroup = 0)
{
    return [rows, colorGroup](AlphaForm& form) {
        for (int r : rows)
            form.selected.insert(r);
        if (colorGroup)
            form.ColorGroupClick(colorGroup);
        form.AlphaBtnClick();
    };
}

} // namespace

class TestOutput : public QObject
{
    Q_OBJECT
    std::unique_ptr<LaunchFixture> f;
    void open(const QByteArray& lyk = kFile)
    {
        f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", lyk);
        f->start();
    }

private slots:
    void linesOfEachMode_data();
    void linesOfEachMode();
    void colourFilter_data();
    void colourFilter();
    void rangeQuestionAndNothingChosen();
    void htmlFileIsEscapedAndReadsInABrowser();
    void htmlLinksOnlyToBookmarkAddresses();
    void failedSaveAndPrintAreSaid();
    void mailGoesToTheMailDialog();
};

void TestOutput::linesOfEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("print") << int(Mode::Print)
                           << QStringList{"News", "        Daily    http://daily.example/",
                                          "        Red one    http://red.example/", "Tools",
                                          "        Docs    http://docs.example/"};
    QTest::newRow("html")
        << int(Mode::Html)
        << QStringList{"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">",
                       "<A Name=\"Links\"></A>|",
                       "| <A HREF=\"#News\">News</A> || <A HREF=\"#Tools\">Tools</A> |",
                       "<BR><BR><A HREF=\"#Links\">• </A><A Name=\"News\">News</A><A HREF=\"#Links\"> •</A><BR><BR>",
                       "<A HREF=\"http://daily.example/\">Daily</A><BR>",
                       "<A HREF=\"http://red.example/\">Red one</A><BR>",
                       "<BR><BR><A HREF=\"#Links\">• </A><A Name=\"Tools\">Tools</A><A HREF=\"#Links\"> •</A><BR><BR>",
                       "<A HREF=\"http://docs.example/\">Docs</A><BR>"};
    QTest::newRow("email") << int(Mode::Email)
                           << QStringList{"http://daily.example/ > Daily <", "http://red.example/ > Red one <",
                                          "http://docs.example/ > Docs <"};
}

void TestOutput::linesOfEachMode()
{
    QFETCH(int, mode);
    QFETCH(QStringList, lines);
    open();
    const TIniFile32 ini(f->store, f->files.BookmarkFileName());
    PageOutput::Range range{0, 1, true, 111, 111, 80};
    QCOMPARE(PageOutput::Lines(ini, f->state.tabs(), range, Mode(mode)), lines);
}

void TestOutput::colourFilter_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("colorDefault");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("all colours") << true << 111 << 111 << QStringList{"Daily", "Red one", "Docs"};
    QTest::newRow("selected red") << false << 255 << 111 << QStringList{"Red one"};
    QTest::newRow("selected 111 takes those without Color") << false << 111 << 111 << QStringList{"Daily", "Docs"};
    QTest::newRow("default colour") << false << 0 << 0 << QStringList{"Daily", "Docs"};
}

void TestOutput::colourFilter()
{
    QFETCH(bool, all);
    QFETCH(int, filter);
    QFETCH(int, colorDefault);
    QFETCH(QStringList, titles);
    open();
    const TIniFile32 ini(f->store, f->files.BookmarkFileName());
    QStringList got;
    for (const QString& line :
         PageOutput::Lines(ini, f->state.tabs(), {0, 1, all, filter, colorDefault, 80}, Mode::Email))
        got << line.section(QStringLiteral(" > "), 1).chopped(2);
    QCOMPARE(got, titles);
}

void TestOutput::rangeQuestionAndNothingChosen()
{
    open();
    // Closed without the action: said, nothing else.
    f->ui.alphaForms.push_back(
        [](AlphaForm& form) { QCOMPARE(form.caption, QStringLiteral("Print the \"News\" Page")); });
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Print); });
    QCOMPARE(f->ui.messages(), QStringList{"You did not select a page, or pages, of bookmarks to Print."});
    // One page asks no question.
    f->ui.asked.clear();
    f->ui.alphaForms.push_back(choose({}));
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Print); });
    QCOMPARE(f->ui.messages(), QStringList());
    QCOMPARE(f->ui.printed.value(0), QStringLiteral("News"));
    QCOMPARE(f->ui.printFont.name, QStringLiteral("Arial"));
    // Two pages ask; No ends it.
    f->ui.printed.clear();
    f->ui.alphaForms.push_back(choose({0, 1}));
    f->ui.answer(QVariant::fromValue(Prompter::Answer::No));
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Print); });
    QCOMPARE(f->ui.messages().last(), QStringLiteral("Are you sure you want to Print Page 1 through Page 2"));
    QCOMPARE(f->ui.asked.last().helpContext, 48);
    QVERIFY(f->ui.printed.isEmpty());
}

void TestOutput::htmlFileIsEscapedAndReadsInABrowser()
{
    open(BookmarkText::file({"Q&A <1>"},
                            {{"Q&A <1>", "01N=<script>alert(1)</script>\r\n01U=http://a.example/?x=1&y=\"2\"\r\n"
                                         "02N=Gr\xc3\xbc\xc3\x9f"
                                         "e \xe2\x82\xac\r\n02U=http://b.example/\r\n"}}));
    const QString out = QString::fromUtf8(f->path("links.html"));
    f->ui.alphaForms.push_back(choose({}));
    f->ui.answer(out);
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Html); });
    const ScriptedPrompter::Question& q = f->ui.asked.last();
    QCOMPARE(q.text, QStringLiteral("Save Links to HTML File"));
    QCOMPARE(q.helpContext, PageOutput::kHtmlHelpContext);
    const QByteArray html = f->readFile("links.html");
    QVERIFY(html.contains("<A HREF=\"http://a.example/?x=1&amp;y=&quot;2&quot;\">&lt;script&gt;alert(1)&lt;/script&gt;"
                          "</A><BR>\r\n"));
    QVERIFY(html.contains("<A Name=\"Q&amp;A &lt;1&gt;\">Q&amp;A &lt;1&gt;</A>"));
    QVERIFY(html.endsWith("\r\n"));

    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("needs Debian's chromium (the test command installs it)");
    QProcess browser;
    browser.start(chromium, {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                             QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                             QStringLiteral("--user-data-dir=") + QString::fromUtf8(f->path("chromium")),
                             QStringLiteral("--dump-dom"), QUrl::fromLocalFile(out).toString()});
    QVERIFY(browser.waitForFinished(60000));
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    // The titles are text, not markup, and the links keep their addresses.
    QVERIFY2(dom.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;</a>")), qPrintable(dom));
    QVERIFY(!dom.contains(QStringLiteral("<script>")));
    QVERIFY(dom.contains(QStringLiteral("href=\"http://a.example/?x=1&amp;y=&quot;2&quot;\"")));
    QVERIFY(dom.contains(QStringLiteral(">Grüße €</a>")));
    QVERIFY(dom.contains(QStringLiteral("href=\"#Q&amp;A <1>\"")) ||
            dom.contains(QStringLiteral("href=\"#Q&amp;A &lt;1&gt;\"")));
}

void TestOutput::htmlLinksOnlyToBookmarkAddresses()
{
    // An address that would run or show what it holds in the reader's browser
    // is listed by its title, not linked.
    open(BookmarkText::file({"P"}, {{"P", "01N=Script\r\n01U=javascript:alert(1)\r\n"
                                          "02N=Data\r\n02U= DATA:text/html,<b>x</b>\r\n"
                                          "03N=Web\r\n03U=http://w.example/\r\n"}}));
    f->ui.alphaForms.push_back(choose({}));
    f->ui.answer(QString::fromUtf8(f->path("links.html")));
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Html); });
    const QByteArray html = f->readFile("links.html");
    QVERIFY(html.contains("<A HREF=\"http://w.example/\">Web</A><BR>\r\n"));
    QVERIFY(html.contains("\r\nScript<BR>\r\nData<BR>\r\n"));
    QVERIFY(!html.toLower().contains("javascript:") && !html.toLower().contains("data:"));
}

void TestOutput::failedSaveAndPrintAreSaid()
{
    open();
    f->ui.alphaForms.push_back(choose({}));
    f->ui.answer(QString::fromUtf8(f->path("no-such-folder/links.html")));
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Html); });
    QVERIFY2(f->ui.messages().last().startsWith(QLatin1String("The HTML file was not saved: Cannot create file")),
             qPrintable(f->ui.messages().last()));
    f->ui.alphaForms.push_back(choose({}));
    f->ui.printOutcome = {false, QStringLiteral("the printer could not be opened")};
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Print); });
    QCOMPARE(f->ui.messages().last(),
             QStringLiteral("The bookmarks were not printed: the printer could not be opened"));
    // Cancelling the print dialog says nothing.
    const qsizetype said = f->ui.messages().size();
    f->ui.alphaForms.push_back(choose({}));
    f->ui.printOutcome = {false, {}};
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Print); });
    QCOMPARE(f->ui.messages().size(), said);
}

void TestOutput::mailGoesToTheMailDialog()
{
    open();
    f->ui.alphaForms.push_back(choose({0, 1}));
    f->ui.answer(QVariant::fromValue(Prompter::Answer::Yes));
    QByteArray scope;
    QList<MailedBookmark> work;
    int choice = -1;
    f->ui.mailDialogs.push_back([&](MailDialog& d) {
        scope = d.scope;
        work = d.workText;
        choice = d.bookmarkChoice;
    });
    f->board->command([&] { f->exchange.output().PrintClick(Mode::Email); });
    QCOMPARE(scope, QByteArray("All"));
    QCOMPARE(choice, 2);
    QCOMPARE(work.size(), 3);
    QCOMPARE(work[0], (MailedBookmark{"http://daily.example/", "Daily"}));

    // "EMail Page of Bookmarks": every bookmark of the page, scope "Page".
    f->ui.mailDialogs.push_back([&](MailDialog& d) {
        scope = d.scope;
        work = d.workText;
    });
    f->board->command([&] { f->board->pageCommands().MEMailPageClick(); });
    QCOMPARE(scope, QByteArray("Page"));
    QCOMPARE(work, (QList<MailedBookmark>{{"http://daily.example/", "Daily"}, {"http://red.example/", "Red one"}}));
}

QTEST_GUILESS_MAIN(TestOutput)
#include "tst_output.moc"
