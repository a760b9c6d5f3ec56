#include "AccessSpeed.h"

#include "AnsiText.h"
#include "Board.h"
#include "EchoService.h"
#include "NameLookup.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace {

// Names under ".invalid" never exist; no resolver is asked about them.
bool neverExists(const QByteArray& host)
{
    const QByteArray h = host.toLower();
    return h == "invalid" || h.endsWith(".invalid") || h == "invalid." || h.endsWith(".invalid.");
}

// The name to look up in a site's host text: without a port, and an IPv6
// address without its brackets.
QString lookupName(const QByteArray& host)
{
    QString h = AnsiText::toUi(host);
    if (h.startsWith(QLatin1Char('['))) {
        const qsizetype close = h.indexOf(QLatin1Char(']'));
        return close > 0 ? h.mid(1, close - 1) : h.mid(1);
    }
    if (h.count(QLatin1Char(':')) == 1)
        h.truncate(h.indexOf(QLatin1Char(':')));
    return h;
}

} // namespace

PingForm::PingForm(Board& board, EchoService& echoes, NameLookup& lookup)
    : m_board(board), m_echoes(echoes), m_lookup(lookup), m_cancel(std::make_shared<std::atomic<bool>>(false))
{
}

PingForm::~PingForm()
{
    stopAll();
    // The echoes end at once when cancelled.
    m_pool.waitForDone();
}

void PingForm::stopAll()
{
    m_cancel->store(true);
    for (int id : std::as_const(m_lookups))
        m_lookup.cancel(id);
    m_lookups.clear();
}

void PingForm::FormActivate()
{
    // A new round: answers still on their way from an earlier one keep the
    // earlier (cancelled) flag and are dropped.
    stopAll();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    colors = m_board.state().tabStyle();
    slowest = 0;
    fastest = 1000000;
    m_done = false;
    ListBox1.clear();
    ListBox2.clear();
    bars.clear();
    statusVisible = true;
    m_entries = QList<Entry>(hosts.size());
    // Every host at once, up to a full page of 80: a page of dead sites
    // takes one time-out, not one each. Workers of a cancelled round that
    // are still winding down do not hold this round back.
    m_pool.setMaxThreadCount(std::max(1, static_cast<int>(hosts.size())) + m_pool.activeThreadCount());
    for (int i = 0; i < hosts.size(); ++i) {
        const QByteArray host = hosts[i];
        if (host.isEmpty()) {
            m_entries[i].result = QStringLiteral("%1: the address names no site, nothing to measure")
                                      .arg(AnsiText::toUi(buttons.value(i).mid(1)));
            finishEntry(i);
            continue;
        }
        if (neverExists(host)) {
            resolved(i, {});
            continue;
        }
        const QString name = lookupName(host);
        // An address is its own answer. Looking it up would look up its
        // name instead, asking a name server about it for nothing.
        if (const QHostAddress literal(name); !literal.isNull()) {
            resolved(i, literal.toString());
            continue;
        }
        QPointer<PingForm> self(this);
        const int id = m_lookup.forward(name, this, [self, i](const QString& address) {
            if (self)
                self->resolved(i, address);
        });
        m_lookups << id;
    }
    showStatus();
    if (hosts.isEmpty() || std::all_of(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.finished; }))
        buildBars();
}

void PingForm::resolved(int index, const QString& address)
{
    Entry& e = m_entries[index];
    const QString host = AnsiText::toUi(hosts[index]);
    const QHostAddress target(address);
    // A name that cannot be found is not pinged at all.
    if (address.isEmpty() || target.isNull()) {
        e.result = host + QStringLiteral(" : No Ping reply and");
        finishEntry(index);
        return;
    }
    e.result = host + QStringLiteral(" : ") + address;
    const EchoProbe::Options o = options;
    std::shared_ptr<std::atomic<bool>> cancel = m_cancel;
    EchoService* echoes = &m_echoes;
    m_pool.start([this, index, target, o, cancel, echoes] {
        const EchoProbe::Result r = echoes->echo(target, o, cancel.get());
        if (cancel->load())
            return;
        // Back on the window's thread; dropped once the form is gone (it
        // waits for its workers before it goes).
        QMetaObject::invokeMethod(
            this,
            [this, index, r, cancel] {
                if (!cancel->load())
                    echoed(index, r);
            },
            Qt::QueuedConnection);
    });
}

void PingForm::echoed(int index, const EchoProbe::Result& r)
{
    Entry& e = m_entries[index];
    e.measure = r.measure;
    e.port = r.port;
    // A reply counts at least 1 ms: a site on this machine answers in less,
    // and 0 means "no reply".
    e.ms = r.replied ? std::max(1, static_cast<int>(std::ceil(r.ms))) : 0;
    finishEntry(index);
}

void PingForm::finishEntry(int index)
{
    Entry& e = m_entries[index];
    e.finished = true;
    if (e.ms > slowest)
        slowest = e.ms;
    if (e.ms >= 1 && e.ms < fastest)
        fastest = e.ms;
    showStatus();
    if (std::all_of(m_entries.begin(), m_entries.end(), [](const Entry& x) { return x.finished; }))
        buildBars();
    else
        emit changed();
}

void PingForm::showStatus()
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (!m_entries[i].finished) {
            status = QStringLiteral("Checking speed of the ") + AnsiText::toUi(hosts[i]) + QStringLiteral(" site");
            return;
        }
    status = QStringLiteral("Please wait one moment: Checking site speeds");
}

void PingForm::buildBars()
{
    if (m_done)
        return;
    m_done = true;
    ListBox1.clear();
    ListBox2.clear();
    bars.clear();
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        ListBox1 << e.result;
        ListBox2 << e.ms;
        Bar b;
        b.name = QStringLiteral("SB%1").arg(i);
        b.top = 20 + 20 * i;
        b.maximum = slowest;
        b.value = e.ms;
        b.fastest = e.ms >= 1 && e.ms == fastest;
        b.text = e.result;
        if (e.ms == 0 && !hosts[i].isEmpty())
            b.text += QStringLiteral(" unverified speed.");
        // Where ping is not allowed the time is that of opening a connection.
        if (e.ms > 0 && e.measure == EchoProbe::Measure::TcpConnect)
            b.text += QStringLiteral(" (time to connect to port %1)").arg(e.port);
        bars << b;
    }
    height = static_cast<int>(m_entries.size()) * 20 + 50;
    statusVisible = false;
    emit changed();
    emit measured();
}

void PingForm::BarClick(int index)
{
    if (index < 0 || index >= buttons.size())
        return;
    chosenButton = buttons[index];
    emit closeRequested();
}

void PingForm::FormClose()
{
    stopAll();
    statusVisible = true;
    ListBox1.clear();
    ListBox2.clear();
    bars.clear();
}

QByteArray PingTest::PingSites(const QList<QByteArray>& hosts, const QList<QByteArray>& buttons)
{
    PingForm form(m_board, m_echoes, m_lookup);
    form.hosts = hosts;
    form.buttons = buttons;
    form.options = options;
    form.FormActivate();
    m_board.ui().pingWindow(form);
    form.FormClose();
    return form.chosenButton;
}
