#include "Board.h"
#include "BoardState.h"
#include "BookmarkButton.h"
#include "InternetSearch.h"
#include "LinkCheckerWindow.h"
#include "LocalHttpServer.h"
#include "LocalSmtpServer.h"
#include "LynkorApp.h"
#include "MainWindow.h"
#include "MessagingHosts.h"
#include "PathNames.h"
#include "ScriptedPrompter.h"
#include "SearchWindow.h"
#include "TabStrip.h"
#include "TestFiles.h"
#include "X11Hotkeys.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>
#include <X11/Xlib.h>
#include <X11/keysym.h>

// Global hotkeys and the tray icon on a real X server (Xvfb in the test run).
class TestX11 : public QObject
{
    Q_OBJECT
public:
    bool hasDisplay = false;

private:
    static void key(const QString& keys)
    {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
    }
    bool needsX()
    {
        if (!hasDisplay)
            return false;
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return false;
        return true;
    }
    static QString visibleWindowOfThisProgram()
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(QCoreApplication::applicationPid())});
        p.waitForFinished();
        return QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
    }
    static QByteArray settings(const QByteArray& home, const QByteArray& extra)
    {
        return "[File]\r\nName=" + home +
               "Disk.LYK\r\n[HotKey]\r\nKey1=H\r\nShift1=Ctrl,Alt\r\nD1=On\r\n"
               "Key2=F10\r\nShift2=Ctrl\r\nD2=On\r\n" +
               extra;
    }

private slots:
    void pressedHotKeyIsReported();
    void keyHeldByAnotherProgramIsRefused();
    void everyHotKeyInTheRealWindow();
    void trayIconAppearsWhereATrayExists();
    void clickOnABookmarkStartsTheBrowser();
    void editAndDragInTheRealWindow();
    void blankButtonFilledThroughTheExtension();
    void pagesAndFilesInTheRealWindow();
    void bookmarkMailedFromTheRealWindow();
    void linksCheckedFromTheRealWindow();
    void searchTypedInTheRealWindow();
    void thousandsOfPagesInTheRealWindow();
    void helpTakesKeysWhileADialogWaits();
    void exitEndsTheProgramWithHelpOpen();
};

void TestX11::pressedHotKeyIsReported()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    X11Hotkeys hotkeys;
    QVERIFY(hotkeys.available());
    QVERIFY(hotkeys.set(2, QStringLiteral("F10"), HotkeyService::kCtrl));
    QVERIFY(hotkeys.set(4, QStringLiteral("Page up"), HotkeyService::kAlt | HotkeyService::kShift));
    QSignalSpy spy(&hotkeys, &HotkeyService::activated);
    key(QStringLiteral("ctrl+F10"));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    key(QStringLiteral("F10")); // without its modifier: not the hotkey
    key(QStringLiteral("alt+shift+Prior"));
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 4);
    QVERIFY(hotkeys.set(2, QString(), 0)); // cleared
    key(QStringLiteral("ctrl+F10"));
    QTest::qWait(300);
    QCOMPARE(spy.count(), 2);
}

