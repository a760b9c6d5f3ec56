#include "BoardFixture.h"
#include "BoardGeometry.h"
#include "CommandError.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "ToolTip.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

const QByteArray kPrepared = "[Tabs]\r\nCount=3\r\nTab1=Work\r\nTab2=Home\r\nTab3=work\r\n"
                             "[Work]\r\n"
                             "01N=Site\r\n01U=http://site.example/\r\n01P=first|~second\r\n01C=255\r\n"
                             "02N=Title only\r\n02P=ignored\r\n"
                             "03N=Internal\r\n03U=http://three.example/\r\n03G=5\r\n"
                             "04N=Second list\r\n04U=u4\r\n04G=512\r\n"
                             "05N=From file\r\n05U=/usr/bin/prog\r\n05G=601\r\n05I=/icons/app.ico\r\n"
                             "06N=File is url\r\n06U=/icons/pic.png\r\n06G=600\r\n"
                             "07N=Protected\r\n07U=abc\xB6xyz\r\n"
                             "08N=Legacy\r\n08U=u8\r\n08G=Icon012\r\n"
                             "09N=Bad color\r\n09U=u9\r\n09C=red\r\n";

} // namespace

class TestPageGrid : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void panelHeight();
    void faces();
    void toolTips_data();
    void toolTips();
    void legacyCodesAreWrittenBackOnLoad();
    void loadingAnUnchangedPageWritesNothing();
    void badIconCodeStopsTheLoad();
    void displayOptions();
    void hiddenIcons();
    void columnCount();
    void switchingPages();
    void pagesDifferingInCaseShareASection();
    void buttonFont();
    void resizeLaysTheButtonsOut();
    void resetSize();
};

void TestPageGrid::geometry_data()
{
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("lefts");
    QTest::newRow("3 columns at 600") << 600 << 3 << 199 << QList<int>{1, 201, 401};
    QTest::newRow("4 columns at 620") << 620 << 4 << 154 << QList<int>{1, 156, 311, 466};
    QTest::newRow("2 columns at 600") << 600 << 2 << 299 << QList<int>{1, 301};
    QTest::newRow("4 columns at 601") << 601 << 4 << 149 << QList<int>{1, 151, 301, 451};
}

void TestPageGrid::geometry()
{
    QFETCH(int, clientWidth);
    QFETCH(int, columns);
    QFETCH(int, width);
    QFETCH(QList<int>, lefts);
    BoardFixture f;
    f.start();
    f.board->pages().MColumn2Click(columns);
    f.board->pages().FormResize(clientWidth, clientWidth, 469, 20, 28);
    const auto& b = f.state.buttons();
    QCOMPARE(b.size(), size_t(columns * 20));
    for (int c = 0; c < columns; ++c) {
        for (int row : {0, 19}) {
            const ButtonFace& face = b[c * 20 + row];
            QCOMPARE(face.left, lefts[c]);
            QCOMPARE(face.top, row * 19);
            QCOMPARE(face.width, width);
            QCOMPARE(face.height, 19);
        }
    }
    QCOMPARE(b[20].name, QByteArray("B21"));
}

void TestPageGrid::panelHeight()
{
    QCOMPARE(BoardGeometry::panelHeight(469, 20, 28), 380);
    QCOMPARE(BoardGeometry::panelHeight(400, 20, 28), 352);
    QCOMPARE(BoardGeometry::panelHeight(30, 20, 28), 0);
}

void TestPageGrid::faces()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.writeFile("lyk.ini", "[Notebook]\r\nFontColor=8421504\r\n");
    f.start();
    const auto& b = f.state.buttons();
    QCOMPARE(f.state.tabs(), (std::vector<QByteArray>{"Work", "Home", "work"}));

    QCOMPARE(b[0].caption, QByteArray("Site"));
    QCOMPARE(b[0].hint, QByteArray("http://site.example/\rfirst\r\nsecond"));
    QCOMPARE(b[0].color, 255);
    QCOMPARE(b[0].glyph, IconRef::defaultIcon());
    QVERIFY(b[0].handCursor);

    QCOMPARE(b[1].caption, QByteArray("Title only")); // blank slot keeps its title
    QVERIFY(b[1].hint.isEmpty());
    QCOMPARE(b[1].glyph, IconRef::blank());
    QVERIFY(!b[1].handCursor);
    QCOMPARE(b[1].color, 8421504);

    QCOMPARE(b[2].glyph, (IconRef{IconRef::Internal, 5, {}}));
    QCOMPARE(b[3].glyph, (IconRef{IconRef::Second, 12, {}}));
    QCOMPARE(b[4].glyph, (IconRef{IconRef::File, 1, "/icons/app.ico"}));
    QCOMPARE(b[5].glyph, (IconRef{IconRef::File, 0, "/icons/pic.png"}));
    QCOMPARE(b[6].hint, QByteArray("Password Protected"));
    QCOMPARE(b[7].glyph, (IconRef{IconRef::Second, 12, {}}));
    QCOMPARE(b[8].color, 8421504); // a colour that is no integer reads as the default
    QCOMPARE(b[9].glyph, IconRef::blank());
    QVERIFY(b[9].enabled);
}

