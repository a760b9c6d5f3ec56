#include "AnsiText.h"
#include "BookmarkText.h"
#include "GlyphChooser.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "LaunchFixture.h"
#include "MailDialog.h"
#include "PageCarrier.h"
#include "PageCommands.h"
#include "SiteSpeed.h"
#include "TabForm.h"

#include <QtTest>
#include <functional>

using Answer = Prompter::Answer;
using BookmarkText::mark;
using Script = std::function<void(TabForm&)>;
Q_DECLARE_METATYPE(Script)

namespace {

const QByteArray kBrowser = "/usr/bin/stand-in-browser";

// Records what the ping window was given and answers with a bar's button.
struct RecordingSpeed : SiteSpeed
{
    QList<QByteArray> hosts;
    QList<QByteArray> buttons;
    QByteArray clicked;
    QByteArray PingSites(const QList<QByteArray>& h, const QList<QByteArray>& b) override
    {
        hosts = h;
        buttons = b;
        return clicked;
    }
};

// The rows of the options list whose slot keys are given, selected.
Script select(const QList<QByteArray>& keys, const std::function<bool(TabForm&)>& then)
{
    return [keys, then](TabForm& form) {
        QSet<int> rows;
        for (int i = 0; i < form.rows.size(); ++i)
            if (keys.contains(form.rows[i].slot))
                rows.insert(i);
        form.BtnListSelectItem(rows);
        QVERIFY(then(form));
    };
}

} // namespace

class TestPageOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchFixture> f;

    // Work (01..03 and 05, 07, 09) and Home (01..03 filled) in Disk.LYK.
    void open(const QByteArray& extraSettings = {})
    {
        f = std::make_unique<LaunchFixture>();
        f->writeFile("Disk.LYK", BookmarkText::file({"Work", "Home"},
                                                    {{"Work", mark(1, "Mail") + mark(2, "News") + mark(3, "Wiki") +
                                                                  mark(5, "Five", "05C=255\r\n05D=notes\r\n") +
                                                                  mark(7, "Seven") + mark(9, "Nine")},
                                                     {"Home", mark(1, "Bank") + mark(2, "Shop") + mark(3, "Map")}}));
        f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") +
                                    "\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=" + kBrowser + "\r\n" + extraSettings);
        f->start();
        f->board->vars().BrowserPath = kBrowser;
        f->board->setSiteSpeed(&speed);
    }
    QByteArray key(const QByteArray& page, const QByteArray& name) { return f->key("Disk.LYK", page, name); }
    // A right-click on the tab of the page shown, the options answered by script.
    void options(const Script& script)
    {
        f->ui.tabForms.push_back(script);
        QVERIFY(f->board->command([&] {
            if (f->board->pageCommands().TabSet1RightClick(f->board->state().tabIndex()))
                f->board->pageCommands().MChangePageTabName1Click(PageCommands::Sender::TabStrip);
        }));
    }
    void putDown(int index)
    {
        f->board->command([&] { f->board->pageCarrier().putDown(index); }, CommandKind::WhilePlacing);
    }

    RecordingSpeed speed;

private slots:
    void openingListsTheFilledSlots();
    void closingWithoutAChoiceChangesNothing();
    void pageCommands_data();
    void pageCommands();
    void selectedBookmarksAreMovedOrCopied_data();
    void selectedBookmarksAreMovedOrCopied();
    void notEnoughBlankButtons();
    void movingOntoTheirOwnPage();
    void colourAndIconOfTheSelected();
    void eraseAndMailTheSelected();
    void pingTheSelected();
    void launchTheSelected();
};

