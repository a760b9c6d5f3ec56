#include "BrowserBridge.h"

#include "BridgeProtocol.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

BrowserBridge::BrowserBridge(QObject* parent) : QObject(parent) {}

BrowserBridge::~BrowserBridge()
{
    for (Client* c : std::as_const(m_clients)) {
        for (Pending& p : c->pending)
            delete p.timer;
        c->socket->disconnect(this);
        delete c;
    }
    m_clients.clear();
}

bool BrowserBridge::listen(const QString& given)
{
    m_path = given.isEmpty() ? BridgeProtocol::socketPath() : given;
    QString why;
    if (!BridgeProtocol::preparePrivateFolder(QFileInfo(m_path).path(), &why)) {
        m_error = why;
        return false;
    }
    // A socket left by a Lynkor that ended is removed; one that answers
    // belongs to another Lynkor, which keeps the browsers.
    QLocalSocket probe;
    probe.connectToServer(m_path);
    if (probe.waitForConnected(200)) {
        m_error = BridgeProtocol::peerIsThisUser(probe.socketDescriptor(), &why)
                      ? QStringLiteral("another Lynkor is connected to the browsers")
                      : why;
        return false;
    }
    QLocalServer::removeServer(m_path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        m_error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &BrowserBridge::accept);
    m_error.clear();
    return true;
}

QStringList BrowserBridge::browsers() const
{
    QStringList out;
    for (const Client* c : m_clients)
        if (c->welcomed)
            out << c->browser;
    return out;
}

void BrowserBridge::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto* client = new Client;
        client->socket = socket;
        m_clients << client;
        QString why;
        if (!BridgeProtocol::peerIsThisUser(socket->socketDescriptor(), &why)) {
            drop(socket, why);
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket, {}); });
    }
}

void BrowserBridge::readFrom(QLocalSocket* socket)
{
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [socket](Client* c) { return c->socket == socket; });
    if (it == m_clients.end())
        return;
    Client& client = **it;
    client.buffer += socket->readAll();
    for (;;) {
        BridgeProtocol::Taken taken = BridgeProtocol::take(client.buffer);
        if (!taken.error.isEmpty()) {
            drop(socket, taken.error);
            return;
        }
        if (!taken.message)
            return;
        const QJsonObject& m = *taken.message;
        const QString type = m.value(QStringLiteral("type")).toString();
        if (!client.welcomed) {
            const QString browser = m.value(QStringLiteral("browser")).toString().left(64).trimmed();
            if (type != QStringLiteral("hello") ||
                m.value(QStringLiteral("protocol")).toInt() != BridgeProtocol::kVersion) {
                socket->write(BridgeProtocol::frame(
                    {{QStringLiteral("type"), QStringLiteral("refused")},
                     {QStringLiteral("reason"), QStringLiteral("protocol %1 wanted").arg(BridgeProtocol::kVersion)}}));
                socket->flush();
                drop(socket, QStringLiteral("wrong greeting or protocol"));
                return;
            }
            client.browser = browser.isEmpty() ? QStringLiteral("browser") : browser;
            client.welcomed = true;
            socket->write(BridgeProtocol::frame({{QStringLiteral("type"), QStringLiteral("welcome")},
                                                 {QStringLiteral("protocol"), BridgeProtocol::kVersion}}));
            emit browsersChanged();
            continue;
        }
        const std::optional<QJsonObject> reply =
            type == QStringLiteral("reply") ? BridgeProtocol::validReply(m) : std::nullopt;
        const qint64 id = reply ? reply->value(QStringLiteral("id")).toInteger() : 0;
        // A second or late answer to a request of this browser's is no harm:
        // the request was answered or given up.
        if (reply && client.asked.contains(id) && !client.pending.contains(id)) {
            qWarning("browser link: a second or late answer of %s was ignored", qPrintable(client.browser));
            continue;
        }
        // Only a request of this browser's can be answered by it.
        if (!reply || !client.pending.contains(id)) {
            drop(socket, QStringLiteral("a message that answers nothing asked"));
            return;
        }
        finish(client, id, reply);
    }
}

void BrowserBridge::finish(Client& client, qint64 id, const std::optional<QJsonObject>& reply)
{
    auto it = client.pending.find(id);
    if (it == client.pending.end())
        return;
    Pending p = *it;
    client.pending.erase(it);
    p.timer->stop();
    p.timer->deleteLater();
    if (p.context)
        p.done(reply);
}

void BrowserBridge::drop(QLocalSocket* socket, const QString& why)
{
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [socket](Client* c) { return c->socket == socket; });
    if (it == m_clients.end())
        return;
    Client* client = *it;
    m_clients.erase(it);
    const bool wasWelcomed = client->welcomed;
    if (!why.isEmpty())
        qWarning("browser link: %s", qPrintable(why));
    const auto pending = std::exchange(client->pending, {});
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    delete client;
    for (const Pending& p : pending) {
        p.timer->stop();
        p.timer->deleteLater();
        if (p.context)
            p.done(std::nullopt);
    }
    if (wasWelcomed)
        emit browsersChanged();
}

void BrowserBridge::request(QJsonObject params, int timeoutMs, QObject* context, Reply done, const QString& preferred)
{
    Client* target = nullptr;
    for (Client* c : std::as_const(m_clients))
        if (c->welcomed) {
            if (!preferred.isEmpty() && c->browser == preferred) {
                target = c;
                break;
            }
            target = c;
        }
    if (!target) {
        QTimer::singleShot(0, context, [done] { done(std::nullopt); });
        return;
    }
    const qint64 id = m_nextId++;
    params.insert(QStringLiteral("type"), QStringLiteral("request"));
    params.insert(QStringLiteral("id"), id);
    Pending p;
    p.done = std::move(done);
    p.context = context;
    p.timer = new QTimer;
    p.timer->setSingleShot(true);
    QLocalSocket* socket = target->socket;
    connect(p.timer, &QTimer::timeout, this, [this, socket, id] {
        auto it = std::find_if(m_clients.begin(), m_clients.end(), [socket](Client* c) { return c->socket == socket; });
        if (it != m_clients.end())
            finish(**it, id, std::nullopt);
    });
    p.timer->start(timeoutMs);
    target->pending.insert(id, p);
    target->asked.insert(id);
    socket->write(BridgeProtocol::frame(params));
}