void TestX11::keyHeldByAnotherProgramIsRefused()
{
    if (!needsX())
        QSKIP("needs an X server (the test command runs the tests under Xvfb)");
    Display* other = XOpenDisplay(nullptr);
    QVERIFY(other);
    const int code = XKeysymToKeycode(other, XK_F11);
    XGrabKey(other, code, ControlMask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    X11Hotkeys hotkeys;
    QVERIFY(!hotkeys.set(3, QStringLiteral("F11"), HotkeyService::kCtrl));
    XCloseDisplay(other);
    QVERIFY(hotkeys.set(3, QStringLiteral("F11"), HotkeyService::kCtrl));
}

void TestX11::everyHotKeyInTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    // All six hotkeys: Add Bookmark, Hide, Show, Show Search, Import Web
    // Page, Open Lynkor File.
    // A stand-in browser that writes down what it was started with, and no
    // browser link to reach.
    const QString browser = home.filePath("recording-browser");
    const QString record = home.filePath("started-with");
    QVERIFY(TestFiles::write(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(record) + "'\n"));
    QFile(browser).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(
        TestFiles::write(home.filePath("lyk.ini"),
                         settings(dir, "Key0=A\r\nShift0=Ctrl,Alt\r\nD0=On\r\nKey3=S\r\nShift3=Ctrl,Alt\r\nD3=On\r\n"
                                       "Key4=I\r\nShift4=Ctrl,Alt\r\nD4=On\r\nKey5=O\r\nShift5=Ctrl,Alt\r\nD5=On\r\n"
                                       "[Browser]\r\nCount=1\r\nSelected=1\r\n1=" +
                                           QFile::encodeName(browser) + "\r\nDevToolsPort=1\r\n")));
    ScriptedPrompter prompter;
    LynkorApp app({}, dir, &prompter);
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
    key(QStringLiteral("ctrl+alt+h"));
    QTRY_VERIFY(!app.window().isVisible());
    key(QStringLiteral("ctrl+F10"));
    QTRY_VERIFY(app.window().isVisible());
    QVERIFY(prompter.asked.isEmpty());

    auto askedKinds = [&prompter] {
        QStringList kinds;
        for (const auto& q : std::as_const(prompter.asked))
            kinds << q.kind;
        return kinds;
    };
    // Show Search opens the Internet search window.
    bool searched = false;
    prompter.internetSearches.push_back([&searched](InternetSearch& s) {
        searched = true;
        QVERIFY(s.caption.startsWith(QStringLiteral("Internet Search  [ ")));
    });
    key(QStringLiteral("ctrl+alt+s"));
    QTRY_VERIFY(searched);
    // Open Lynkor File asks for the file.
    prompter.answer(ScriptedPrompter::closed());
    key(QStringLiteral("ctrl+alt+o"));
    QTRY_COMPARE(askedKinds().value(1), QStringLiteral("openFile"));
    QCOMPARE(prompter.asked[1].text, QStringLiteral("Select Lynkor File"));
    // Add Bookmark and Import Web Page ask the browser for its page; there is
    // none here, so each says what to do.
    key(QStringLiteral("ctrl+alt+a"));
    QTRY_COMPARE_WITH_TIMEOUT(askedKinds().size(), 3, 10000);
    QCOMPARE(prompter.asked[2].kind, QStringLiteral("message"));
    // Import Web Page with no page shown opens the browser on a blank page
    // to go to one.
    key(QStringLiteral("ctrl+alt+i"));
    auto started = [&record] {
        QFile f(record);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTRY_VERIFY_WITH_TIMEOUT(started().contains("about:blank"), 10000);
}

void TestX11::trayIconAppearsWhereATrayExists()
{
    if (!needsX() || QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        QSKIP("needs an X server and a tray (trayer); the test command provides both");
    QProcess tray;
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right")});
    QVERIFY(tray.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);

    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), settings(dir, "[Location]\r\nTray=Yes\r\n")));
    ScriptedPrompter prompter;
    LynkorApp app({}, dir, &prompter);
    app.start();
    // Started in tray mode: only the tray icon shows.
    QVERIFY(!app.window().isVisible());
    QTRY_VERIFY(app.window().trayIcon()->isVisible());
    // The icon is the one window of this program that shows while the main
    // window is hidden; a click on it brings the window back.
    QString icon;
    QTRY_VERIFY_WITH_TIMEOUT(!(icon = visibleWindowOfThisProgram()).isEmpty(), 10000);
    // The tray embeds the icon a moment after it maps, and a click before
    // that lands nowhere: click again until the window answers.
    for (int attempt = 0; attempt < 20 && !app.window().isVisible(); ++attempt) {
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QStringLiteral("--window"), icon, QStringLiteral("5"),
                           QStringLiteral("5"), QStringLiteral("click"), QStringLiteral("1")});
        (void)QTest::qWaitFor([&] { return app.window().isVisible(); }, 500);
    }
    QTRY_VERIFY(app.window().isVisible());
    QTRY_VERIFY(!app.window().trayIcon()->isVisible());
    tray.kill();
    tray.waitForFinished();
    QVERIFY(prompter.asked.isEmpty());
}

