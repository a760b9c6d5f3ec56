#include "BridgeProtocol.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BridgeProtocol {

QString socketPath()
{
    const QByteArray given = qgetenv("LYNKOR_BROWSER_SOCKET");
    if (!given.isEmpty())
        return QFile::decodeName(given);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && runtime.startsWith('/'))
        return QFile::decodeName(runtime) + QStringLiteral("/lynkor/browser-link");
    return QDir::tempPath() + QStringLiteral("/lynkor-%1/browser-link").arg(::getuid());
}

namespace {

QString userName(uid_t uid)
{
    const struct passwd* pw = ::getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QStringLiteral("uid %1").arg(uid);
}

bool refuse(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

bool isPrivateFolder(const QString& folder, QString* why)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return refuse(why, QStringLiteral("%1 does not exist").arg(folder));
    const QString notPrivate = QStringLiteral("%1 is not a private folder of this user: ").arg(folder);
    if (S_ISLNK(st.st_mode))
        return refuse(why, notPrivate + QStringLiteral("it is a symbolic link"));
    if (!S_ISDIR(st.st_mode))
        return refuse(why, notPrivate + QStringLiteral("it is no folder"));
    if (st.st_uid != ::getuid())
        return refuse(why, notPrivate + QStringLiteral("it belongs to %1").arg(userName(st.st_uid)));
    if ((st.st_mode & 077) != 0)
        return refuse(why,
                      notPrivate +
                          QStringLiteral("others may enter it (mode %1)").arg(st.st_mode & 07777, 4, 8, QChar('0')));
    return true;
}

bool preparePrivateFolder(const QString& folder, QString* why)
{
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        return refuse(why,
                      QStringLiteral("cannot create %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(error))));
    }
    return isPrivateFolder(folder, why);
}

bool peerIsThisUser(qintptr descriptor, QString* why)
{
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return refuse(why, QStringLiteral("the other end of the socket cannot be told"));
    if (peer.uid != ::getuid())
        return refuse(
            why, QStringLiteral("the other end of the socket runs as %1, not as this user").arg(userName(peer.uid)));
    return true;
}

QByteArray frame(const QJsonObject& message, Order order)
{
    const QByteArray json = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray out(4, '\0');
    const auto size = static_cast<quint32>(json.size());
    if (order == Order::Big)
        qToBigEndian(size, out.data());
    else
        std::memcpy(out.data(), &size, 4);
    return out + json;
}

Taken take(QByteArray& buffer, Order order)
{
    if (buffer.size() < 4)
        return {};
    quint32 size = 0;
    if (order == Order::Big)
        size = qFromBigEndian<quint32>(buffer.constData());
    else
        std::memcpy(&size, buffer.constData(), 4);
    if (size > static_cast<quint32>(kMaxMessage))
        return {std::nullopt, QStringLiteral("a message of %1 bytes is larger than allowed").arg(size), true};
    if (buffer.size() < 4 + qsizetype(size))
        return {};
    const QByteArray json = buffer.mid(4, size);
    buffer.remove(0, 4 + size);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {std::nullopt, QStringLiteral("a message that is no JSON object")};
    return {doc.object(), {}};
}

std::optional<QJsonObject> validReply(const QJsonObject& message)
{
    constexpr qsizetype kMaxText = 64 * 1024;
    const QJsonValue id = message.value(QStringLiteral("id"));
    if (!id.isDouble() || id.toDouble() < 1 || id.toDouble() != double(id.toInteger()))
        return std::nullopt;
    if (!message.value(QStringLiteral("ok")).isBool())
        return std::nullopt;
    QJsonObject out{{QStringLiteral("id"), id.toInteger()},
                    {QStringLiteral("ok"), message.value(QStringLiteral("ok")).toBool()}};
    for (const char* key : {"url", "title", "error"}) {
        const QJsonValue v = message.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            continue;
        if (!v.isString() || v.toString().size() > kMaxText)
            return std::nullopt;
        out.insert(QLatin1String(key), v.toString());
    }
    return out;
}

} // namespace BridgeProtocol
