#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

SingleInstance::SingleInstance(QString key, QObject* parent) : QObject(parent), m_key(std::move(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyFor(const QByteArray& programDir)
{
    const QByteArray hash = QCryptographicHash::hash(programDir, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("lynkor-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::handOver(const QStringList& arguments)
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(1000))
        return false;
    QByteArray message;
    for (const QString& a : arguments)
        message += a.toUtf8() + '\0';
    socket.write(message);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
    return true;
}

bool SingleInstance::start(const QStringList& arguments)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (handOver(arguments))
            return false;
        auto* server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        if (server->listen(m_key)) {
            m_server = server;
            connect(server, &QLocalServer::newConnection, this, &SingleInstance::accept);
            return true;
        }
        const bool inUse = server->serverError() == QAbstractSocket::AddressInUseError;
        delete server;
        // A socket left by a process that ended without cleaning up answers
        // nobody; remove it and try again.
        if (inUse && !handOver(arguments))
            QLocalServer::removeServer(m_key);
        else if (inUse)
            return false;
    }
    return true;
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] { *buffer += socket->readAll(); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            QStringList arguments;
            for (const QByteArray& part : buffer->split('\0'))
                if (!part.isEmpty())
                    arguments << QString::fromUtf8(part);
            socket->deleteLater();
            emit anotherInstanceStarted(arguments);
        });
    }
}
