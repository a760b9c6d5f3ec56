#include "AccessSpeed.h"
#include "BoardFixture.h"
#include "NameLookup.h"
#include "SystemEcho.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QtTest>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Stand-in echoes: a time per address, a dropped address that waits out
// the time-out (or a cancel), and a record of what was asked.
class StandInEcho : public EchoService
{
public:
    QHash<QString, double> times;
    QHash<QString, int> tcpPorts; // measured as a connection to this port
    QHash<QString, int> delays;   // ms before the answer
    bool dropEverything = false;
    bool ignoreCancel = false;   // a service that only answers when it is done
    EchoService* real = nullptr; // when set, addresses without a time go there

    EchoProbe::Result echo(const QHostAddress& address, const EchoProbe::Options& options,
                           const std::atomic<bool>* cancel) override
    {
        {
            QMutexLocker lock(&m_mutex);
            m_asked << address.toString();
        }
        const QString a = address.toString();
        EchoProbe::Result r;
        r.measure = EchoProbe::Measure::IcmpDatagram;
        if (delays.contains(a))
            wait(delays.value(a), ignoreCancel ? nullptr : cancel);
        if (times.contains(a)) {
            r.replied = true;
            r.ms = times.value(a);
            if (tcpPorts.contains(a)) {
                r.measure = EchoProbe::Measure::TcpConnect;
                r.port = tcpPorts.value(a);
            }
            return r;
        }
        if (real && !dropEverything)
            return real->echo(address, options, cancel);
        wait(options.timeoutMs, cancel);
        return r;
    }
    static void wait(int ms, const std::atomic<bool>* cancel)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms && !(cancel && cancel->load()))
            QThread::msleep(5);
    }
    QStringList asked()
    {
        QMutexLocker lock(&m_mutex);
        return m_asked;
    }

private:
    QMutex m_mutex;
    QStringList m_asked;
};

// Whether this process could get a network of its own (root, a kernel
// that allows it): then loopback is its only network, and echoes can be
// dropped there without touching the machine's.
bool isolateNetwork()
{
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNET) != 0)
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request = {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP | IFF_RUNNING;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0)
        ::close(fd);
    return up;
}

bool ignoreEchoes(bool ignore)
{
    QFile f(QStringLiteral("/proc/sys/net/ipv4/icmp_echo_ignore_all"));
    return f.open(QIODevice::WriteOnly) && f.write(ignore ? "1" : "0") == 1;
}

} // namespace

class TestPing : public QObject
{
    Q_OBJECT

    bool m_isolated = false;
    std::unique_ptr<BoardFixture> f;
    NameLookup lookup;
    SystemEcho system;

    static QList<QByteArray> buttonsFor(int n)
    {
        QList<QByteArray> out;
        for (int i = 1; i <= n; ++i)
            out << "B" + QByteArray::number(i).rightJustified(2, '0');
        return out;
    }
    // The form measured to the end.
    std::unique_ptr<PingForm> measure(EchoService& echoes, const QList<QByteArray>& hosts, int timeoutMs = 4000)
    {
        auto form = std::make_unique<PingForm>(*f->board, echoes, lookup);
        form->hosts = hosts;
        form->buttons = buttonsFor(int(hosts.size()));
        form->options.timeoutMs = timeoutMs;
        form->FormActivate();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(form->done(), timeoutMs + 10000); }();
        return form;
    }

private slots:
    void initTestCase();
    void init();
    void hostRule_data();
    void hostRule();
    void loopbackSitesAnswer();
    void portsAndIpv6Addresses();
    void droppedEchoesAreUnverified();
    void barsAreRelativeToTheSlowest();
    void allSitesAtOnceAndCloseStopsThem();
    void aFullPageAtOnce();
    void resultsInHostOrderWhateverTheirArrival();
    void lateAnswersAfterCloseAreDropped();
    void clickedBarChoosesItsBookmark();
};

void TestPing::initTestCase()
{
    m_isolated = isolateNetwork();
    if (!m_isolated)
        qInfo("no network of its own: real echoes go to this machine's loopback only");
}

