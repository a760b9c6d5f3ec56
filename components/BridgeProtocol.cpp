#include "BridgeProtocol.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QtEndian>
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
    return QStringLiteral("/tmp/lynkor-%1/browser-link").arg(::getuid());
}

bool preparePrivateFolder(const QString& folder, QString* why)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        if (why)
            *why = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    struct stat st = {};
    // The folder must be the user's own, and no one else's to enter.
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        if (why)
            *why = QStringLiteral("%1 is not a private folder of this user").arg(folder);
        return false;
    }
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
        return {std::nullopt, QStringLiteral("a message of %1 bytes is larger than allowed").arg(size)};
    if (buffer.size() < 4 + qsizetype(size))
        return {};
    const QByteArray json = buffer.mid(4, size);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {std::nullopt, QStringLiteral("a message that is no JSON object")};
    buffer.remove(0, 4 + size);
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
