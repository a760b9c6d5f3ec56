#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Name look-ups (DNSLook), any number at once. Each answer goes to a callback
// bound to a context object, later on the user-interface thread, never inside
// the call that asked.
class NameLookup : public QObject
{
    Q_OBJECT
public:
    // The result: for a name, its first IPv4 address, else its first address
    // of any kind; for an address, its host name; "" when nothing was found.
    using Done = std::function<void(const QString& result)>;

    using QObject::QObject;
    ~NameLookup() override;

    int forward(const QString& host, QObject* context, Done done);
    int reverse(const QString& address, QObject* context, Done done);
    // The callback of a cancelled look-up never runs.
    void cancel(int id);
    int pending() const { return static_cast<int>(m_pending.size()); }

private:
    int start(const QString& name, bool reverse, QObject* context, Done done);
    QList<int> m_pending;
};