void TestX11::clickOnABookmarkStartsTheBrowser()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    // A stand-in browser that writes down what it was started with.
    const QString browser = home.filePath("recording-browser");
    const QString record = home.filePath("started-with");
    QFile script(browser);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(record) + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile ini(home.filePath("lyk.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[File]\r\nName=" + dir +
              "Disk.LYK\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=" + QFile::encodeName(browser) + "\r\n");
    ini.close();
    QFile lyk(home.filePath("Disk.LYK"));
    QVERIFY(lyk.open(QIODevice::WriteOnly));
    lyk.write("[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n01N=Daily Paper\r\n01U=http://paper.example/today\r\n");
    lyk.close();
    ScriptedPrompter prompter;
    LynkorApp app({}, dir, &prompter);
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
    QWidget* button = app.window().button("B01");
    QVERIFY(button);
    QCOMPARE(button->accessibleName(), QStringLiteral("Daily Paper"));
    const QPoint at = button->mapToGlobal(button->rect().center());
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                       QStringLiteral("click"), QStringLiteral("1")});
    auto started = [&record] {
        QFile f(record);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTRY_COMPARE(started(), QByteArray("http://paper.example/today\n"));
    QCOMPARE(prompter.messages(), QStringList());
}

void TestX11::editAndDragInTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QFile ini(home.filePath("lyk.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[File]\r\nName=" + dir + "Disk.LYK\r\n[WebIcon]\r\nSearch=Off\r\n");
    ini.close();
    QFile lyk(home.filePath("Disk.LYK"));
    QVERIFY(lyk.open(QIODevice::WriteOnly));
    lyk.write("[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n01N=Daily Paper\r\n01U=http://paper.example/\r\n"
              "03N=Weather\r\n03U=http://weather.example/\r\n04N=Sports\r\n04U=http://sports.example/\r\n");
    lyk.close();
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
    auto centre = [&app](const char* name) {
        QWidget* b = app.window().button(QString::fromLatin1(name));
        return b->mapToGlobal(b->rect().center());
    };
    auto xdo = [](const QStringList& args) { QProcess::execute(QStringLiteral("xdotool"), args); };

    // Right-click, change the title in the dialog, save with Enter.
    const QPoint first = centre("B01");
    QProcess::startDetached(QStringLiteral("sh"),
                            {QStringLiteral("-c"), QStringLiteral("sleep 1; xdotool key ctrl+a type 'Morning Paper'; "
                                                                  "xdotool key Return")});
    xdo({QStringLiteral("mousemove"), QString::number(first.x()), QString::number(first.y()), QStringLiteral("click"),
         QStringLiteral("3")});
    QTRY_COMPARE_WITH_TIMEOUT(app.window().button("B01")->text(), QStringLiteral("Morning Paper"), 10000);
    QCOMPARE(app.state().buttons()[0].caption, QByteArray("Morning Paper"));

    // Drag the first bookmark onto the third: it lands there and the rest shift.
    const QPoint third = centre("B03");
    xdo({QStringLiteral("mousemove"), QString::number(first.x()), QString::number(first.y()),
         QStringLiteral("mousedown"), QStringLiteral("1")});
    xdo({QStringLiteral("mousemove"), QString::number(third.x()), QString::number(third.y() - 3)});
    xdo({QStringLiteral("mousemove"), QString::number(third.x()), QString::number(third.y()), QStringLiteral("mouseup"),
         QStringLiteral("1")});
    QTRY_COMPARE(app.window().button("B03")->text(), QStringLiteral("Morning Paper"));
    QCOMPARE(app.window().button("B01")->text(), QString());
    QCOMPARE(app.window().button("B04")->text(), QStringLiteral("Weather"));
    QCOMPARE(app.window().button("B05")->text(), QStringLiteral("Sports"));
}

