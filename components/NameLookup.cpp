#include "NameLookup.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>

NameLookup::~NameLookup()
{
    for (int id : std::as_const(m_pending))
        QHostInfo::abortHostLookup(id);
}

void NameLookup::cancel(int id)
{
    if (m_pending.removeOne(id))
        QHostInfo::abortHostLookup(id);
}

int NameLookup::start(const QString& name, bool reverse, QObject* context, Done done)
{
    const QPointer<QObject> target(context);
    auto id = std::make_shared<int>(-1);
    *id = QHostInfo::lookupHost(name, this, [this, id, target, reverse, name, done](const QHostInfo& info) {
        // An answer to a look-up that was cancelled is dropped.
        if (!m_pending.removeOne(*id) || !target)
            return;
        QString result;
        if (info.error() == QHostInfo::NoError) {
            if (reverse) {
                // Without a name the address itself comes back: that is nothing found.
                if (info.hostName() != name && QHostAddress(info.hostName()).isNull())
                    result = info.hostName();
            } else {
                const auto addresses = info.addresses();
                for (const QHostAddress& a : addresses)
                    if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                        result = a.toString();
                        break;
                    }
                if (result.isEmpty() && !addresses.isEmpty())
                    result = addresses.front().toString();
            }
        }
        done(result);
    });
    m_pending << *id;
    return *id;
}

int NameLookup::forward(const QString& host, QObject* context, Done done)
{
    return start(host, false, context, std::move(done));
}

int NameLookup::reverse(const QString& address, QObject* context, Done done)
{
    return start(address, true, context, std::move(done));
}