void TestPing::init()
{
    f = std::make_unique<BoardFixture>();
    f->start();
}

void TestPing::hostRule_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("host");
    QTest::newRow("scheme, www, path") << QByteArray("http://www.site.example/a/b") << QByteArray("site.example");
    QTest::newRow("scheme and path") << QByteArray("https://news.example/today") << QByteArray("news.example");
    QTest::newRow("no scheme") << QByteArray("site.example/x") << QByteArray("site.example");
    QTest::newRow("www without scheme") << QByteArray("www.site.example/") << QByteArray("site.example");
    QTest::newRow("port stays") << QByteArray("http://127.0.0.1:8080/") << QByteArray("127.0.0.1:8080");
    QTest::newRow("no slash after the host") << QByteArray("http://site.example") << QByteArray();
    QTest::newRow("a program") << QByteArray("/usr/bin/editor") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestPing::hostRule()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, host);
    QCOMPARE(SiteSpeed::HostOf(url), host);
}

void TestPing::loopbackSitesAnswer()
{
    if (::geteuid() != 0 && !m_isolated)
        QSKIP("ICMP on loopback needs a datagram ICMP socket or root");
    StandInEcho recorder;
    recorder.real = &system;
    auto form = measure(recorder, {"127.0.0.1", "127.0.0.2", "localhost", "nothing.invalid", ""});
    QCOMPARE(form->ListBox1,
             (QStringList{"127.0.0.1 : 127.0.0.1", "127.0.0.2 : 127.0.0.2", "localhost : 127.0.0.1",
                          "nothing.invalid : No Ping reply and", "05: the address names no site, nothing to measure"}));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(form->ListBox2[i] >= 1, qPrintable(form->bars[i].text));
    QCOMPARE(form->ListBox2[3], 0);
    QCOMPARE(form->ListBox2[4], 0);
    // Neither the name that does not exist nor the empty host is pinged.
    QStringList asked = recorder.asked();
    asked.sort();
    QCOMPARE(asked, (QStringList{"127.0.0.1", "127.0.0.1", "127.0.0.2"}));
    QCOMPARE(form->bars[3].text, QStringLiteral("nothing.invalid : No Ping reply and unverified speed."));
    QVERIFY(!form->bars[4].text.contains(QStringLiteral("unverified")));
    QCOMPARE(form->height, 150);
    QVERIFY(!form->statusVisible);
    QCOMPARE(form->bars[2].top, 60);
}

void TestPing::portsAndIpv6Addresses()
{
    // A site's port is no part of its name, and an IPv6 address comes in
    // brackets.
    if (::geteuid() != 0 && !m_isolated)
        QSKIP("ICMP on loopback needs a datagram ICMP socket or root");
    if (QHostAddress(QHostAddress::LocalHostIPv6).isNull() || !QFile::exists(QStringLiteral("/proc/net/if_inet6")))
        QSKIP("no IPv6 here");
    auto form = measure(system, {"127.0.0.1:8080", "[::1]", "[::1]:8443"});
    QCOMPARE(form->ListBox1, (QStringList{"127.0.0.1:8080 : 127.0.0.1", "[::1] : ::1", "[::1]:8443 : ::1"}));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(form->ListBox2[i] >= 1, qPrintable(form->bars[i].text));
}

void TestPing::droppedEchoesAreUnverified()
{
    // A loopback address that drops echoes: for real in a network of this
    // test's own, else a stand-in that lets them time out.
    StandInEcho dropping;
    dropping.dropEverything = true;
    EchoService* echoes = &dropping;
    if (m_isolated && ignoreEchoes(true))
        echoes = &system;
    auto restore = qScopeGuard([this] {
        if (m_isolated)
            ignoreEchoes(false);
    });
    QElapsedTimer clock;
    clock.start();
    auto form = measure(*echoes, {"127.0.0.1", "127.0.0.3", "localhost"}, 800);
    // All at once: one time-out, not three.
    QVERIFY2(clock.elapsed() < 2200, qPrintable(QString::number(clock.elapsed())));
    for (const PingForm::Bar& b : form->bars) {
        QVERIFY2(b.text.endsWith(QStringLiteral(" unverified speed.")), qPrintable(b.text));
        QCOMPARE(b.value, 0);
        QCOMPARE(b.percent(), 0);
        QVERIFY(!b.fastest);
    }
    QCOMPARE(form->slowest, 0);
}