void TestX11::blankButtonFilledThroughTheExtension()
{
    // Headless Chromium with Lynkor's extension and no DevTools port: a
    // click on a blank button stores the page its tab shows.
    if (!needsX() || QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
        QSKIP("needs an X server, xdotool and Debian's chromium (the test command provides them)");
    QTemporaryDir home;
    QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    LocalHttpServer server;
    server.add("/shown.html", "<html><head><title>Shown by Chromium</title></head><body>x</body></html>");
    server.start();
    const QString socket = home.filePath(QStringLiteral("link/socket"));
    qputenv("LYNKOR_BROWSER_SOCKET", QFile::encodeName(socket));
    auto unset = qScopeGuard([] { qunsetenv("LYNKOR_BROWSER_SOCKET"); });
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"),
                             "[File]\r\nName=" + dir +
                                 "Disk.LYK\r\n[Browser]\r\nCount=1\r\nSelected=1\r\n1=/usr/bin/chromium\r\n"
                                 "DevToolsPort=1\r\n[WebIcon]\r\nSearch=Off\r\n"));
    ScriptedPrompter prompter;
    LynkorApp app({}, dir, &prompter);
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(&app.window()));

    const QString profile = home.filePath(QStringLiteral("profile"));
    QVERIFY(QDir().mkpath(profile + QStringLiteral("/NativeMessagingHosts")));
    QVERIFY(TestFiles::write(profile + QStringLiteral("/NativeMessagingHosts/io.github.lynkor.browser.json"),
                             MessagingHosts::manifest(QStringLiteral(LYNKOR_BROWSER_HOST), false)));
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    chromium.start(QStringLiteral("chromium"),
                   {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                    QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
                    QStringLiteral("--user-data-dir=") + profile,
                    QStringLiteral("--load-extension=%1/chromium").arg(QStringLiteral(LYNKOR_EXTENSION_DIR)),
                    QString::fromLatin1(server.url("/shown.html"))});
    QVERIFY(chromium.waitForStarted());
    auto stop = qScopeGuard([&] {
        chromium.kill();
        chromium.waitForFinished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!app.state().connectedBrowsers().isEmpty(), 30000);
    QVERIFY(app.window()
                .findChild<QAction*>(QStringLiteral("MConnectedBrowsers"))
                ->text()
                .startsWith(QStringLiteral("Connected: ")));

    QWidget* button = app.window().button("B01");
    const QPoint at = button->mapToGlobal(button->rect().center());
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                       QStringLiteral("click"), QStringLiteral("1")});
    const QByteArray page = server.url("/shown.html");
    QTRY_VERIFY_WITH_TIMEOUT(TestFiles::read(home.filePath("Disk.LYK")).contains("01U=" + page), 15000);
    QVERIFY(TestFiles::read(home.filePath("Disk.LYK")).contains("01N=Shown by Chromium"));
    QVERIFY2(prompter.asked.isEmpty(), qPrintable(prompter.messages().join('\n')));
}