void TestPageGrid::toolTips_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("notes");
    QTest::addColumn<bool>("showUrl");
    QTest::addColumn<bool>("showNotes");
    QTest::addColumn<QByteArray>("tip");
    QTest::newRow("both") << QByteArray("u") << QByteArray("n") << true << true << QByteArray("u\rn");
    QTest::newRow("address only") << QByteArray("u") << QByteArray("n") << true << false << QByteArray("u");
    QTest::newRow("notes only") << QByteArray("u") << QByteArray("n") << false << true << QByteArray("n");
    QTest::newRow("notes hidden and none stored: no tip")
        << QByteArray("u") << QByteArray() << false << true << QByteArray();
    QTest::newRow("stored line breaks restored")
        << QByteArray("u") << QByteArray("a|~b") << false << true << QByteArray("a\r\nb");
    QTest::newRow("long note wrapped after column 56")
        << QByteArray("u") << QByteArray(60, 'x') + " tail" << false << true << QByteArray(60, 'x') + "\rtail";
    QTest::newRow("protected") << QByteArray("a\xB6"
                                             "b")
                               << QByteArray("n") << true << true << QByteArray("Password Protected");
}

void TestPageGrid::toolTips()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, notes);
    QFETCH(bool, showUrl);
    QFETCH(bool, showNotes);
    QFETCH(QByteArray, tip);
    QCOMPARE(ToolTip::build(url, notes, showUrl, showNotes), tip);
}

void TestPageGrid::legacyCodesAreWrittenBackOnLoad()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\nCount=1\nTab1=P\n[P]\n01N=a\n01U=u\n01G=Icon012\n02N=b\n02U=v\n02G=Image007\n");
    f.start();
    QCOMPARE(f.readFile("Disk.LYK"), QByteArray("[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n01N=a\r\n01U=u\r\n01G=512\r\n"
                                                "02N=b\r\n02U=v\r\n02G=7\r\n"));
    QCOMPARE(f.state.buttons()[1].glyph, (IconRef{IconRef::Internal, 7, {}}));
}

void TestPageGrid::loadingAnUnchangedPageWritesNothing()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.start();
    const QString path = PathNames::toQt(f.path("Disk.LYK"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-2);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    f.board->pages().selectTab(1);
    f.board->pages().selectTab(0);
    QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

void TestPageGrid::badIconCodeStopsTheLoad()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=2\r\n[Page1]\r\n01N=One\r\n01U=u1\r\n03N=Three\r\n03U=u3\r\n"
                            "[Page2]\r\n01N=A\r\n01U=a\r\n02N=B\r\n02U=b\r\n02G=12x\r\n03N=C\r\n03U=c\r\n");
    f.start();
    QCOMPARE(f.state.buttons()[2].caption, QByteArray("Three"));
    try {
        f.board->pages().selectTab(1);
        QFAIL("no error");
    } catch (const CommandError& e) {
        QCOMPARE(e.text(), QStringLiteral("'12x' is not a valid integer value"));
    }
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("A"));
    // The slots after the bad one do not keep the faces of the page before.
    QVERIFY(f.state.buttons()[2].caption.isEmpty());
}

void TestPageGrid::displayOptions()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.start();
    f.board->pages().MBUrlClick();
    QCOMPARE(f.key("lyk.ini", "Button", "Url"), QByteArray("Off"));
    QVERIFY(!f.state.checked(MenuItem::MBUrl));
    QCOMPARE(f.state.buttons()[0].hint, QByteArray("first\r\nsecond"));
    QVERIFY(f.state.buttons()[2].hint.isEmpty()); // no notes: no tip
    f.board->pages().MBNotesClick();
    QCOMPARE(f.key("lyk.ini", "Button", "Notes"), QByteArray("Off"));
    QVERIFY(f.state.buttons()[0].hint.isEmpty());
    f.board->pages().MBUrlClick();
    QCOMPARE(f.key("lyk.ini", "Button", "Url"), QByteArray("On"));
    QCOMPARE(f.state.buttons()[0].hint, QByteArray("http://site.example/"));
}