void TestPing::barsAreRelativeToTheSlowest()
{
    StandInEcho echoes;
    echoes.times = {{"127.0.0.1", 20}, {"127.0.0.2", 40}, {"127.0.0.3", 80}, {"127.0.0.4", 0.3}};
    echoes.tcpPorts = {{"127.0.0.2", 443}};
    auto form = measure(echoes, {"127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"}, 300);
    QCOMPARE(form->bars.size(), 5);
    QCOMPARE(form->bars[0].percent(), 25);
    QCOMPARE(form->bars[1].percent(), 50);
    QCOMPARE(form->bars[2].percent(), 100);
    QCOMPARE(form->slowest, 80);
    // A reply under a millisecond still counts as one: it is the fastest.
    QCOMPARE(form->bars[3].value, 1);
    QCOMPARE(form->fastest, 1);
    QVERIFY(form->bars[3].fastest);
    QVERIFY(!form->bars[0].fastest);
    // The measure that is no ping says so.
    QCOMPARE(form->bars[1].text, QStringLiteral("127.0.0.2 : 127.0.0.2 (time to connect to port 443)"));
    QCOMPARE(form->bars[0].text, QStringLiteral("127.0.0.1 : 127.0.0.1"));
    QCOMPARE(form->bars[4].text, QStringLiteral("127.0.0.5 : 127.0.0.5 unverified speed."));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(form->bars[i].name, QStringLiteral("SB%1").arg(i));
        QCOMPARE(form->bars[i].left, 5);
        QCOMPARE(form->bars[i].width, 400);
        QCOMPARE(form->bars[i].height, 18);
        QCOMPARE(form->bars[i].hint, QStringLiteral("Click to Launch"));
    }
    QCOMPARE(form->height, 150);
}

void TestPing::allSitesAtOnceAndCloseStopsThem()
{
    // Twenty dead sites: the window says which site it waits for, keeps
    // working, and Close ends everything at once.
    StandInEcho dropping;
    dropping.dropEverything = true;
    QList<QByteArray> hosts;
    for (int i = 1; i <= 20; ++i)
        hosts << "127.0.1." + QByteArray::number(i);
    auto form = std::make_unique<PingForm>(*f->board, dropping, lookup);
    form->hosts = hosts;
    form->buttons = buttonsFor(20);
    form->FormActivate();
    QCOMPARE(form->status, QStringLiteral("Checking speed of the 127.0.1.1 site"));
    QTRY_COMPARE(dropping.asked().size(), 20); // every echo under way at once
    QSignalSpy changed(form.get(), &PingForm::changed);
    QElapsedTimer clock;
    clock.start();
    form->FormClose();
    form.reset();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(changed.size(), 0);
}