void TestX11::pagesAndFilesInTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(
        TestFiles::write(home.filePath("lyk.ini"), "[File]\r\nName=" + dir + "Disk.LYK\r\n[Auto]\r\nBackup=Off\r\n"));
    QVERIFY(TestFiles::write(home.filePath("Disk.LYK"),
                             "[Tabs]\r\nCount=2\r\nTab1=News\r\nTab2=Sport\r\n[News]\r\n01N=Daily Paper\r\n"
                             "01U=http://paper.example/\r\n"));
    QVERIFY(TestFiles::write(home.filePath("Travel.LYK"),
                             "[Tabs]\r\nCount=1\r\nTab1=Trips\r\n[Trips]\r\n01N=Rome\r\n01U=http://rome.example/\r\n"));
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    MainWindow& w = app.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto xdo = [](const QStringList& args) { QProcess::execute(QStringLiteral("xdotool"), args); };
    auto clickAt = [&xdo](const QPoint& p, int button = 1) {
        xdo({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()), QStringLiteral("click"),
             QString::number(button)});
    };
    // Keys typed a moment later, into the dialog the click opens.
    auto later = [](const QString& keys) {
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("sleep 1; ") + keys});
    };
    auto tabCentre = [&w](int index) { return w.tabStrip()->mapToGlobal(w.tabStrip()->tabRect(index).center()); };
    auto tabTexts = [&w] {
        QStringList out;
        for (int i = 0; i < w.tabStrip()->count(); ++i)
            out << w.tabStrip()->tabText(i);
        return out;
    };
    auto fileTabs = [&home] { return TestFiles::read(home.filePath("Disk.LYK")); };

    // The tool bar's Add Page: the name dialog, then the new tab left of the current one.
    auto* add = w.findChild<QToolButton*>(QStringLiteral("AddPageBtn"));
    QVERIFY(add);
    later(QStringLiteral("xdotool key ctrl+a type Travel; xdotool key Return"));
    clickAt(add->mapToGlobal(add->rect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(tabTexts(), (QStringList{"Travel", "News", "Sport"}), 10000);
    QVERIFY(fileTabs().contains("Tab1=Travel\r\nTab2=News\r\nTab3=Sport\r\n"));

    // A right-click on a tab opens the page's options with the bookmark list
    // focused; Tab reaches "Rename Page" (the bookmark actions wait for a
    // selection), Space presses it.
    later(QStringLiteral("xdotool key Tab space; sleep 1; xdotool key ctrl+a type Daily; xdotool key Return"));
    clickAt(tabCentre(1), 3);
    QTRY_COMPARE_WITH_TIMEOUT(tabTexts(), (QStringList{"Travel", "Daily", "Sport"}), 10000);
    QTRY_VERIFY(fileTabs().contains("[Daily]\r\n01N=Daily Paper\r\n"));
    QVERIFY(!fileTabs().contains("[News]"));

    // Drag the current tab onto the last one; the question's first answer is Move.
    later(QStringLiteral("xdotool key Return"));
    const QPoint from = tabCentre(1);
    const QPoint to = tabCentre(2);
    xdo({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()), QStringLiteral("mousedown"),
         QStringLiteral("1")});
    xdo({QStringLiteral("mousemove"), QString::number(to.x() - 5), QString::number(to.y())});
    xdo({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y()), QStringLiteral("mouseup"),
         QStringLiteral("1")});
    QTRY_COMPARE_WITH_TIMEOUT(tabTexts(), (QStringList{"Travel", "Sport", "Daily"}), 10000);
    QVERIFY(fileTabs().contains("Tab1=Travel\r\nTab2=Sport\r\nTab3=Daily\r\n"));

    // File, Open Existing File: the file dialog takes the name; title and board follow.
    QMenu* file = w.fileMenu();
    const QPoint fileTitle = w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(file->menuAction()).center());
    later(QStringLiteral("xdotool key o; sleep 1; xdotool type '") + home.filePath("Travel.LYK") +
          QStringLiteral("'; xdotool key Return"));
    clickAt(fileTitle);
    QTRY_COMPARE_WITH_TIMEOUT(tabTexts(), QStringList{"Trips"}, 15000);
    QCOMPARE(w.button(QStringLiteral("B01"))->text(), QStringLiteral("Rome"));
    QVERIFY(w.windowTitle().contains(QStringLiteral("[ Travel ]")));
    QVERIFY(TestFiles::read(home.filePath("lyk.ini")).contains("Name=" + dir + "Travel.LYK"));
}

// Presses a control through the accessibility interface, as a screen reader does.
static void pressByAccessibility(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Runs `step` once a modal window of that object name is up.
static void whenModal(const QString& name, std::function<void(QWidget*)> step)
{
    auto* timer = new QTimer;
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, [timer, name, step] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName() != name)
            return;
        timer->stop();
        timer->deleteLater();
        step(w);
    });
    timer->start();
}

