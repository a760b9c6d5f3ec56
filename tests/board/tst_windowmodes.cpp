#include "BoardFixture.h"
#include "HotKeys.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "WindowModes.h"
#include "XdgAutostart.h"
#include "XdgScreenSaver.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using Request = BoardState::WindowRequest;

namespace {

const QByteArray kHotkey2On = "[HotKey]\r\nKey2=F10\r\nShift2=Ctrl\r\nD2=On\r\n";

} // namespace

class TestWindowModes : public QObject
{
    Q_OBJECT
private slots:
    void modifierTextTable_data();
    void modifierTextTable();
    void hotKeysReadAndWrite();
    void modeItemsAreExclusiveAndStored_data();
    void modeItemsAreExclusiveAndStored();
    void miniModeShrinksAndStaysOnTop();
    void trayModeNeedsANotificationArea();
    void stealthMode_data();
    void stealthMode();
    void startModes_data();
    void startModes();
    void afterLaunch_data();
    void afterLaunch();
    void minimizeAndTrayClick();
    void hotKeysAreRegisteredFromTheSettings();
    void everyHotKeyRunsItsCommand();
    void hotKeyDialogSavesAndApplies();
    void hiddenOnlyWithAWayBack();
    void startWithTheDesktopSession();
    void autostartEntryFile();
    void screenSaver();
    void recentBookmarks();
    void recentFiles();
    void trayMenuKey();
};

void TestWindowModes::modifierTextTable_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("ctrl") << 4 << QByteArray("Ctrl");
    QTest::newRow("shift") << 1 << QByteArray("Shift");
    QTest::newRow("alt") << 2 << QByteArray("Alt");
    QTest::newRow("ctrl alt") << 6 << QByteArray("Ctrl,Alt");
    QTest::newRow("ctrl shift") << 5 << QByteArray("Ctrl,Shift");
    QTest::newRow("alt shift") << 3 << QByteArray("Alt,Shift");
    QTest::newRow("all") << 7 << QByteArray("Ctrl,Alt,Shift");
    QTest::newRow("none") << 0 << QByteArray("");
}

void TestWindowModes::modifierTextTable()
{
    QFETCH(int, bits);
    QFETCH(QByteArray, text);
    QCOMPARE(HotKeys::StateToStr(bits), text);
    QCOMPARE(HotKeys::StrToState(text), bits);
}

void TestWindowModes::hotKeysReadAndWrite()
{
    BoardFixture f;
    f.writeFile("lyk.ini", "[HotKey]\r\nKey0=A\r\nShift0=Alt,Shift\r\nD0=On\r\nD3=Off\r\nKey4=Page up\r\nD4=x\r\n");
    HotKeys keys;
    {
        TIniFile32 ini(f.store, f.path("lyk.ini"));
        keys.read(ini);
    }
    QCOMPARE(keys.entries[0], (HotKeys::Entry{"A", 3, true}));
    QCOMPARE(keys.entries[2], (HotKeys::Entry{"F10", 4, false})); // the defaults of hotkey 2
    QCOMPARE(keys.entries[3], (HotKeys::Entry{"", 0, false}));
    QCOMPARE(keys.entries[4], (HotKeys::Entry{"Page up", 0, true})); // only "Off" is off
    QCOMPARE(HotKeys::keyTexts().size(), 26 + 10 + 12 + 11);
    {
        TIniFile32 ini(f.store, f.path("lyk.ini"));
        keys.write(ini);
    }
    QCOMPARE(f.key("lyk.ini", "HotKey", "Shift0"), QByteArray("Alt,Shift"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "D2"), QByteArray("Off"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "Key2"), QByteArray("F10"));
}

void TestWindowModes::modeItemsAreExclusiveAndStored_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("task bar") << QByteArray("MStartBar") << QByteArray("Bar");
    QTest::newRow("tray") << QByteArray("MStartSmall") << QByteArray("Yes");
    QTest::newRow("mini") << QByteArray("MMini") << QByteArray("Mini");
}

