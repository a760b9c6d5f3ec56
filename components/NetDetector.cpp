#include "NetDetector.h"

#include <QNetworkInterface>

NetDetector::NetDetector(Probe probe, QObject* parent) : QObject(parent), m_probe(std::move(probe))
{
    m_online = m_probe();
    connect(&m_timer, &QTimer::timeout, this, &NetDetector::poll);
}

void NetDetector::start(int intervalMs)
{
    m_timer.start(intervalMs);
}

void NetDetector::poll()
{
    const bool now = m_probe();
    if (now == m_online)
        return;
    m_online = now;
    emit changed(now);
}

bool NetDetector::interfacesOnline()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) || !flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        if (!i.addressEntries().isEmpty())
            return true;
    }
    return false;
}