void TestX11::bookmarkMailedFromTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    LocalSmtpServer server;
    QVERIFY(server.start());
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), "[File]\r\nName=" + dir + "Disk.LYK\r\n"));
    QVERIFY(TestFiles::write(home.filePath("lyk.use"),
                             "[User]\r\nEmail=me@example.org\r\nMailS=" + server.server() + "\r\n"));
    QVERIFY(TestFiles::write(home.filePath("Disk.LYK"), "[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n"
                                                        "01N=Daily Paper\r\n01U=http://paper.example/\r\n"));
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    MainWindow& w = app.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // The bookmark dialog's Email opens the mail dialog with the bookmark's line.
    QString title;
    QString lines;
    QString said;
    whenModal(QStringLiteral("TBConfigForm"), [](QWidget* dialog) {
        pressByAccessibility(dialog->findChild<QPushButton*>(QStringLiteral("EMailBtn")));
    });
    whenModal(QStringLiteral("TEForm"), [&](QWidget* dialog) {
        title = dialog->windowTitle();
        lines = dialog->findChild<QPlainTextEdit*>(QStringLiteral("BookmarkLines"))->toPlainText();
        dialog->findChild<QComboBox*>(QStringLiteral("Edit1"))->setEditText(QStringLiteral("you@example.org"));
        dialog->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->setPlainText(QStringLiteral("Worth a read."));
        // The answer comes in a message box over the dialog.
        auto* timer = new QTimer;
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout, [timer, &said] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer->stop();
            timer->deleteLater();
            said = box->text();
            box->accept();
        });
        timer->start();
        pressByAccessibility(dialog->findChild<QPushButton*>(QStringLiteral("Button1")));
    });
    QWidget* b = w.button(QStringLiteral("B01"));
    const QPoint at = b->mapToGlobal(b->rect().center());
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                       QStringLiteral("click"), QStringLiteral("3")});
    QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), 20000);
    QCOMPARE(title, QStringLiteral(" E-Mail Options - [ LYK ]"));
    QCOMPARE(lines, QStringLiteral("http://paper.example/ > Daily Paper <"));
    QCOMPARE(said, QStringLiteral("The e-mail was sent to you@example.org."));
    // The dialog closed itself and the window takes commands again.
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QTRY_VERIFY(!app.board().busy());
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0]["body"].toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             QStringLiteral("Worth a read.\n \nhttp://paper.example/ > Daily Paper <\n"));
    QCOMPARE(got[0]["links"].toVariant().toList(),
             (QVariantList{QVariantList{QStringLiteral("http://paper.example/"), QStringLiteral("Daily Paper")}}));
    QVERIFY(TestFiles::read(home.filePath("lyk.use")).contains("[Address]\r\nCount=1\r\n1=you@example.org\r\n"));
}

void TestX11::linksCheckedFromTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    LocalHttpServer server;
    server.add("/ok", "fine");
    // A path the server does not serve answers 404.
    server.start();
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), "[File]\r\nName=" + dir + "Disk.LYK\r\n"));
    QVERIFY(TestFiles::write(home.filePath("Disk.LYK"),
                             "[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n01N=Good\r\n01U=" + server.url("/ok") +
                                 "\r\n02N=Gone\r\n02U=" + server.url("/missing") + "\r\n"));
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    MainWindow& w = app.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.action(QStringLiteral("MCheckLinks"))->trigger();
    LinkCheckerWindow* checker = w.linkCheckerWindow();
    QVERIFY(checker);
    QVERIFY(QTest::qWaitForWindowExposed(checker));
    // "Check Links", then the chooser's "Verify" for the page shown.
    QString chooserTitle;
    whenModal(QStringLiteral("TAlphaForm"), [&chooserTitle](QWidget* dialog) {
        chooserTitle = dialog->windowTitle();
        pressByAccessibility(dialog->findChild<QPushButton*>(QStringLiteral("AlphaBtn")));
    });
    pressByAccessibility(checker->findChild<QPushButton*>(QStringLiteral("SearchButton")));
    QTreeWidget* bad = checker->badList();
    QTRY_VERIFY_WITH_TIMEOUT(bad->topLevelItemCount() > 0 &&
                                 bad->topLevelItem(bad->topLevelItemCount() - 1)->text(0) == QLatin1String("Completed"),
                             20000);
    QCOMPARE(chooserTitle, QStringLiteral("Verify the News Page"));
    QCOMPARE(bad->topLevelItemCount(), 2);
    QCOMPARE(bad->topLevelItem(0)->text(1), QStringLiteral("Gone"));
    QCOMPARE(bad->topLevelItem(0)->text(4), QStringLiteral("HTTP/1.1 404 Not Found"));
    QCOMPARE(checker->findChild<QLabel*>(QStringLiteral("TCountL"))->text(), QStringLiteral("2 of 2"));
    QCOMPARE(checker->findChild<QLabel*>(QStringLiteral("BCountL"))->text(), QStringLiteral("1"));
    // The run has ended: the caption names no link any more, now or when opened again.
    QCOMPARE(checker->windowTitle(), QStringLiteral("Click on \"Check Links\""));
    checker->close();
    QTRY_VERIFY(!checker->isVisible());
    w.action(QStringLiteral("MCheckLinks"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(checker));
    QCOMPARE(checker->windowTitle(), QStringLiteral("Click on \"Check Links\""));
    checker->close();
}