void TestWindowModes::modeItemsAreExclusiveAndStored()
{
    QFETCH(QByteArray, item);
    QFETCH(QByteArray, stored);
    BoardFixture f;
    f.state.setTrayAvailable(true);
    f.start();
    const MenuItem chosen = *MenuItems::named(item);
    f.board->modes().MStartSmallClick(chosen == MenuItem::MStartBar ? MenuItem::MStartSmall : MenuItem::MStartBar);
    f.board->modes().MStartSmallClick(chosen);
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), stored);
    for (const WindowModes::Mode& m : WindowModes::kModes)
        QCOMPARE(f.state.checked(m.item), chosen == m.item);
    // Choosing the checked item again unchecks it and stores "No".
    f.board->modes().MStartSmallClick(chosen);
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), QByteArray("No"));
    for (const WindowModes::Mode& m : WindowModes::kModes)
        QVERIFY(!f.state.checked(m.item));
}

void TestWindowModes::miniModeShrinksAndStaysOnTop()
{
    BoardFixture f;
    f.start();
    f.board->modes().MStartSmallClick(MenuItem::MMini);
    QCOMPARE(f.state.geometry().height, 88);
    QVERIFY(f.state.alwaysOnTop());
    f.board->modes().MStartSmallClick(MenuItem::MStartBar);
    QCOMPARE(f.state.geometry().height, 469);
    QVERIFY(!f.state.alwaysOnTop());
}

void TestWindowModes::trayModeNeedsANotificationArea()
{
    BoardFixture f;
    f.state.setTrayAvailable(false);
    f.start();
    f.board->modes().MStartSmallClick(MenuItem::MStartSmall);
    QVERIFY(!f.state.checked(MenuItem::MStartSmall));
    QCOMPARE(f.ui.messages().size(), 1);
    QVERIFY(f.ui.messages().front().contains(QStringLiteral("no notification area")));
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), QByteArray("No"));
}

void TestWindowModes::stealthMode_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("hotkeysAvailable");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("hotkey 2 enabled") << kHotkey2On << true << true
                                      << QStringList{"Your HotKey for unhiding the program is: Ctrl F10"};
    QTest::newRow("hotkey 2 off: nothing at all")
        << QByteArray("[HotKey]\r\nD2=Off\r\n") << true << false << QStringList();
    QTest::newRow("no key for hotkey 2") << QByteArray() << true << false << QStringList{"Please configure HotKeys "};
    QTest::newRow("hotkey 2 set but not working")
        << kHotkey2On << false << false
        << QStringList{"Stealth mode needs a working hotkey to show Lynkor again: enable hotkey "
                       "\"Show Lynkor\" under Setup, HotKeys.\nGlobal hotkeys need an X11 session."};
}

void TestWindowModes::stealthMode()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, hotkeysAvailable);
    QFETCH(bool, checked);
    QFETCH(QStringList, messages);
    BoardFixture f;
    f.writeFile("lyk.ini", settings);
    f.hotkeys.isAvailable = hotkeysAvailable;
    f.start();
    f.board->modes().MStartSmallClick(MenuItem::MHide);
    QCOMPARE(f.state.checked(MenuItem::MHide), checked);
    QCOMPARE(f.ui.messages(), messages);
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), checked ? QByteArray("Hide") : QByteArray("No"));
}

void TestWindowModes::startModes_data()
{
    QTest::addColumn<QByteArray>("tray");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("trayIcon");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("messages");
    QTest::newRow("nothing") << QByteArray("No") << true << true << false << 469 << 0;
    QTest::newRow("tray") << QByteArray("Yes") << true << false << true << 469 << 0;
    QTest::newRow("tray without a tray") << QByteArray("Yes") << false << true << false << 469 << 1;
    QTest::newRow("task bar") << QByteArray("Bar") << true << true << false << 469 << 0;
    QTest::newRow("mini") << QByteArray("Mini") << true << true << false << 88 << 0;
    QTest::newRow("stealth") << QByteArray("Hide") << true << true << false << 469 << 0;
}

