#include "SingleInstance.h"

#include <QLocalServer>
#include <QSignalSpy>
#include <QUuid>
#include <QtTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void secondStartHandsOverItsArguments();
    void staleSocketIsReplaced();
    void keyDependsOnTheDataFolder();
};

void TestSingleInstance::secondStartHandsOverItsArguments()
{
    const QString key = QStringLiteral("lynkor-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(key);
    QVERIFY(first.start({}));
    QSignalSpy spy(&first, &SingleInstance::anotherInstanceStarted);
    SingleInstance second(key);
    QVERIFY(!second.start({QStringLiteral("other.LYK"), QStringLiteral("\u00E4.LYK")}));
    QVERIFY(spy.wait(3000));
    QCOMPARE(spy.front().front().toStringList(),
             (QStringList{QStringLiteral("other.LYK"), QStringLiteral("\u00E4.LYK")}));
}

void TestSingleInstance::staleSocketIsReplaced()
{
    const QString key = QStringLiteral("lynkor-test-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        // A server that goes away without removing its socket file.
        QLocalServer stale;
        stale.setSocketOptions(QLocalServer::UserAccessOption);
        QVERIFY(stale.listen(key));
        const QString file = stale.fullServerName();
        stale.close();
        QFile marker(file);
        if (!marker.exists()) {
            QVERIFY(marker.open(QIODevice::WriteOnly)); // leave a dead file behind
            marker.close();
        }
    }
    SingleInstance instance(key);
    QVERIFY(instance.start({}));
    SingleInstance second(key);
    QVERIFY(!second.start({}));
}

void TestSingleInstance::keyDependsOnTheDataFolder()
{
    QCOMPARE(SingleInstance::keyFor("/a/"), SingleInstance::keyFor("/a/"));
    QVERIFY(SingleInstance::keyFor("/a/") != SingleInstance::keyFor("/b/"));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