void TestX11::searchTypedInTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), settings(dir, {})));
    QVERIFY(TestFiles::write(home.filePath("Disk.LYK"),
                             "[Tabs]\r\nCount=2\r\nTab1=News\r\nTab2=Tools\r\n"
                             "[News]\r\n01N=Daily News\r\n01U=http://news.example/\r\n02N=Weather\r\n"
                             "02U=http://weather.example/\r\n[Tools]\r\n05N=News Search\r\n"
                             "05U=http://search.example/\r\n"));
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    MainWindow& w = app.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    pressByAccessibility(w.findChild<QToolButton*>(QStringLiteral("SearchLynkorButton")));
    SearchWindow* search = w.searchWindow();
    QVERIFY(search);
    QVERIFY(QTest::qWaitForWindowExposed(search));
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(search->winId())});
    QTRY_VERIFY(search->searchText()->hasFocus());
    // Each key typed searches: "e" finds three titles, "ews" two.
    key(QStringLiteral("e"));
    QTreeView* list = search->resultList();
    QTRY_VERIFY(list->isVisible() && list->model()->rowCount() == 3);
    key(QStringLiteral("w"));
    key(QStringLiteral("s"));
    QTRY_COMPARE(list->model()->rowCount(), 2);
    QCOMPARE(search->searchText()->text(), QStringLiteral("ews"));
    QCOMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("Daily News"));
    QCOMPARE(list->model()->index(1, 2).data().toString(), QStringLiteral("Tools"));
    // A click on a row offers the choice; Ignore leaves everything as it was.
    QString title;
    QStringList offered;
    whenModal(QStringLiteral("Dlg1"), [&](QWidget* dialog) {
        title = dialog->windowTitle();
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            offered << b->text();
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == QLatin1String("Ignore"))
                pressByAccessibility(b);
    });
    const QRect row = list->visualRect(list->model()->index(1, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTRY_COMPARE(title, QStringLiteral("Launch, Delete or Edit bookmark"));
    QCOMPARE(offered, (QStringList{"Launch", "Delete", "Edit", "Ignore"}));
    QCOMPARE(list->model()->rowCount(), 2);
    search->close();
    QVERIFY(search->searchText()->text().isEmpty());

    // The page navigator from the tool bar: Enter on a row goes to its page.
    whenModal(QStringLiteral("TNavPage"), [](QWidget* dialog) {
        auto* pages = dialog->findChild<QTreeWidget*>(QStringLiteral("PageListView"));
        pages->setFocus();
        pages->setCurrentItem(pages->topLevelItem(1));
        QTest::keyClick(pages, Qt::Key_Return);
    });
    pressByAccessibility(w.findChild<QToolButton*>(QStringLiteral("GoPageBtn")));
    QTRY_COMPARE(app.board().state().currentPage(), QByteArray("Tools"));
}

void TestX11::thousandsOfPagesInTheRealWindow()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QByteArray lyk = "[Tabs]\r\nCount=12000\r\n";
    for (int p = 1; p <= 12000; ++p)
        lyk += "Tab" + QByteArray::number(p) + "=Page " + QByteArray::number(p) + "\r\n";
    lyk += "[Page 2]\r\n01N=Second\r\n01U=http://second.example/\r\n";
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), settings(dir, {})));
    QVERIFY(TestFiles::write(home.filePath("Disk.LYK"), lyk));
    QElapsedTimer shown;
    shown.start();
    LynkorApp app({}, dir, nullptr);
    app.start();
    MainWindow& w = app.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    qInfo("12,000 pages: window shown after %lld ms", shown.elapsed());
    const BoardState& state = app.board().state();
    QCOMPARE(state.tabs().size(), size_t(12000));
    TabStrip* tabs = w.tabStrip();
    // A click on a tab, then the keyboard.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTRY_COMPARE(state.currentPage(), QByteArray("Page 2"));
    QCOMPARE(w.button(QStringLiteral("B01"))->text(), QStringLiteral("Second"));
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(w.winId())});
    QTRY_VERIFY(w.keys()->hasFocus());
    key(QStringLiteral("Right"));
    QTRY_COMPARE(state.currentPage(), QByteArray("Page 3"));
    QCOMPARE(tabs->currentIndex(), 2);
    // The last page, past the first 10,000: the strip shows its block of
    // pages, and its tabs work.
    key(QStringLiteral("End"));
    QTRY_COMPARE(state.currentPage(), QByteArray("Page 12000"));
    QCOMPARE(tabs->firstPage(), 11900);
    QCOMPARE(tabs->tabText(tabs->count() - 1), QStringLiteral("Page 12000"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QTRY_COMPARE(state.currentPage(), QByteArray("Page 11901"));
}

void TestX11::helpTakesKeysWhileADialogWaits()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), settings(dir, {})));
    LynkorApp app({}, dir, nullptr); // the real dialogs
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
    QString typed;
    QTimer::singleShot(500, [&] {
        // A dialog waits for its answer; the help is opened beside it and typed into.
        QWidget* dialog = QApplication::activeModalWidget();
        app.board().ui().showHelpSearch();
        QWidget* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("HelpWindow") && w->isVisible())
                help = w;
        if (help) {
            (void)QTest::qWaitForWindowExposed(help);
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                                          QString::number(help->winId())});
            key(QStringLiteral("c"));
            key(QStringLiteral("o"));
            QTest::qWait(300);
            if (auto* search = help->findChild<QLineEdit*>())
                typed = search->text();
        }
        if (dialog)
            dialog->close();
    });
    app.board().ui().choice(
        {QStringLiteral("Waiting"), {QStringLiteral("OK")}, {QStringLiteral("A question")}, std::nullopt});
    QCOMPARE(typed, QStringLiteral("co"));
}