void TestWindowModes::startModes()
{
    QFETCH(QByteArray, tray);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, visible);
    QFETCH(bool, trayIcon);
    QFETCH(int, height);
    QFETCH(int, messages);
    BoardFixture f;
    f.writeFile("lyk.ini",
                "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n[Location]\r\nTray=" + tray + "\r\n" + kHotkey2On);
    f.state.setTrayAvailable(trayAvailable);
    f.start();
    QCOMPARE(f.state.visible(), visible);
    QCOMPARE(f.state.trayIconVisible(), trayIcon);
    QCOMPARE(f.state.geometry().height, height);
    QCOMPARE(f.state.alwaysOnTop(), height == 88);
    QCOMPARE(f.ui.messages().size(), messages);
}

void TestWindowModes::afterLaunch_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("trayIcon");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("minimized");
    QTest::newRow("no mode") << QByteArray() << true << false << "Lynkor" << 0;
    QTest::newRow("tray, tip from notes") << QByteArray("MStartSmall") << false << true << "line 1\r\nline 2" << 0;
    QTest::newRow("task bar") << QByteArray("MStartBar") << true << false << "Lynkor" << 1;
    QTest::newRow("stealth") << QByteArray("MHide") << false << false << "Lynkor" << 0;
    QTest::newRow("mini") << QByteArray("MMini") << true << false << "Lynkor" << 0;
}

void TestWindowModes::afterLaunch()
{
    QFETCH(QByteArray, item);
    QFETCH(bool, visible);
    QFETCH(bool, trayIcon);
    QFETCH(QString, tip);
    QFETCH(int, minimized);
    BoardFixture f;
    f.writeFile("lyk.ini", kHotkey2On);
    f.state.setTrayAvailable(true);
    f.start();
    if (!item.isEmpty())
        f.board->modes().MStartSmallClick(*MenuItems::named(item));
    // The window was made tall again since; the launch shrinks it once more.
    f.state.requestSize(620, 469);
    f.state.setAlwaysOnTop(false);
    QSignalSpy requests(&f.state, &BoardState::windowRequested);
    f.board->modes().AfterLaunch("line 1|~line 2");
    QCOMPARE(f.state.visible(), visible);
    QCOMPARE(f.state.trayIconVisible(), trayIcon);
    QCOMPARE(f.state.trayTip(), tip);
    QCOMPARE(requests.count(), minimized);
    if (item == "MMini") {
        QCOMPARE(f.state.geometry().height, 88);
        QVERIFY(f.state.alwaysOnTop());
    }
}

void TestWindowModes::minimizeAndTrayClick()
{
    BoardFixture f;
    f.state.setTrayAvailable(true);
    f.start();
    f.board->modes().MStartSmallClick(MenuItem::MStartSmall);
    f.board->modes().AppMin();
    QVERIFY(!f.state.visible());
    QVERIFY(f.state.trayIconVisible());
    QSignalSpy requests(&f.state, &BoardState::windowRequested);
    f.board->modes().TaskIconClick();
    QVERIFY(f.state.visible());
    QVERIFY(!f.state.trayIconVisible());
    QCOMPARE(f.state.trayTip(), QStringLiteral("Lynkor"));
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.front().front().value<Request>(), Request::Show);

    f.board->modes().MStartSmallClick(MenuItem::MMini);
    f.state.requestSize(620, 469); // the user made it tall again
    f.board->modes().AppMin();
    QCOMPARE(f.state.geometry().height, 88);
    QVERIFY(f.state.alwaysOnTop());
}

void TestWindowModes::hotKeysAreRegisteredFromTheSettings()
{
    BoardFixture f;
    f.writeFile("lyk.ini", "[HotKey]\r\nKey0=A\r\nShift0=Ctrl,Alt\r\nD0=On\r\nKey1=H\r\nShift1=Ctrl\r\nD1=Off\r\n" +
                               kHotkey2On.mid(10));
    f.start();
    QCOMPARE(f.hotkeys.registered.keys(), (QList<int>{0, 2}));
    QCOMPARE(f.hotkeys.registered[0].key, QStringLiteral("A"));
    QCOMPARE(f.hotkeys.registered[0].modifiers, 6);
    QCOMPARE(f.hotkeys.registered[2].key, QStringLiteral("F10"));
    QCOMPARE(f.hotkeys.registered[2].modifiers, 4);
    QVERIFY(f.board->modes().showHotKeyWorks());

    BoardFixture fresh;
    fresh.start();
    QVERIFY(fresh.hotkeys.registered.isEmpty()); // a new installation has every hotkey off
}

