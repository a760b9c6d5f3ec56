#include "BrowserHost.h"

#include "BridgeProtocol.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <unistd.h>

BrowserHost::BrowserHost(int in, int out, QString browser, QString socketPath, QObject* parent)
    : QObject(parent), m_in(in), m_out(out), m_browser(std::move(browser)), m_socketPath(std::move(socketPath)),
      m_lynkor(new QLocalSocket(this)), m_notifier(new QSocketNotifier(in, QSocketNotifier::Read, this)),
      m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(1000);
    connect(m_retry, &QTimer::timeout, this, &BrowserHost::connectToLynkor);
    connect(m_notifier, &QSocketNotifier::activated, this, &BrowserHost::readBrowser);
    connect(m_lynkor, &QLocalSocket::connected, this, [this] {
        // Only Lynkor of this user may hear what the browser shows: a socket
        // another user serves is left at once, before a word is said.
        QString why;
        if (!BridgeProtocol::peerIsThisUser(m_lynkor->socketDescriptor(), &why)) {
            distrust(why);
            m_lynkor->abort();
            return;
        }
        m_distrusted.clear();
        m_fromLynkor.clear();
        m_lynkor->write(BridgeProtocol::frame({{QStringLiteral("type"), QStringLiteral("hello")},
                                               {QStringLiteral("protocol"), BridgeProtocol::kVersion},
                                               {QStringLiteral("browser"), m_browser}}));
    });
    connect(m_lynkor, &QLocalSocket::readyRead, this, &BrowserHost::readLynkor);
    // Lynkor is not running yet, or ended: it is looked for again shortly.
    connect(m_lynkor, &QLocalSocket::disconnected, m_retry, qOverload<>(&QTimer::start));
    connect(m_lynkor, &QLocalSocket::errorOccurred, m_retry, [this] {
        if (m_lynkor->state() == QLocalSocket::UnconnectedState)
            m_retry->start();
    });
}

void BrowserHost::start()
{
    connectToLynkor();
}

bool BrowserHost::calledByOurExtension(const QStringList& arguments)
{
    const QString origin =
        QStringLiteral("chrome-extension://%1/").arg(QLatin1String(BridgeProtocol::kChromiumExtensionId));
    for (const QString& a : arguments)
        if (a == origin || a == QLatin1String(BridgeProtocol::kFirefoxExtensionId))
            return true;
    return false;
}

QString BrowserHost::parentBrowser()
{
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(::getppid())).symLinkTarget();
    QString name = QFileInfo(exe).fileName();
    return name.isEmpty() ? QStringLiteral("browser") : name.left(64);
}

void BrowserHost::connectToLynkor()
{
    if (m_lynkor->state() != QLocalSocket::UnconnectedState)
        return;
    const QFileInfo folder(QFileInfo(m_socketPath).path());
    QString why;
    if (!BridgeProtocol::isPrivateFolder(folder.filePath(), &why)) {
        // Not there yet (Lynkor not started), or planted by someone else:
        // looked at again shortly, never used as it is.
        if (folder.exists() || folder.isSymLink())
            distrust(why);
        m_retry->start();
        return;
    }
    m_lynkor->connectToServer(m_socketPath);
}

void BrowserHost::distrust(const QString& why)
{
    if (why == m_distrusted)
        return;
    m_distrusted = why;
    qWarning("lynkor-browser-host: not talking to %s: %s", qPrintable(m_socketPath), qPrintable(why));
}

void BrowserHost::readBrowser()
{
    char chunk[65536];
    const ssize_t n = ::read(m_in, chunk, sizeof chunk);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        // The browser closed the pipe: the extension is gone.
        m_notifier->setEnabled(false);
        emit finished(0);
        return;
    }
    if (n < 0)
        return;
    m_fromBrowser.append(chunk, n);
    for (;;) {
        BridgeProtocol::Taken taken = BridgeProtocol::take(m_fromBrowser, BridgeProtocol::Order::Native);
        if (taken.fatal) {
            fail(taken.error);
            return;
        }
        if (!taken.error.isEmpty()) {
            qWarning("lynkor-browser-host: %s was ignored", qPrintable(taken.error));
            continue;
        }
        if (!taken.message)
            return;
        const std::optional<QJsonObject> reply = BridgeProtocol::validReply(*taken.message);
        if (!reply) {
            qWarning("lynkor-browser-host: a reply that is not one was ignored");
            continue;
        }
        if (m_lynkor->state() != QLocalSocket::ConnectedState)
            continue;
        QJsonObject forward = *reply;
        forward.insert(QStringLiteral("type"), QStringLiteral("reply"));
        m_lynkor->write(BridgeProtocol::frame(forward));
    }
}

void BrowserHost::readLynkor()
{
    m_fromLynkor += m_lynkor->readAll();
    for (;;) {
        BridgeProtocol::Taken taken = BridgeProtocol::take(m_fromLynkor);
        if (!taken.error.isEmpty()) {
            m_lynkor->abort();
            return;
        }
        if (!taken.message)
            return;
        const QJsonObject& m = *taken.message;
        const QString type = m.value(QStringLiteral("type")).toString();
        if (type == QStringLiteral("welcome"))
            continue;
        if (type == QStringLiteral("refused")) {
            fail(QStringLiteral("Lynkor refused this host: %1").arg(m.value(QStringLiteral("reason")).toString()));
            return;
        }
        if (type != QStringLiteral("request"))
            continue;
        // Only the requests the extension knows, with their own fields.
        const QString op = m.value(QStringLiteral("op")).toString();
        const QJsonValue id = m.value(QStringLiteral("id"));
        if (!id.isDouble() || id.toInteger() < 1)
            continue;
        QJsonObject out{{QStringLiteral("id"), id.toInteger()}, {QStringLiteral("op"), op}};
        if (op == QStringLiteral("open")) {
            const QString url = m.value(QStringLiteral("url")).toString();
            const QString where = m.value(QStringLiteral("where")).toString();
            if (url.isEmpty() || url.size() > 64 * 1024)
                continue;
            out.insert(QStringLiteral("url"), url);
            out.insert(QStringLiteral("where"),
                       where == QStringLiteral("newTab") || where == QStringLiteral("newWindow")
                           ? where
                           : QStringLiteral("tab"));
        } else if (op != QStringLiteral("windowInfo") && op != QStringLiteral("activate")) {
            continue;
        }
        toBrowser(out);
    }
}

void BrowserHost::toBrowser(const QJsonObject& message)
{
    const QByteArray bytes = BridgeProtocol::frame(message, BridgeProtocol::Order::Native);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_out, bytes.constData() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            emit finished(0);
            return;
        }
        written += n;
    }
}

void BrowserHost::fail(const QString& why)
{
    qWarning("lynkor-browser-host: %s", qPrintable(why));
    emit finished(1);
}