void TestX11::exitEndsTheProgramWithHelpOpen()
{
    if (!needsX())
        QSKIP("needs an X server and xdotool (the test command runs the tests under Xvfb)");
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    QVERIFY(TestFiles::write(home.filePath("lyk.ini"), settings(dir, {})));
    QProcess lynkor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LYNKOR_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    lynkor.setProcessEnvironment(env);
    lynkor.start(QStringLiteral(LYNKOR_BINARY), {});
    QVERIFY(lynkor.waitForStarted());
    auto windowOf = [&lynkor](const QString& title) {
        QProcess p;
        p.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(lynkor.processId()), QStringLiteral("--name"), title});
        p.waitForFinished();
        return QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
    };
    QString main;
    QTRY_VERIFY_WITH_TIMEOUT(!(main = windowOf(QStringLiteral("Lynkor  \\["))).isEmpty(), 15000);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), main});
    key(QStringLiteral("F1"));
    QTRY_VERIFY_WITH_TIMEOUT(!windowOf(QStringLiteral("Lynkor Help")).isEmpty(), 10000);
    // File, Exit from the keyboard; a loaded machine (a sanitizer build) may
    // open the menu after the x was typed, so it is tried again.
    for (int attempt = 0; attempt < 5 && lynkor.state() != QProcess::NotRunning; ++attempt) {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), main});
        key(QStringLiteral("alt+f"));
        QTest::qWait(300 * (attempt + 1));
        key(QStringLiteral("x"));
        lynkor.waitForFinished(3000);
    }
    QCOMPARE(lynkor.state(), QProcess::NotRunning);
    QCOMPARE(lynkor.exitStatus(), QProcess::NormalExit);
}

int main(int argc, char** argv)
{
    const bool hasDisplay = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!hasDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestX11 test;
    test.hasDisplay = hasDisplay;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11.moc"
