#include "Board.h"
#include "BoardState.h"
#include "LynkorApp.h"
#include "MainWindow.h"
#include "PathNames.h"
#include "ProgramFiles.h"
#include "ScriptedPrompter.h"
#include "SingleInstance.h"
#include "StartOptions.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

// The real program and its wiring.
class TestApp : public QObject
{
    Q_OBJECT

    static QProcessEnvironment environment(const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LYNKOR_HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

private slots:
    void realProgramRunsOnceAndClosesOnTermination();
    void secondStartHandsItsFileToTheRunningInstance();
    void windowKeepsItsPlace_data();
    void windowKeepsItsPlace();
    void terminationDuringAStartUpErrorEndsTheProgram();
    void startOptions_data();
    void startOptions();
    void browserLinkThatIsOffSaysWhy();
};

void TestApp::realProgramRunsOnceAndClosesOnTermination()
{
    QTemporaryDir home;
    {
        QFile ini(home.filePath("lyk.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[File]\r\nName=" + QFile::encodeName(home.filePath("Disk.LYK")) + "\r\n[Window]\r\nState=Min\r\n");
    }
    QProcess first;
    first.setProcessEnvironment(environment(home.path()));
    first.start(QStringLiteral(LYNKOR_BINARY), {});
    QVERIFY(first.waitForStarted());
    // Start-up shows the first page, which saves the bookmark file.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath("Disk.LYK")), 15000);

    // A second start hands its file to the running one, which opens it.
    {
        QFile trips(home.filePath("Trips.LYK"));
        QVERIFY(trips.open(QIODevice::WriteOnly));
        trips.write("[Tabs]\r\nCount=1\r\nTab1=Rome\r\n[Rome]\r\n01N=Forum\r\n01U=http://forum.example/\r\n");
    }
    QProcess second;
    second.setProcessEnvironment(environment(home.path()));
    second.start(QStringLiteral(LYNKOR_BINARY), {QStringLiteral("Trips.LYK")});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    const QByteArray opened = "Name=" + QFile::encodeName(home.filePath("Trips.LYK")) + "\r\n";
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile ini(home.filePath("lyk.ini"));
            return ini.open(QIODevice::ReadOnly) && ini.readAll().contains(opened);
        }(),
        15000);

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QFile ini(home.filePath("lyk.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("State=Norm\r\n"), text.constData()); // written by the close
    QVERIFY(text.contains("Width="));
}

void TestApp::secondStartHandsItsFileToTheRunningInstance()
{
    QTemporaryDir home;
    const QByteArray dir = PathNames::fromQt(home.path()) + '/';
    ScriptedPrompter prompter;
    LynkorApp app({}, dir, &prompter);
    QVERIFY(app.claimInstance());
    app.start();
    QCOMPARE(app.state().tabs().size(), size_t(10));
    SingleInstance second(SingleInstance::keyFor(dir));
    QVERIFY(!second.start({}));
    QTRY_COMPARE(prompter.messages(), QStringList{"Program Already Running!"});
    // A start with a file: the running one opens it, as File -> Open would.
    QFile trips(QFile::decodeName(dir + "Trips.LYK"));
    QVERIFY(trips.open(QIODevice::WriteOnly));
    trips.write("[Tabs]\r\nCount=1\r\nTab1=Rome\r\n[Rome]\r\n01N=Forum\r\n01U=http://forum.example/\r\n");
    trips.close();
    SingleInstance third(SingleInstance::keyFor(dir));
    QVERIFY(!third.start({QStringLiteral("Trips.LYK")}));
    QTRY_COMPARE(app.board().files().BookmarkFileName(), dir + "Trips.LYK");
    QCOMPARE(app.state().currentPage(), QByteArray("Rome"));
    QCOMPARE(app.state().buttons()[0].caption, QByteArray("Forum"));
    QCOMPARE(prompter.messages().size(), 1);
}

void TestApp::windowKeepsItsPlace_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("location");
    QTest::newRow("stored place") << QByteArray("[Location]\r\nTop=300\r\nLeft=200\r\nWidth=700\r\n")
                                  << QByteArray("Top=300\r\nLeft=200\r\nWidth=700\r\n");
    QTest::newRow("first run") << QByteArray() << QByteArray("Top=50\r\nLeft=100\r\nWidth=620\r\n");
}

void TestApp::windowKeepsItsPlace()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, location);
    QTemporaryDir home;
    if (!settings.isEmpty()) {
        QFile ini(home.filePath("lyk.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[File]\r\nName=" + QFile::encodeName(home.filePath("Disk.LYK")) + "\r\n" + settings);
    }
    QProcess lynkor;
    lynkor.setProcessEnvironment(environment(home.path()));
    lynkor.start(QStringLiteral(LYNKOR_BINARY), {});
    QVERIFY(lynkor.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath("Disk.LYK")), 15000);
    QTest::qWait(300);
    ::kill(static_cast<pid_t>(lynkor.processId()), SIGTERM);
    QVERIFY(lynkor.waitForFinished(10000));
    QFile ini(home.filePath("lyk.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains(location), text.constData());
    // Closing writes the page-password list too, even of a new file.
    QFile lyk(home.filePath("Disk.LYK"));
    QVERIFY(lyk.open(QIODevice::ReadOnly));
    QVERIFY(lyk.readAll().contains("[Tabs]\r\nP_\xDF_\xB6_=\r\n"));
}

void TestApp::terminationDuringAStartUpErrorEndsTheProgram()
{
    // The first page cannot be shown: start-up says so in a box. A SIGTERM
    // while the box waits ends the program.
    QTemporaryDir home;
    QFile lyk(home.filePath("Disk.LYK"));
    QVERIFY(lyk.open(QIODevice::WriteOnly));
    lyk.write("[Tabs]\r\nCount=1\r\nTab1=P\r\n[P]\r\n01N=x\r\n01U=y\r\n01G=bad\r\n");
    lyk.close();
    QFile ini(home.filePath("lyk.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[File]\r\nName=" + QFile::encodeName(home.filePath("Disk.LYK")) + "\r\n");
    ini.close();
    QProcess lynkor;
    lynkor.setProcessEnvironment(environment(home.path()));
    lynkor.start(QStringLiteral(LYNKOR_BINARY), {});
    QVERIFY(lynkor.waitForStarted());
    QTest::qWait(1500); // the box is up
    QCOMPARE(lynkor.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(lynkor.processId()), SIGTERM);
    QVERIFY(lynkor.waitForFinished(10000));
    QCOMPARE(lynkor.exitStatus(), QProcess::NormalExit);
}

void TestApp::startOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("refused");
    using A = StartOptions::Action;
    QTest::newRow("nothing") << QStringList{} << int(A::Run) << QString();
    QTest::newRow("files") << QStringList{"a.LYK", "/home/x/b.LYK"} << int(A::Run) << QString();
    QTest::newRow("stem") << QStringList{"work"} << int(A::Run) << QString();
    QTest::newRow("first run") << QStringList{"/_/opt/lynkor"} << int(A::Run) << QString();
    QTest::newRow("--help") << QStringList{"a.LYK", "--help"} << int(A::Help) << QString();
    QTest::newRow("-h") << QStringList{"-h"} << int(A::Help) << QString();
    QTest::newRow("--version") << QStringList{"--version"} << int(A::Version) << QString();
    QTest::newRow("-v") << QStringList{"-v"} << int(A::Version) << QString();
    QTest::newRow("Qt's options with values")
        << QStringList{"-platform", "offscreen", "-style=fusion", "--reverse", "a.LYK"} << int(A::Run) << QString();
    QTest::newRow("a Qt option's value is no option") << QStringList{"-title", "-v"} << int(A::Run) << QString();
    QTest::newRow("unknown") << QStringList{"a.LYK", "--frobnicate"} << int(A::Refuse) << "--frobnicate";
    QTest::newRow("unknown short") << QStringList{"-x"} << int(A::Refuse) << "-x";
    QTest::newRow("after --, names") << QStringList{"--", "--help", "-x.LYK"} << int(A::Run) << QString();
}

void TestApp::startOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, refused);
    const StartOptions o = StartOptions::parse(arguments);
    QCOMPARE(int(o.action), action);
    QCOMPARE(o.refused, refused);
}

void TestApp::browserLinkThatIsOffSaysWhy()
{
    // The socket's folder is open to others (as when another user made it
    // first): the browsers cannot connect, and the Browsers menu says why.
    QTemporaryDir home;
    const QString open = home.filePath(QStringLiteral("open"));
    QVERIFY(QDir().mkpath(open));
    QVERIFY(QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther));
    qputenv("LYNKOR_BROWSER_SOCKET", QFile::encodeName(open + QStringLiteral("/socket")));
    auto unset = qScopeGuard([] { qunsetenv("LYNKOR_BROWSER_SOCKET"); });
    ScriptedPrompter prompter;
    LynkorApp app({}, PathNames::fromQt(home.path()) + '/', &prompter);
    app.start();
    const QAction* item = app.window().findChild<QAction*>(QStringLiteral("MConnectedBrowsers"));
    QVERIFY(item);
    QVERIFY2(item->text().startsWith(QStringLiteral("Browser link off: ")), qPrintable(item->text()));
    QVERIFY2(item->text().contains(QStringLiteral("others may enter it (mode 0705)")), qPrintable(item->text()));
    QVERIFY(item->isVisible());
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