void TestPing::aFullPageAtOnce()
{
    // Eighty dead sites, a full page of four columns: one time-out for all.
    StandInEcho dropping;
    dropping.dropEverything = true;
    QList<QByteArray> hosts;
    for (int i = 1; i <= 80; ++i)
        hosts << "127.0.2." + QByteArray::number(i);
    QElapsedTimer clock;
    clock.start();
    auto form = measure(dropping, hosts, 1000);
    QVERIFY2(clock.elapsed() < 1800, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(dropping.asked().size(), 80);
    QCOMPARE(form->bars.size(), 80);
    QCOMPARE(form->height, 80 * 20 + 50);
}

void TestPing::resultsInHostOrderWhateverTheirArrival()
{
    // The second site answers first, the first one next, the third last.
    StandInEcho echoes;
    echoes.times = {{"127.0.0.1", 30}, {"127.0.0.2", 10}, {"127.0.0.3", 20}};
    echoes.delays = {{"127.0.0.1", 300}, {"127.0.0.3", 900}};
    PingForm form(*f->board, echoes, lookup);
    form.hosts = {"127.0.0.1", "127.0.0.2", "127.0.0.3"};
    form.buttons = buttonsFor(3);
    form.FormActivate();
    // An address is measured as it stands: no name server is asked about it.
    QCOMPARE(lookup.pending(), 0);
    QCOMPARE(form.status, QStringLiteral("Checking speed of the 127.0.0.1 site"));
    // The status line names a site that is still being measured.
    QTRY_COMPARE(form.status, QStringLiteral("Checking speed of the 127.0.0.3 site"));
    QVERIFY(!form.done());
    QTRY_VERIFY(form.done());
    QCOMPARE(form.ListBox1, (QStringList{"127.0.0.1 : 127.0.0.1", "127.0.0.2 : 127.0.0.2", "127.0.0.3 : 127.0.0.3"}));
    QCOMPARE(form.ListBox2, (QList<int>{30, 10, 20}));
    QVERIFY(form.bars[1].fastest);
    QCOMPARE(form.bars[0].percent(), 100);
}

void TestPing::lateAnswersAfterCloseAreDropped()
{
    // An echo service that answers only when it is done, whatever the
    // cancel says: its answer comes after Close, and after the window has
    // been opened again for other sites.
    StandInEcho echoes;
    echoes.ignoreCancel = true;
    echoes.times = {{"127.0.0.1", 70}, {"127.0.0.2", 30}};
    echoes.delays = {{"127.0.0.1", 400}};
    PingForm form(*f->board, echoes, lookup);
    form.hosts = {"127.0.0.1"};
    form.buttons = {"B01"};
    form.FormActivate();
    QTRY_COMPARE(echoes.asked().size(), 1);
    form.FormClose();

    form.hosts = {"127.0.0.2"};
    form.buttons = {"B02"};
    form.FormActivate();
    QTRY_VERIFY(form.done());
    QSignalSpy changed(&form, &PingForm::changed);
    QVERIFY(!changed.wait(700)); // the first round's answer came and went
    QCOMPARE(form.ListBox1, QStringList{"127.0.0.2 : 127.0.0.2"});
    QCOMPARE(form.ListBox2, QList<int>{30});
    QCOMPARE(form.slowest, 30);
    QCOMPARE(form.bars.size(), 1);
    QCOMPARE(form.bars[0].percent(), 100);

    // Closed and left closed: the late answer changes nothing either.
    form.hosts = {"127.0.0.1"};
    form.buttons = {"B01"};
    form.FormActivate();
    QTRY_COMPARE(echoes.asked().size(), 3);
    form.FormClose();
    QVERIFY(!changed.wait(700));
    QVERIFY(form.ListBox1.isEmpty());
    QVERIFY(form.bars.isEmpty());
    QVERIFY(!form.done());
    QVERIFY(form.statusVisible);
}

void TestPing::clickedBarChoosesItsBookmark()
{
    StandInEcho echoes;
    echoes.times = {{"127.0.0.1", 5}, {"127.0.0.2", 9}};
    auto form = measure(echoes, {"127.0.0.1", "127.0.0.2"});
    QSignalSpy closing(form.get(), &PingForm::closeRequested);
    form->BarClick(1);
    QCOMPARE(form->chosenButton, QByteArray("B02"));
    QCOMPARE(closing.size(), 1);

    // Through the page options' way in: the window runs, the click's button comes back.
    PingTest test(*f->board, echoes, lookup);
    f->ui.pingWindows.push_back([](PingForm& form) {
        QTRY_VERIFY(form.done());
        QCOMPARE(form.caption, QStringLiteral("Access Speed"));
        QCOMPARE(form.heading, QStringLiteral("Smaller % is faster Site"));
        form.BarClick(0);
    });
    QCOMPARE(test.PingSites({"127.0.0.1", "127.0.0.2"}, {"B07", "B09"}), QByteArray("B07"));
    f->ui.pingWindows.push_back([](PingForm&) {});
    QCOMPARE(test.PingSites({"127.0.0.1"}, {"B07"}), QByteArray());
}

QTEST_GUILESS_MAIN(TestPing)
#include "tst_ping.moc"
