#include "AccessSpeed.h"
#include "AccessSpeedWindow.h"
#include "BoardFixture.h"
#include "EchoService.h"
#include "GuiPrompter.h"
#include "NameLookup.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// Times by the address's last digit: .1 10 ms, .2 20 ms, .3 40 ms; .9 never
// answers (it waits out the time-out, or the cancel).
class StandInEcho : public EchoService
{
public:
    EchoProbe::Result echo(const QHostAddress& address, const EchoProbe::Options& options,
                           const std::atomic<bool>* cancel) override
    {
        EchoProbe::Result r;
        r.measure = EchoProbe::Measure::IcmpDatagram;
        const QString a = address.toString();
        if (a.endsWith(QLatin1Char('9'))) {
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < options.timeoutMs && !(cancel && cancel->load()))
                QThread::msleep(5);
            return r;
        }
        r.replied = true;
        r.ms = a.endsWith(QLatin1Char('1')) ? 10 : a.endsWith(QLatin1Char('2')) ? 20 : 40;
        return r;
    }
};

void press(QWidget* widget)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

QList<QByteArray> buttonsFor(int n)
{
    QList<QByteArray> out;
    for (int i = 1; i <= n; ++i)
        out << "B0" + QByteArray::number(i);
    return out;
}

} // namespace

class TestPingWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<BoardFixture> f;
    NameLookup lookup;
    StandInEcho echoes;
    std::unique_ptr<PingForm> form;
    std::unique_ptr<AccessSpeedWindow> window;

    void open(const QList<QByteArray>& hosts, int timeoutMs)
    {
        form = std::make_unique<PingForm>(*f->board, echoes, lookup);
        form->hosts = hosts;
        form->buttons = buttonsFor(int(hosts.size()));
        form->options.timeoutMs = timeoutMs;
        form->FormActivate();
        window = std::make_unique<AccessSpeedWindow>(*form);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

private slots:
    void init();
    void cleanup();
    void measuringThenBars();
    void barsAndCloseFromKeyboardMouseAndAccessibility_data();
    void barsAndCloseFromKeyboardMouseAndAccessibility();
    void theModalWindowReturnsThePressedBar();
};

void TestPingWindow::init()
{
    f = std::make_unique<BoardFixture>();
    f->start();
}

void TestPingWindow::cleanup()
{
    window.reset();
    form.reset();
    f.reset();
}

void TestPingWindow::measuringThenBars()
{
    open({"127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.9"}, 600);
    QCOMPARE(window->windowTitle(), QStringLiteral("Access Speed"));
    auto* status = window->findChild<QLabel*>(QStringLiteral("StatusLine"));
    QVERIFY(status);
    // While the dead site is measured the window says so and has no bars.
    QTRY_COMPARE(status->text(), QStringLiteral("Checking speed of the 127.0.0.9 site"));
    QVERIFY(status->isVisible());
    QVERIFY(window->bars().isEmpty());
    QCOMPARE(window->height(), 4 * 20 + 50);
    QVERIFY(window->findChild<QLabel*>() &&
            window->findChildren<QLabel*>().first()->text() == QStringLiteral("Smaller % is faster Site"));

    QTRY_COMPARE_WITH_TIMEOUT(window->bars().size(), 4, 5000);
    QVERIFY(!status->isVisible());
    QCOMPARE(window->height(), 4 * 20 + 50);
    const QStringList texts{"127.0.0.1 : 127.0.0.1", "127.0.0.2 : 127.0.0.2", "127.0.0.3 : 127.0.0.3",
                            "127.0.0.9 : 127.0.0.9 unverified speed."};
    const QList<int> percents{25, 50, 100, 0};
    for (int i = 0; i < 4; ++i) {
        SpeedBar* bar = window->bars()[i];
        QCOMPARE(bar->objectName(), QStringLiteral("SB%1").arg(i));
        QCOMPARE(bar->text(), texts[i]);
        QCOMPARE(bar->percent, percents[i]);
        QCOMPARE(bar->fastest, i == 0);
        QCOMPARE(bar->toolTip(), QStringLiteral("Click to Launch"));
        QCOMPARE(bar->geometry(), QRect(5, 20 + 20 * i, 400, 18));
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->focusPolicy(), Qt::StrongFocus);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(bar);
        QCOMPARE(a->role(), QAccessible::Button);
        QCOMPARE(a->text(QAccessible::Name), texts[i]);
    }
    QCOMPARE(window->focusWidget(), window->bars()[0]);
    // Close fits below the last bar, inside the window.
    auto* close = window->findChild<QPushButton*>(QStringLiteral("CloseBtn"));
    QVERIFY(close && close->isVisible());
    QVERIFY(window->rect().contains(close->geometry()));
    QVERIFY(!close->geometry().intersects(window->bars().last()->geometry()));
    if (qEnvironmentVariableIsSet("LYNKOR_SCREENSHOTS"))
        window->grab().save(QStringLiteral("/tmp/lynkor-pingwindow.png"));
}

