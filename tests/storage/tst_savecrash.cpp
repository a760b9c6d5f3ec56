#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// Killing the process at any moment of a save leaves the old file or the new
// one, never a mixture or a truncated file.
class TestSaveCrash : public QObject
{
    Q_OBJECT
private slots:
    void killDuringSavesNeverTearsTheFile();
};

void TestSaveCrash::killDuringSavesNeverTearsTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("crash.LYK");
    const QByteArray a = "\r\n[Data]\r\nFill=" + QByteArray(400000, 'a') + "\r\n";
    const QByteArray b = "\r\n[Data]\r\nFill=" + QByteArray(400000, 'b') + "\r\n";
    for (int round = 0; round < 25; ++round) {
        QProcess p;
        p.start(QStringLiteral(SAVE_LOOP), {path});
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForReadyRead(10000));
        QTest::qWait(QRandomGenerator::global()->bounded(5, 60));
        p.kill();
        p.waitForFinished();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QVERIFY2(content == a || content == b,
                 qPrintable(QStringLiteral("torn file of %1 bytes in round %2").arg(content.size()).arg(round)));
    }
}

QTEST_GUILESS_MAIN(TestSaveCrash)
#include "tst_savecrash.moc"
