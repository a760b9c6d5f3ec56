#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Whether this machine is on a network: a non-loopback interface that is up,
// running and has an address. Polled once a second; reports changes.
class NetDetector : public QObject
{
    Q_OBJECT
public:
    using Probe = std::function<bool()>;
    explicit NetDetector(Probe probe = &NetDetector::interfacesOnline, QObject* parent = nullptr);

    bool online() const { return m_online; }
    void start(int intervalMs = 1000);
    void poll();

    static bool interfacesOnline();

signals:
    void changed(bool online);

private:
    Probe m_probe;
    QTimer m_timer;
    bool m_online = false;
};