void TestPageOptions::openingListsTheFilledSlots()
{
    open();
    struct
    {
        QString caption;
        QByteArray code;
        QString group2Caption;
        QList<TabForm::Row> rows;
        bool PasswordBox = true;
    } seen;
    options([&](TabForm& form) {
        seen = {form.caption, form.code, form.group2Caption, form.rows, form.PasswordBox};
        form.BtnListSelectItem({0, 2, 4});
        QCOMPARE(form.group2Caption, QStringLiteral("Action for 3 Bookmarks:"));
        form.BtnListSelectItem({});
        QCOMPARE(form.group2Caption, QStringLiteral("Action for 0 Bookmarks:"));
    });
    QCOMPARE(seen.caption, QStringLiteral("Page Options for the Work page."));
    QCOMPARE(seen.code, QByteArray("R"));
    QCOMPARE(seen.group2Caption, QStringLiteral("Action for 0 Bookmarks:"));
    QList<QByteArray> listed;
    for (const TabForm::Row& row : seen.rows)
        listed << row.slot + " " + row.title;
    QCOMPARE(listed, (QList<QByteArray>{"01 Mail", "02 News", "03 Wiki", "05 Five", "07 Seven", "09 Nine"}));
    QVERIFY(!seen.PasswordBox);
}

void TestPageOptions::closingWithoutAChoiceChangesNothing()
{
    open();
    const QByteArray before = f->readFile("Disk.LYK");
    options([](TabForm&) {});
    options([](TabForm& form) { form.BtnListSelectItem({0, 1}); });
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QVERIFY(!f->board->pageCarrier().carrying());
    QCOMPARE(f->ui.messages(), QStringList());
}

void TestPageOptions::pageCommands_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QByteArray>("workMail"); // Work's 01U afterwards
    QTest::addColumn<QString>("carrying");    // the page carried afterwards
    QTest::addColumn<QString>("asked");       // kinds of the questions, in order

    const auto group1 = [](int item) { return Script([item](TabForm& form) { QVERIFY(form.Group1Click(item)); }); };
    const QByteArray mail = "http://mail.example/";
    QTest::newRow("R rename") << group1(TabForm::RenamePage) << QVariantList{QStringLiteral("Office")}
                              << QStringList{"Office", "Home"} << QByteArray() << QString() << "tabForm pageName";
    QTest::newRow("R rename, Escape") << group1(TabForm::RenamePage) << QVariantList{QString()}
                                      << QStringList{"Work", "Home"} << mail << QString() << "tabForm pageName";
    QTest::newRow("A add") << group1(TabForm::AddPage) << QVariantList{QStringLiteral("News")}
                           << QStringList{"News", "Work", "Home"} << mail << QString() << "tabForm pageName";
    QTest::newRow("D delete") << group1(TabForm::DeletePage) << QVariantList{QVariant::fromValue(Answer::Yes)}
                              << QStringList{"Home"} << QByteArray() << QString() << "tabForm message";
    QTest::newRow("D delete, No") << group1(TabForm::DeletePage) << QVariantList{QVariant::fromValue(Answer::No)}
                                  << QStringList{"Work", "Home"} << mail << QString() << "tabForm message";
    QTest::newRow("M move") << group1(TabForm::MovePage) << QVariantList{} << QStringList{"Home"} << mail << "Work"
                            << "tabForm";
    QTest::newRow("C copy") << group1(TabForm::CopyPage) << QVariantList{} << QStringList{"Work", "Home"} << mail
                            << "Work"
                            << "tabForm";
    QTest::newRow("E erase") << group1(TabForm::EraseBookmarks) << QVariantList{QVariant::fromValue(Answer::Yes)}
                             << QStringList{"Work", "Home"} << QByteArray() << QString() << "tabForm message";
    QTest::newRow("EM mail") << group1(TabForm::EmailBookmarks) << QVariantList{} << QStringList{"Work", "Home"} << mail
                             << QString() << "tabForm mailDialog";
    QTest::newRow("P password") << Script([](TabForm& form) { QVERIFY(form.PasswordBoxClick()); })
                                << QVariantList{QStringLiteral("secret")} << QStringList{"Work", "Home"}
                                << QByteArray() // scrambled
                                << QString() << "tabForm password";
}

