#include "NameLookup.h"

#include <QHostAddress>
#include <QHostInfo>

NameLookup::~NameLookup()
{
    cancel();
}

void NameLookup::cancel()
{
    if (m_id >= 0)
        QHostInfo::abortHostLookup(m_id);
    m_id = -1;
    ++m_serial;
}

void NameLookup::start(const QString& name, bool reverse)
{
    cancel();
    const int serial = m_serial;
    m_id = QHostInfo::lookupHost(name, this, [this, serial, reverse, name](const QHostInfo& info) {
        // An answer to a look-up that was cancelled or replaced is dropped.
        if (serial != m_serial)
            return;
        m_id = -1;
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
        emit done(result);
    });
}

void NameLookup::forward(const QString& host)
{
    start(host, false);
}

void NameLookup::reverse(const QString& address)
{
    start(address, true);
}