void TestWindowModes::everyHotKeyRunsItsCommand()
{
    // Switched on in the file, each of the six hotkeys is registered and
    // runs its command.
    struct CountingSearcher : NetSearcher
    {
        int runs = 0;
        void SearchNetButtonClick() override { ++runs; }
    } searcher;
    BoardFixture f;
    f.writeFile("lyk.ini", "[HotKey]\r\nKey0=A\r\nShift0=Ctrl,Alt\r\nD0=On\r\nKey3=S\r\nShift3=Ctrl,Alt\r\nD3=On\r\n"
                           "Key4=I\r\nShift4=Ctrl,Alt\r\nD4=On\r\nKey5=O\r\nShift5=Ctrl,Alt\r\nD5=On\r\n");
    f.start();
    f.board->setNetSearcher(&searcher);
    QCOMPARE(f.hotkeys.registered.keys(), (QList<int>{0, 3, 4, 5}));
    // Hotkey 3 opens the Internet search, hotkey 5 a bookmark file.
    f.board->modes().HotKeyActivated(3);
    QCOMPARE(searcher.runs, 1);
    f.ui.answer(ScriptedPrompter::closed());
    f.board->modes().HotKeyActivated(5);
    QCOMPARE(f.ui.asked.back().kind, QStringLiteral("openFile"));
    QCOMPARE(f.ui.asked.back().text, QStringLiteral("Select Lynkor File"));
    f.ui.answer(ScriptedPrompter::closed());
    f.board->modes().MHotkeysClick();
    QCOMPARE(f.ui.asked.back().kind, QStringLiteral("hotKeys"));
    QVERIFY2(!f.ui.asked.back().text.contains(QStringLiteral("Not available")), qPrintable(f.ui.asked.back().text));
    f.board->setNetSearcher(nullptr);
}

void TestWindowModes::hotKeyDialogSavesAndApplies()
{
    BoardFixture f;
    f.writeFile("lyk.ini", "[File]\r\nName=" + f.path("Disk.LYK") + "\r\n[Location]\r\nTray=Hide\r\n" + kHotkey2On);
    f.start();
    QVERIFY(f.state.checked(MenuItem::MHide));
    HotKeys keys;
    keys.entries[1] = {"H", HotKeys::kCtrl | HotKeys::kShift, true};
    keys.entries[2] = {"F10", HotKeys::kCtrl, false};
    f.ui.answer(QVariant::fromValue(keys));
    f.board->modes().MHotkeysClick();
    QCOMPARE(f.key("lyk.ini", "HotKey", "Key1"), QByteArray("H"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "Shift1"), QByteArray("Ctrl,Shift"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "D1"), QByteArray("On"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "D2"), QByteArray("Off"));
    QCOMPARE(f.key("lyk.ini", "HotKey", "D5"), QByteArray("Off"));
    QCOMPARE(f.hotkeys.registered.keys(), QList<int>{1});
    QVERIFY(!f.state.checked(MenuItem::MHide)); // no way back: stealth is off
    // Only the item is unchecked; the stored mode is the user's to change (the
    // next start shows the window and finds hotkey 2 off just the same).
    QCOMPARE(f.key("lyk.ini", "Location", "Tray"), QByteArray("Hide"));

    // A key another program holds is reported.
    f.hotkeys.taken << "F11";
    keys.entries[2] = {"F11", HotKeys::kCtrl, true};
    f.ui.answer(QVariant::fromValue(keys));
    f.board->modes().MHotkeysClick();
    QCOMPARE(f.ui.messages().back(),
             QStringLiteral("These hotkeys are used by another program and do not work: Ctrl F11"));

    // Closing the dialog changes nothing.
    const QByteArray before = f.readFile("lyk.ini");
    f.ui.answer(ScriptedPrompter::closed());
    f.board->modes().MHotkeysClick();
    QCOMPARE(f.readFile("lyk.ini"), before);
}