void TestPageOptions::pageCommands()
{
    QFETCH(Script, script);
    QFETCH(QVariantList, answers);
    QFETCH(QStringList, tabs);
    QFETCH(QByteArray, workMail);
    QFETCH(QString, carrying);
    QFETCH(QString, asked);
    open();
    for (const QVariant& a : answers)
        f->ui.answer(a);
    f->ui.mailDialogs.push_back([](MailDialog& d) {
        QCOMPARE(d.scope, QByteArray("Page"));
        QCOMPARE(d.workText.size(), 6);
    });
    options(script);
    QCOMPARE(BookmarkText::tabs(f->store, f->path("Disk.LYK")), tabs);
    QCOMPARE(BookmarkText::names(f->board->state().tabs()), tabs);
    if (QTest::currentDataTag() == QByteArray("P password")) {
        QVERIFY(f->board->PagePassBox().PageProtected("Work"));
        QVERIFY(BookmarkFile::IsProtectedUrl(key("Work", "01U")));
    } else {
        QCOMPARE(key("Work", "01U"), workMail);
    }
    QCOMPARE(AnsiText::toUi(f->board->pageCarrier().carriedPage()), carrying);
    QStringList kinds;
    for (const auto& q : std::as_const(f->ui.asked))
        kinds << q.kind;
    QCOMPARE(kinds.join(' '), asked);
    QVERIFY(f->ui.answers.empty());
}

void TestPageOptions::selectedBookmarksAreMovedOrCopied_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("sourcesBlank");
    QTest::newRow("move") << int(TabForm::MoveSelected) << true;
    QTest::newRow("copy") << int(TabForm::CopySelected) << false;
}

void TestPageOptions::selectedBookmarksAreMovedOrCopied()
{
    QFETCH(int, item);
    QFETCH(bool, sourcesBlank);
    open();
    const QByteArray pristine = f->readFile("Disk.LYK");
    options(select({"05", "09"}, [item](TabForm& form) { return form.Group2Click(item); }));
    PageCarrier& carrier = f->board->pageCarrier();
    // Carried bookmarks stay in their slots until they are put down.
    QCOMPARE(f->readFile("Disk.LYK"), pristine);
    QVERIFY(carrier.carryingBookmarks());
    QCOMPARE(f->ui.cursor(), ScreenCursor::PickUp);
    QVERIFY(f->board->state().title().contains(QStringLiteral("carrying 2 bookmarks")));
    QVERIFY(f->board->state().item(MenuItem::MPutBookmarks).visible);
    const QByteArray before = f->readFile("Disk.LYK");
    QVERIFY(before.contains("05D=notes"));

    // A right-click on Home's tab: into its first blank slots, in order,
    // taken from their slots in the same save.
    const int writes = f->store.writes();
    putDown(1);
    QCOMPARE(f->store.writes() - writes, 1);
    QVERIFY(!carrier.carrying());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    QVERIFY(!f->board->state().item(MenuItem::MPutBookmarks).visible);
    QCOMPARE(key("Home", "04N"), QByteArray("Five"));
    QCOMPARE(key("Home", "04C"), QByteArray("255"));
    QCOMPARE(key("Home", "04D"), QByteArray("notes"));
    QCOMPARE(key("Home", "05N"), QByteArray("Nine"));
    QCOMPARE(key("Home", "05U"), QByteArray("http://nine.example/"));
    QCOMPARE(key("Home", "01N"), QByteArray("Bank"));
    for (const QByteArray k : {"05N", "05U", "05C", "05D", "09N", "09U"})
        QCOMPARE(key("Work", k).isEmpty(), sourcesBlank);
    QCOMPARE(key("Work", "07N"), QByteArray("Seven"));
    // The page shown (Work) shows the change at once.
    QCOMPARE(f->board->state().buttons()[4].caption.isEmpty(), sourcesBlank);
    QVERIFY(f->ui.messages().isEmpty());
}

