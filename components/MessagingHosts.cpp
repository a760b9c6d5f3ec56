#include "MessagingHosts.h"

#include "BridgeProtocol.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace MessagingHosts {

QList<Browser> knownBrowsers(const QString& home, const QString& configHome)
{
    const QString config = configHome.startsWith(QLatin1Char('/')) ? configHome : home + QStringLiteral("/.config");
    return {
        {QStringLiteral("Chromium"), config + QStringLiteral("/chromium/NativeMessagingHosts"), false},
        {QStringLiteral("Google Chrome"), config + QStringLiteral("/google-chrome/NativeMessagingHosts"), false},
        {QStringLiteral("Brave"), config + QStringLiteral("/BraveSoftware/Brave-Browser/NativeMessagingHosts"), false},
        {QStringLiteral("Microsoft Edge"), config + QStringLiteral("/microsoft-edge/NativeMessagingHosts"), false},
        {QStringLiteral("Vivaldi"), config + QStringLiteral("/vivaldi/NativeMessagingHosts"), false},
        {QStringLiteral("Firefox"), home + QStringLiteral("/.mozilla/native-messaging-hosts"), true},
    };
}

QByteArray manifest(const QString& hostPath, bool firefox)
{
    QJsonObject m{{QStringLiteral("name"), QLatin1String(BridgeProtocol::kHostName)},
                  {QStringLiteral("description"), QStringLiteral("Lynkor's browser link")},
                  {QStringLiteral("path"), hostPath},
                  {QStringLiteral("type"), QStringLiteral("stdio")}};
    if (firefox)
        m.insert(QStringLiteral("allowed_extensions"), QJsonArray{QLatin1String(BridgeProtocol::kFirefoxExtensionId)});
    else
        m.insert(
            QStringLiteral("allowed_origins"),
            QJsonArray{
                QStringLiteral("chrome-extension://%1/").arg(QLatin1String(BridgeProtocol::kChromiumExtensionId))});
    return QJsonDocument(m).toJson();
}

Result install(const QString& hostPath, const QString& home, const QString& configHome)
{
    Result r;
    for (const Browser& b : knownBrowsers(home, configHome)) {
        QSaveFile file(b.folder + QLatin1Char('/') + QLatin1String(BridgeProtocol::kHostName) +
                       QStringLiteral(".json"));
        if (!QDir().mkpath(b.folder) || !file.open(QIODevice::WriteOnly) ||
            file.write(manifest(hostPath, b.firefox)) < 0 || !file.commit()) {
            r.failed << QStringLiteral("%1: %2").arg(b.name, file.errorString());
            continue;
        }
        r.written << b.name;
    }
    return r;
}

} // namespace MessagingHosts