void TestWindowModes::hiddenOnlyWithAWayBack()
{
    BoardFixture f;
    f.start();
    f.hotkeys.press(1);
    QVERIFY(f.state.visible()); // no hotkey 2, no tray: it stays
    BoardFixture g;
    g.writeFile("lyk.ini", kHotkey2On + "Key1=H\r\nShift1=Ctrl\r\nD1=On\r\n");
    g.start();
    g.board->modes().HotKeyActivated(1);
    QVERIFY(!g.state.visible());
    QVERIFY(!g.state.trayIconVisible());
    g.board->modes().HotKeyActivated(2);
    QVERIFY(g.state.visible());
}

void TestWindowModes::startWithTheDesktopSession()
{
    BoardFixture f;
    f.start();
    QVERIFY(!f.state.checked(MenuItem::MAutoRun));
    f.board->modes().MAutoRunClick();
    QVERIFY(f.autostart.enabled);
    QVERIFY(f.state.checked(MenuItem::MAutoRun));
    QCOMPARE(f.key("lyk.ini", "AutoRun", "Load"), QByteArray("Yes"));
    f.board->modes().MAutoRunClick();
    QVERIFY(!f.autostart.enabled);
    QCOMPARE(f.key("lyk.ini", "AutoRun", "Load"), QByteArray("No"));
    f.autostart.fails = true;
    f.board->modes().MAutoRunClick();
    QVERIFY(!f.state.checked(MenuItem::MAutoRun));
    QCOMPARE(f.key("lyk.ini", "AutoRun", "Load"), QByteArray("No"));
    QCOMPARE(f.ui.messages().size(), 1);

    BoardFixture g;
    g.writeFile("lyk.ini", "[AutoRun]\r\nLoad=Yes\r\n");
    g.start();
    QVERIFY(g.state.checked(MenuItem::MAutoRun));
    QVERIFY(g.autostart.enabled);
}

void TestWindowModes::autostartEntryFile()
{
    QTemporaryDir dir;
    XdgAutostart a(dir.filePath("autostart"), QStringLiteral("/opt/my apps/lynkor"), "/data/ly$k");
    QVERIFY(!a.isEnabled());
    QVERIFY(a.setEnabled(true));
    QFile f(a.entryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("\nName=Lynkor\n"));
    QVERIFY2(text.contains("\nExec=env \"LYNKOR_HOME=/data/ly\\\\$k\" \"/opt/my apps/lynkor\"\n"), text.constData());
    QVERIFY(a.setEnabled(false));
    QVERIFY(!QFile::exists(a.entryPath()));
    QVERIFY(a.setEnabled(false));
}

void TestWindowModes::screenSaver()
{
    BoardFixture f;
    f.start();
    f.board->keys().KeysKeyDown(KeyboardNav::Key::F9);
    QCOMPARE(f.screenSaver.activations, 1);
    f.screenSaver.works = false;
    f.board->modes().ScreenSaveClick();
    QTRY_COMPARE(f.ui.messages().size(), 1);
    QCOMPARE(f.ui.messages().front(),
             QStringLiteral("The screen saver could not be started.\nNo screen saver is running."));

    QTemporaryDir dir;
    const QString marker = dir.filePath("started");
    const QString script = dir.filePath("saver");
    QFile s(script);
    QVERIFY(s.open(QIODevice::WriteOnly));
    s.write("#!/bin/sh\necho \"$@\" > '" + marker.toUtf8() + "'\n");
    s.close();
    s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The real helper: it ran, it failed with its own words, it is missing.
    struct Outcome
    {
        bool done = false;
        bool ok = false;
        QString why;
    };
    auto run = [](ScreenSaver& saver) -> Outcome {
        QObject context;
        Outcome o;
        saver.activate(&context, [&o](bool ok, const QString& why) { o = {true, ok, why}; });
        if (!QTest::qWaitFor([&o] { return o.done; }, 5000))
            o.why = QStringLiteral("no answer");
        return o;
    };
    XdgScreenSaver real(script);
    const Outcome worked = run(real);
    QVERIFY(worked.done && worked.ok);
    auto written = [&marker] {
        QFile m(marker);
        return m.open(QIODevice::ReadOnly) ? m.readAll() : QByteArray();
    };
    QCOMPARE(written(), QByteArray("activate\n"));
    const QString failing = dir.filePath("failing");
    QFile fs(failing);
    QVERIFY(fs.open(QIODevice::WriteOnly));
    fs.write("#!/bin/sh\necho 'no screen saver here' >&2\nexit 4\n");
    fs.close();
    fs.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    XdgScreenSaver broken(failing);
    const Outcome failed = run(broken);
    QVERIFY(!failed.ok);
    QCOMPARE(failed.why, QStringLiteral("no screen saver here"));
    XdgScreenSaver missing(dir.filePath("missing"));
    const Outcome absent = run(missing);
    QVERIFY(!absent.ok);
    QVERIFY2(absent.why.contains(QStringLiteral("could not be started")), qPrintable(absent.why));
}