void TestPageOptions::notEnoughBlankButtons()
{
    // Home has two blank slots (78 of 80 filled): three do not fit.
    QByteArray home;
    for (int n = 1; n <= 78; ++n)
        home += mark(n, "H" + QByteArray::number(n));
    f = std::make_unique<LaunchFixture>();
    f->writeFile("Disk.LYK",
                 BookmarkText::file({"Work", "Home"},
                                    {{"Work", mark(1, "Mail") + mark(2, "News") + mark(3, "Wiki")}, {"Home", home}}));
    f->writeFile("lyk.ini", "[File]\r\nName=" + f->path("Disk.LYK") + "\r\n");
    f->start();
    const QByteArray before = f->readFile("Disk.LYK");
    options(select({"01", "02", "03"}, [](TabForm& form) { return form.Group2Click(TabForm::MoveSelected); }));
    QVERIFY(f->board->pageCarrier().carryingBookmarks());
    putDown(1);
    QCOMPARE(f->ui.messages(),
             QStringList{"There are not enough blank buttons to move bookmarks on to, please try again."});
    QCOMPARE(f->ui.asked.last().type, Prompter::Type::Warning);
    QCOMPARE(f->readFile("Disk.LYK"), before);
    // The mode is reset: nothing is carried, the cursor is normal.
    QVERIFY(!f->board->pageCarrier().carrying());
    QCOMPARE(f->ui.cursor(), ScreenCursor::Default);
    putDown(1);
    QCOMPARE(f->readFile("Disk.LYK"), before);
    QCOMPARE(f->ui.messages().size(), 1);

    // Escape lets carried bookmarks go, too.
    options(select({"01"}, [](TabForm& form) { return form.Group2Click(TabForm::CopySelected); }));
    QVERIFY(f->board->pageCarrier().carryingBookmarks());
    f->board->command([&] { f->board->keys().KeysKeyDown(KeyboardNav::Key::Escape); }, CommandKind::WhilePlacing);
    QVERIFY(!f->board->pageCarrier().carrying());
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestPageOptions::movingOntoTheirOwnPage()
{
    // A title without an address is a selected bookmark, not a blank target.
    open();
    f->writeFile("Disk.LYK", BookmarkText::file({"Work"}, {{"Work", "01N=Just a title\r\n" + mark(3, "Wiki")}}));
    f->start();
    options(select({"01", "03"}, [](TabForm& form) { return form.Group2Click(TabForm::MoveSelected); }));
    putDown(0);
    QCOMPARE(key("Work", "02N"), QByteArray("Just a title"));
    QCOMPARE(key("Work", "04N"), QByteArray("Wiki"));
    QCOMPARE(key("Work", "01N"), QByteArray());
    QCOMPARE(key("Work", "03N"), QByteArray());
}

void TestPageOptions::colourAndIconOfTheSelected()
{
    open();
    int writes = 0;
    f->ui.answer(0x00FF00);
    options(select({"01", "03"}, [&](TabForm& form) {
        writes = f->store.writes();
        return form.Group2Click(TabForm::ColorSelected);
    }));
    QCOMPARE(key("Work", "01C"), QByteArray("65280"));
    QCOMPARE(key("Work", "03C"), QByteArray("65280"));
    QCOMPARE(key("Work", "02C"), QByteArray());
    QCOMPARE(f->board->state().buttons()[2].color, 0x00FF00);
    // One save of the bookmark file (and one of the custom colours).
    QCOMPARE(f->store.writes() - writes, 2);

    // The icon chosen for the first goes to every selected bookmark.
    f->ui.iconChoosers.push_back([](GlyphChooser& c) {
        c.DefaultBtnClick();
        c.select(33);
    });
    options(select({"02", "05", "07"}, [](TabForm& form) { return form.Group2Click(TabForm::IconSelected); }));
    for (const QByteArray slot : {"02", "05", "07"})
        QCOMPARE(key("Work", slot + "G"), QByteArray("33"));
    QCOMPARE(key("Work", "01G"), QByteArray());

    // Closed without a choice, the chooser changes nothing.
    const QByteArray before = f->readFile("Disk.LYK");
    f->ui.iconChoosers.push_back([](GlyphChooser&) {});
    options(select({"01", "09"}, [](TabForm& form) { return form.Group2Click(TabForm::IconSelected); }));
    QCOMPARE(f->readFile("Disk.LYK"), before);
}

void TestPageOptions::eraseAndMailTheSelected()
{
    open();
    f->board->state().setChecked(MenuItem::MNewDlg, true);
    f->ui.answer(QVariant::fromValue(Answer::No));
    options(select({"02", "07"}, [](TabForm& form) { return form.Group2Click(TabForm::EraseSelected); }));
    QCOMPARE(f->ui.messages(), QStringList{"Are you sure you want to delete the selected bookmarks?"});
    QCOMPARE(key("Work", "02N"), QByteArray("News"));
    f->ui.answer(QVariant::fromValue(Answer::Yes));
    options(select({"02", "07"}, [](TabForm& form) { return form.Group2Click(TabForm::EraseSelected); }));
    QCOMPARE(key("Work", "02N"), QByteArray());
    QCOMPARE(key("Work", "07U"), QByteArray());
    QCOMPARE(key("Work", "09N"), QByteArray("Nine"));
    QVERIFY(f->board->state().buttons()[1].caption.isEmpty());

    QList<MailedBookmark> work;
    QByteArray scope;
    f->ui.mailDialogs.push_back([&](MailDialog& d) {
        scope = d.scope;
        work = d.workText;
    });
    options(select({"01", "09"}, [](TabForm& form) { return form.Group2Click(TabForm::EmailSelected); }));
    QCOMPARE(scope, QByteArray("Page"));
    QCOMPARE(work, (QList<MailedBookmark>{{"http://mail.example/", "Mail"}, {"http://nine.example/", "Nine"}}));
}

void TestPageOptions::pingTheSelected()
{
    open();
    f->writeFile("Disk.LYK", BookmarkText::file({"Work"}, {{"Work", "01N=A\r\n01U=http://www.a.example/x/y\r\n"
                                                                    "02N=B\r\n02U=b.example/\r\n"
                                                                    "03N=C\r\n03U=https://c.example\r\n"
                                                                    "04N=Prog\r\n04U=/bin/true\r\n04L=Yes\r\n"}}));
    f->start();
    f->board->vars().BrowserPath = kBrowser;
    speed.clicked = "B02";
    options(select({"01", "02", "03", "04"}, [](TabForm& form) { return form.Group2Click(TabForm::PingSelected); }));
    QCOMPARE(speed.hosts, (QList<QByteArray>{"a.example", "b.example", "", ""}));
    QCOMPARE(speed.buttons, (QList<QByteArray>{"B01", "B02", "B03", "B04"}));
    // The bar clicked opens its bookmark as a click on its button does.
    QCOMPARE(f->starter.starts.size(), 1);
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"b.example/"});
    QCOMPARE(f->board->vars().CurrentButton, QByteArray("B02"));

    speed.clicked.clear();
    options(select({"01"}, [](TabForm& form) { return form.Group2Click(TabForm::PingSelected); }));
    QCOMPARE(f->starter.starts.size(), 1);
}

