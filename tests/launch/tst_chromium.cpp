#include "DevToolsConversation.h"
#include "LaunchFakes.h"
#include "LocalHttpServer.h"
#include "Launcher.h"
#include "BoardFixture.h"
#include "PathNames.h"
#include "ScriptedPrompter.h"
#include "WwwDde.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

// The browser link against Debian's Chromium, headless, on pages served from
// 127.0.0.1.
class TestChromium : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    LocalHttpServer m_server;
    QString m_browser;
    QString m_profile;
    int m_port = 0;
    std::unique_ptr<DevToolsConversation> m_conversation;

    static int freePort()
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        return s.serverPort();
    }
    // Polls the browser until its page has the wanted title.
    bool pageShows(TWwwDde& dde, const QByteArray& title, QByteArray* url = nullptr)
    {
        QByteArray t, u;
        for (int i = 0; i < 100; ++i) {
            if (dde.GetWindowInfo(t, u) && t == title) {
                if (url)
                    *url = u;
                return true;
            }
            QTest::qWait(100);
        }
        qWarning() << "last seen" << t << u;
        return false;
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowInfoAndOpenUrl();
    void blankButtonTakesTheShownPage();
};

void TestChromium::initTestCase()
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("Debian's chromium is not installed (the test command installs it)");
    m_server.add("/a.html", "<html><head><title>Page A</title></head><body>A</body></html>");
    m_server.add("/b.html", "<html><head><title>Page B</title></head><body>B</body></html>");
    m_server.start();
    // The stand-in for the user's browser: Chromium without a screen.
    m_browser = m_dir.filePath(QStringLiteral("chromium-headless"));
    QFile script(m_browser);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec " + QFile::encodeName(chromium) +
                 " --headless=new --disable-gpu --disable-dev-shm-usage --disable-background-networking"
                 " --disable-component-update --disable-sync \"$@\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_profile = m_dir.filePath(QStringLiteral("profile"));
    m_port = freePort();
    m_conversation = std::make_unique<DevToolsConversation>(m_port, m_profile);
}

void TestChromium::cleanupTestCase()
{
    if (!m_profile.isEmpty())
        QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), m_profile});
}

void TestChromium::windowInfoAndOpenUrl()
{
    ScriptedPrompter ui;
    TWwwDde dde(*m_conversation, ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    // Nothing answers yet: the link starts the browser with its DevTools port.
    QVERIFY(dde.ActivateBrowser());
    QVERIFY(dde.OpenURL(m_server.url("/a.html")));
    QByteArray url;
    QVERIFY(pageShows(dde, "Page A", &url));
    QCOMPARE(url, m_server.url("/a.html"));
    QVERIFY(dde.OpenURL(m_server.url("/b.html")));
    QVERIFY(pageShows(dde, "Page B", &url));
    QCOMPARE(url, m_server.url("/b.html"));
    QVERIFY(ui.messages().isEmpty());
}

void TestChromium::blankButtonTakesTheShownPage()
{
    BoardFixture f;
    RecordingStarter starter;
    Launcher launcher(*f.board, *m_conversation, starter);
    f.board->setLauncher(&launcher);
    f.start();
    f.board->vars().BrowserPath = QFile::encodeName(m_browser);
    TWwwDde dde(*m_conversation, f.ui);
    dde.ServiceApplication = QFile::encodeName(m_browser);
    QVERIFY(dde.OpenURL(m_server.url("/a.html")));
    QVERIFY(pageShows(dde, "Page A"));
    f.board->ButtonClick("B05");
    QCOMPARE(f.key("Disk.LYK", "Page1", "05U"), m_server.url("/a.html"));
    QCOMPARE(f.key("Disk.LYK", "Page1", "05N"), QByteArray("Page A"));
    QCOMPARE(f.state.buttons()[4].caption, QByteArray("Page A"));
    QVERIFY(starter.starts.isEmpty());
}

QTEST_GUILESS_MAIN(TestChromium)
#include "tst_chromium.moc"
