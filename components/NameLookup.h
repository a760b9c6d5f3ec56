#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// DNSLook: name look-ups, one pending at a time; starting one cancels the
// one before. The tag and the free text survive until done() is delivered.
class NameLookup : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~NameLookup() override;

    // Name to address: the result is the first IPv4 address, else the first
    // address of any kind; "" when nothing was found.
    void forward(const QString& host);
    // Address to name: the result is the host name; "" when nothing was found.
    void reverse(const QString& address);
    void cancel();
    bool pending() const { return m_id >= 0; }

    int tag = 0;
    QByteArray address;

signals:
    void done(const QString& result);

private:
    void start(const QString& name, bool reverse);
    int m_id = -1;
    int m_serial = 0;
};