void TestPageOptions::launchTheSelected()
{
    open();
    f->writeFile("Disk.LYK", BookmarkText::file({"Work"}, {{"Work", mark(1, "Mail") + mark(2, "News") +
                                                                        "03N=Sleep\r\n03U=/bin/sleep /30\r\n03L=Yes\r\n"
                                                                        "04N=True\r\n04U=/bin/true\r\n04L=Yes\r\n"}}));
    f->start();
    f->board->vars().BrowserPath = kBrowser;
    // "Launch Selected Files": both programs, in list order, each as its own button.
    options(select({"03", "04"}, [](TabForm& form) { return form.Group2Click(TabForm::LaunchFiles); }));
    QCOMPARE(f->starter.starts.size(), 2);
    QCOMPARE(QFileInfo(f->starter.starts[0].program).fileName(), QStringLiteral("sleep"));
    QCOMPARE(f->starter.starts[0].arguments, QStringList{"30"});
    QCOMPARE(QFileInfo(f->starter.starts[1].program).fileName(), QStringLiteral("true"));
    QCOMPARE(f->board->vars().CurrentButton, QByteArray("B04"));

    // "Launch Selected Links": the addresses as one ";;" list, a browser each.
    f->starter.starts.clear();
    options(select({"01", "02"}, [](TabForm& form) { return form.Group2Click(TabForm::LaunchLinks); }));
    QStringList opened;
    for (const auto& s : std::as_const(f->starter.starts))
        opened << s.arguments;
    QCOMPARE(opened, (QStringList{"http://mail.example/", "http://news.example/"}));
    QVERIFY(f->ui.messages().isEmpty());
}

QTEST_GUILESS_MAIN(TestPageOptions)
#include "tst_pageoptions.moc"