void TestPingWindow::barsAndCloseFromKeyboardMouseAndAccessibility_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("bar"); // -1: the Close button
    QTest::addColumn<QByteArray>("chosen");
    QTest::newRow("mouse on a bar") << "mouse" << 1 << QByteArray("B02");
    QTest::newRow("Space on a bar") << "space" << 1 << QByteArray("B02");
    QTest::newRow("Return on a bar") << "return" << 2 << QByteArray("B03");
    QTest::newRow("keypad Enter on a bar") << "enter" << 0 << QByteArray("B01");
    QTest::newRow("press action of a bar") << "accessible" << 1 << QByteArray("B02");
    QTest::newRow("mouse on Close") << "mouse" << -1 << QByteArray();
    QTest::newRow("Space on Close") << "space" << -1 << QByteArray();
    QTest::newRow("press action of Close") << "accessible" << -1 << QByteArray();
    QTest::newRow("Escape") << "escape" << 1 << QByteArray();
}

void TestPingWindow::barsAndCloseFromKeyboardMouseAndAccessibility()
{
    QFETCH(QString, way);
    QFETCH(int, bar);
    QFETCH(QByteArray, chosen);
    open({"127.0.0.1", "127.0.0.2", "127.0.0.3"}, 600);
    QTRY_COMPARE(window->bars().size(), 3);
    QWidget* target = bar >= 0 ? static_cast<QWidget*>(window->bars()[bar])
                               : window->findChild<QPushButton*>(QStringLiteral("CloseBtn"));
    QVERIFY(target);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    if (way == QLatin1String("mouse"))
        QTest::mouseClick(target, Qt::LeftButton);
    else if (way == QLatin1String("space"))
        QTest::keyClick(target, Qt::Key_Space);
    else if (way == QLatin1String("return"))
        QTest::keyClick(target, Qt::Key_Return);
    else if (way == QLatin1String("enter"))
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    else if (way == QLatin1String("escape"))
        QTest::keyClick(target, Qt::Key_Escape);
    else
        press(target);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(form->chosenButton, chosen);
    QCOMPARE(window->result(), chosen.isEmpty() ? int(QDialog::Rejected) : int(QDialog::Accepted));
}

void TestPingWindow::theModalWindowReturnsThePressedBar()
{
    // The whole way: the page options' ping test opens the real modal
    // window; once its bars are there the second one is pressed through the
    // accessibility interface, and its button comes back.
    GuiPrompter prompter;
    f->ui.pingWindows.push_back([&](PingForm& model) { prompter.pingWindow(model); });
    QStringList seen;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* open = qobject_cast<AccessSpeedWindow*>(QApplication::activeModalWidget());
        if (open && open->bars().size() == 2) {
            poll.stop();
            for (SpeedBar* b : open->bars())
                seen << b->text();
            press(open->bars()[1]);
        } else if (clock.elapsed() > 10000 && open) {
            poll.stop();
            open->reject();
        }
    });
    poll.start(20);
    PingTest test(*f->board, echoes, lookup);
    QCOMPARE(test.PingSites({"127.0.0.1", "127.0.0.2"}, {"B07", "B09"}), QByteArray("B09"));
    QCOMPARE(seen, (QStringList{"127.0.0.1 : 127.0.0.1", "127.0.0.2 : 127.0.0.2"}));
}

QTEST_MAIN(TestPingWindow)
#include "tst_pingwindow.moc"