void TestPageGrid::hiddenIcons()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.start();
    f.board->pages().MBIconClick();
    QCOMPARE(f.key("lyk.ini", "Button", "Icons"), QByteArray("Off"));
    QCOMPARE(f.state.buttons()[0].glyph, IconRef::noIcon());
    QCOMPARE(f.state.buttons()[4].glyph, IconRef::noIcon());
    QCOMPARE(f.state.buttons()[1].glyph, IconRef::blank());
}

void TestPageGrid::columnCount()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n41N=Far\r\n41U=far\r\n");
    f.start();
    QCOMPARE(f.state.buttons()[40].caption, QByteArray("Far"));
    f.board->pages().MColumn2Click(2);
    QCOMPARE(f.key("lyk.ini", "Column", "Count"), QByteArray("2"));
    QCOMPARE(f.state.buttons().size(), size_t(40));
    QVERIFY(f.state.checked(MenuItem::MColumn2));
    QVERIFY(!f.state.checked(MenuItem::MColumn4));
    QCOMPARE(f.key("Disk.LYK", "P", "41U"), QByteArray("far")); // hidden, not lost
    f.board->pages().MColumn2Click(4);
    QCOMPARE(f.state.buttons().size(), size_t(80));
    QCOMPARE(f.state.buttons()[40].caption, QByteArray("Far"));
}

void TestPageGrid::switchingPages()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared + "[Home]\r\n01N=House\r\n01U=h\r\n");
    f.start();
    f.board->keys().KeysKeyDown(KeyboardNav::Key::Down);
    QCOMPARE(f.state.buttons()[0].margin, 30);
    QStringList titles;
    QObject::connect(&f.state, &BoardState::titleChanged, [&] { titles << f.state.title(); });
    f.state.setChecked(MenuItem::MPagePass, true);
    f.board->pages().selectTab(1);
    QCOMPARE(titles.mid(1, 1), QStringList{"Loading bookmarks for Home"});
    QCOMPARE(f.state.title(), QStringLiteral("Lynkor  [ Disk ]    Home: Page 2 of 3   12/10/26"));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("House"));
    QCOMPARE(f.state.buttons()[0].margin, 1);
    QCOMPARE(f.board->vars().KeyboardSelection, 0);
    QVERIFY(!f.state.checked(MenuItem::MPagePass));
}

void TestPageGrid::pagesDifferingInCaseShareASection()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.start();
    f.board->pages().selectTab(2); // "work"
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Site"));
}

void TestPageGrid::buttonFont()
{
    BoardFixture f;
    f.start();
    f.ui.answer(QVariant::fromValue(FontChoice{"DejaVu Serif", 11, 128}));
    f.board->pages().MFontButtonClick();
    QCOMPARE(f.key("lyk.ini", "Notebook", "FontName"), QByteArray("DejaVu Serif"));
    QCOMPARE(f.key("lyk.ini", "Notebook", "FontSize"), QByteArray("11"));
    QCOMPARE(f.key("lyk.ini", "Notebook", "FontColor"), QByteArray("128"));
    QCOMPARE(f.state.buttonFontName(), QByteArray("DejaVu Serif"));
    QCOMPARE(f.state.buttons()[0].color, 128);
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("Arial"));

    f.ui.answer(ScriptedPrompter::closed());
    f.board->pages().MFontButtonClick();
    QCOMPARE(f.key("lyk.ini", "Notebook", "FontSize"), QByteArray("11"));
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("DejaVu Serif"));
}

void TestPageGrid::resizeLaysTheButtonsOut()
{
    BoardFixture f;
    f.writeFile("Disk.LYK", kPrepared);
    f.start();
    f.board->pages().FormResize(800, 800, 300, 20, 28);
    QCOMPARE(f.state.buttons()[20].left, 201);
    QCOMPARE(f.state.buttons()[20].width, 199);
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("Site"));
    QCOMPARE(f.state.panelHeight(), 252);
    QCOMPARE(f.board->vars().WindowWidth, 800);
    f.board->FormCloseQuery();
    QCOMPARE(f.key("lyk.ini", "Location", "Width"), QByteArray("800"));
}

void TestPageGrid::resetSize()
{
    BoardFixture f;
    f.start();
    int requests = 0;
    QObject::connect(&f.state, &BoardState::geometryRequested, [&] { ++requests; });
    f.board->MResetSizeClick();
    QCOMPARE(requests, 1);
    QCOMPARE(f.state.geometry().width, 620);
    QCOMPARE(f.state.geometry().height, 469);
}

QTEST_GUILESS_MAIN(TestPageGrid)
#include "tst_pagegrid.moc"