void TestWindowModes::recentBookmarks()
{
    BoardFixture f;
    f.start();
    QVERIFY(f.state.checked(MenuItem::MMRU));
    QCOMPARE(WindowModes::recentEntry("Mail", "Page1", "05"), QByteArray("Mail  |Page1::05"));
    for (int i = 1; i <= 12; ++i)
        f.board->modes().addRecentBookmark(WindowModes::recentEntry("Site " + QByteArray::number(i), "Page1", "01"));
    QCOMPARE(f.state.recentBookmarks().size(), 10);
    QCOMPARE(f.state.recentBookmarks().front(), QByteArray("Site 12  |Page1::01"));
    QCOMPARE(f.key("Disk.LYK", "MRU", "Count"), QByteArray("12"));
    QCOMPARE(f.key("Disk.LYK", "MRU", "12"), QByteArray("Site 1  |Page1::01"));

    f.board->modes().MMRUClick();
    QCOMPARE(f.key("Disk.LYK", "MRUX", "Track"), QByteArray("Off"));
    QVERIFY(f.state.recentBookmarks().isEmpty());
    f.board->modes().addRecentBookmark(WindowModes::recentEntry("Not kept", "Page1", "03"));
    QCOMPARE(f.key("Disk.LYK", "MRU", "Count"), QByteArray("12"));

    BoardFixture g;
    g.writeFile("Disk.LYK", "[MRUX]\r\nTrack=Off\r\n");
    g.start();
    QVERIFY(!g.state.checked(MenuItem::MMRU));
}

void TestWindowModes::recentFiles()
{
    BoardFixture f;
    f.writeFile("other.LYK", "[Tabs]\r\nCount=2\r\nTab1=Elsewhere\r\n[Elsewhere]\r\n01N=There\r\n01U=x\r\n");
    f.start({"work"});
    // The recent files always live in lyk.ini, whatever the stem.
    QCOMPARE(f.key("lyk.ini", "MRU", "1"), f.path("work"));
    QCOMPARE(f.state.recentFiles(), QList<QByteArray>{f.path("work")});
    f.board->modes().MruList2MruClick(f.path("other.LYK"));
    QCOMPARE(f.files.BookmarkFileName(), f.path("other.LYK"));
    QCOMPARE(f.key("work.INI", "File", "Name"), f.path("other.LYK"));
    QCOMPARE(f.state.tabs().size(), size_t(2));
    QCOMPARE(f.state.buttons()[0].caption, QByteArray("There"));
    QCOMPARE(f.state.recentFiles(), (QList<QByteArray>{f.path("other.LYK"), f.path("work")}));
    QVERIFY(f.state.title().contains(QStringLiteral("[ other ]")));
    for (int i = 0; i < 12; ++i)
        f.board->modes().fileOpened(f.path("f" + QByteArray::number(i) + ".LYK"));
    QCOMPARE(f.state.recentFiles().size(), 5);
    QCOMPARE(f.key("lyk.ini", "MRU", "Count"), QByteArray("10"));
}

void TestWindowModes::trayMenuKey()
{
    BoardFixture f;
    f.start();
    QSignalSpy spy(&f.state, &BoardState::trayMenuRequested);
    f.board->keys().KeysKeyDown(KeyboardNav::Key::F7);
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(TestWindowModes)
#include "tst_windowmodes.moc"
