#include "EchoProbe.h"

#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QtTest>

// One echo to a host, for real on the loopback interface.
class TestEchoProbe : public QObject
{
    Q_OBJECT

    static bool hasIPv6Loopback()
    {
        const QList<QHostAddress> all = QNetworkInterface::allAddresses();
        return all.contains(QHostAddress(QHostAddress::LocalHostIPv6));
    }

private slots:
    void icmpEchoAnswers_data();
    void icmpEchoAnswers();
    void tcpConnectMeasures();
    void cancelledEchoEndsAtOnce();
};

void TestEchoProbe::icmpEchoAnswers_data()
{
    QTest::addColumn<QHostAddress>("address");
    QTest::newRow("IPv4") << QHostAddress(QHostAddress::LocalHost);
    QTest::newRow("IPv6") << QHostAddress(QHostAddress::LocalHostIPv6);
}

void TestEchoProbe::icmpEchoAnswers()
{
    QFETCH(QHostAddress, address);
    if (address.protocol() == QAbstractSocket::IPv6Protocol && !hasIPv6Loopback())
        QSKIP("this machine has no IPv6 loopback address");
    const EchoProbe::Result r = EchoProbe::icmpEcho(address, {}, nullptr);
    if (r.measure == EchoProbe::Measure::None)
        QSKIP(qPrintable(QStringLiteral("neither ICMP socket may be opened here: ") + r.error));
    QVERIFY2(r.replied, qPrintable(r.error));
    QVERIFY(r.ms > 0 && r.ms < 1000);
    qInfo() << (r.measure == EchoProbe::Measure::IcmpRaw ? "raw socket" : "datagram socket") << r.ms << "ms";
    // Whichever socket worked, the full echo (the fallback chain) uses it too.
    const EchoProbe::Result again = EchoProbe::echo(address);
    QVERIFY(again.replied);
    QCOMPARE(again.measure, r.measure);
}

void TestEchoProbe::tcpConnectMeasures()
{
    QTcpServer listening;
    QVERIFY(listening.listen(QHostAddress::LocalHost));
    EchoProbe::Result r =
        EchoProbe::tcpConnect(QHostAddress(QHostAddress::LocalHost), listening.serverPort(), 4000, nullptr);
    QVERIFY2(r.replied, qPrintable(r.error));
    QCOMPARE(r.measure, EchoProbe::Measure::TcpConnect);
    QCOMPARE(r.port, int(listening.serverPort()));
    QVERIFY(r.ms > 0 && r.ms < 1000);
    // A port nobody listens on answers with a refusal: no time is measured.
    const int closed = listening.serverPort();
    listening.close();
    r = EchoProbe::tcpConnect(QHostAddress(QHostAddress::LocalHost), closed, 4000, nullptr);
    QVERIFY(!r.replied);
    QVERIFY(!r.error.isEmpty());
}

void TestEchoProbe::cancelledEchoEndsAtOnce()
{
    const std::atomic<bool> cancel{true};
    QElapsedTimer clock;
    clock.start();
    const EchoProbe::Result r = EchoProbe::echo(QHostAddress(QHostAddress::LocalHost), {}, &cancel);
    QVERIFY(!r.replied);
    QVERIFY(clock.elapsed() < 1000);
}

QTEST_GUILESS_MAIN(TestEchoProbe)
#include "tst_echoprobe.moc"
