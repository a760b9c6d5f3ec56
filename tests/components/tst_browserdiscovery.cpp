#include "BrowserDiscovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString makeProgram(const QString& dir, const QString& name)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class TestBrowserDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void defaultBrowserFirstThenPath();
    void nothingKnown();
    void execProgram_data();
    void execProgram();
};

void TestBrowserDiscovery::defaultBrowserFirstThenPath()
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.path() + "/bin");
    QDir().mkpath(tmp.path() + "/apps");
    const QString firefox = makeProgram(tmp.path() + "/bin", "firefox");
    const QString chromium = makeProgram(tmp.path() + "/bin", "chromium");
    QFile::link(chromium, tmp.path() + "/bin/chromium-browser"); // the same program twice
    makeProgram(tmp.path() + "/bin", "notabrowser");
    QFile desktop(tmp.path() + "/apps/chromium.desktop");
    QVERIFY(desktop.open(QIODevice::WriteOnly));
    desktop.write("[Desktop Entry]\nName=Chromium\nExec=chromium %U\n[Desktop Action new]\nExec=other\n");
    desktop.close();

    BrowserDiscovery d;
    d.defaultBrowserId = [] { return QByteArray("chromium.desktop"); };
    d.applicationDirs = {tmp.path() + "/none", tmp.path() + "/apps"};
    d.pathDirs = {tmp.path() + "/bin"};
    const std::vector<QByteArray> found = d.find();
    QCOMPARE(QByteArrayList(found.begin(), found.end()),
             (QByteArrayList{QFile::encodeName(chromium), QFile::encodeName(firefox)}));
}

void TestBrowserDiscovery::nothingKnown()
{
    QTemporaryDir tmp;
    BrowserDiscovery d;
    d.defaultBrowserId = [] { return QByteArray(); };
    d.applicationDirs = {};
    d.pathDirs = {tmp.path()};
    QVERIFY(d.find().empty());
}

void TestBrowserDiscovery::execProgram_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << QByteArray("[Desktop Entry]\nExec=firefox-esr %u\n") << QStringLiteral("firefox-esr");
    QTest::newRow("quoted path") << QByteArray("[Desktop Entry]\nExec=\"/opt/my browser/run\" %U\n")
                                 << QStringLiteral("/opt/my browser/run");
    QTest::newRow("other group ignored") << QByteArray("[Desktop Action x]\nExec=a\n[Desktop Entry]\nExec=b\n")
                                         << QStringLiteral("b");
    QTest::newRow("no exec") << QByteArray("[Desktop Entry]\nName=x\n") << QString();
}

void TestBrowserDiscovery::execProgram()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, program);
    QTemporaryDir tmp;
    QFile f(tmp.filePath("x.desktop"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    QCOMPARE(BrowserDiscovery::execProgram(QFile::encodeName(f.fileName())), program);
}

QTEST_GUILESS_MAIN(TestBrowserDiscovery)
#include "tst_browserdiscovery.moc"
