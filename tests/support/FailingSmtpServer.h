#pragma once

#include "LocalSmtpServer.h"

#include <QByteArray>
#include <QString>
#include <QTcpServer>

// A mail server on 127.0.0.1 that fails as asked: "reject" refuses every
// recipient, "silent" listens and never greets, "closed" is a port nobody
// listens on, anything else gives no server at all.
class FailingSmtpServer
{
public:
    explicit FailingSmtpServer(const QString& kind) : m_kind(kind) {}

    // False when the server could not be started.
    bool start()
    {
        if (m_kind == QLatin1String("reject")) {
            if (!m_rejecting.start())
                return false;
            m_server = m_rejecting.server();
        } else if (m_kind == QLatin1String("silent")) {
            if (!m_silent.listen(QHostAddress::LocalHost))
                return false;
            m_server = "127.0.0.1:" + QByteArray::number(m_silent.serverPort());
        } else if (m_kind == QLatin1String("closed")) {
            QTcpServer gone;
            if (!gone.listen(QHostAddress::LocalHost))
                return false;
            m_server = "127.0.0.1:" + QByteArray::number(gone.serverPort());
        }
        return true;
    }
    // As a user types it into the profile ("" for no server).
    QByteArray server() const { return m_server; }
    // The messages the rejecting server took (none, it is hoped).
    QList<QJsonObject> messages() const { return m_rejecting.messages(); }

private:
    QString m_kind;
    LocalSmtpServer m_rejecting{LocalSmtpServer::Mode::Reject};
    QTcpServer m_silent;
    QByteArray m_server;
};
