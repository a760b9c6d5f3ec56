#include "ExtensionConversation.h"

#include "BrowserBridge.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QTimer>

namespace {

const QByteArray kAccepted("\x01\x00\x00\x00", 4);
const QByteArray kRefused("\xFF\xFF\xFF\xFF", 4);

// The fields of an OpenURL item: "address",file,window,...
QList<QByteArray> fields(const QByteArray& item)
{
    QList<QByteArray> out;
    QByteArray field;
    bool quoted = false;
    for (char c : item) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted) {
            out << field;
            field.clear();
        } else
            field += c;
    }
    out << field;
    return out;
}

// What a browser program's name says about the browser the host reported.
QString browserKind(const QString& name)
{
    const QString n = name.toLower();
    for (const char* kind : {"firefox", "chromium", "chrome", "brave", "edge", "vivaldi", "opera"})
        if (n.contains(QLatin1String(kind)))
            return QString::fromLatin1(kind);
    return n;
}

} // namespace

bool ExtensionConversation::canServe(const QByteArray&) const
{
    return m_bridge.connected();
}

QString ExtensionConversation::browserFor(const QByteArray& program) const
{
    const QString wanted = browserKind(QFileInfo(QFile::decodeName(program)).fileName());
    for (const QString& b : m_bridge.browsers())
        if (!wanted.isEmpty() && browserKind(b) == wanted)
            return b;
    return {};
}

void ExtensionConversation::StartLink(bool, QObject* context, Opened done)
{
    m_open = m_bridge.connected();
    const bool opened = m_open;
    QTimer::singleShot(0, context, [done, opened] { done(opened); });
}

void ExtensionConversation::Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done)
{
    if (!m_open) {
        QTimer::singleShot(0, context, [done] { done(std::nullopt); });
        return;
    }
    const QString browser = browserFor(m_program);
    if (m_topic == "WWW_GetWindowInfo") {
        m_bridge.request(
            {{QStringLiteral("op"), QStringLiteral("windowInfo")}}, timeoutMs, context,
            [done](const std::optional<QJsonObject>& reply) {
                if (!reply) {
                    done(std::nullopt);
                    return;
                }
                QString url = reply->value(QStringLiteral("url")).toString();
                QString title = reply->value(QStringLiteral("title")).toString();
                // No page (a window without tabs): an empty answer, not an error.
                if (!reply->value(QStringLiteral("ok")).toBool() || url.isEmpty() || !isBookmarkablePage(url)) {
                    done(QByteArray());
                    return;
                }
                // A double quote would end the field early in the reply form.
                url.replace(QLatin1Char('"'), QStringLiteral("%22"));
                title.replace(QLatin1Char('"'), QLatin1Char('\''));
                done(QStringLiteral("\"%1\",\"%2\",\"\"").arg(url, title).toUtf8());
            },
            browser);
        return;
    }
    if (m_topic == "WWW_OpenURL" || m_topic == "WWW_Activate") {
        QJsonObject params{{QStringLiteral("op"), QStringLiteral("activate")}};
        if (m_topic == "WWW_OpenURL") {
            const QList<QByteArray> f = fields(item);
            const QString url = QString::fromUtf8(f.value(0)).trimmed();
            if (url.isEmpty()) {
                QTimer::singleShot(0, context, [done] { done(kRefused); });
                return;
            }
            // Window 0 asks for a new window; any other means the one in use.
            const bool newWindow = f.value(2).trimmed() == "0" || f.value(2).trimmed() == "0x0";
            params = {{QStringLiteral("op"), QStringLiteral("open")},
                      {QStringLiteral("url"), url},
                      {QStringLiteral("where"), newWindow ? QStringLiteral("newWindow") : QStringLiteral("tab")}};
        }
        m_bridge.request(
            params, timeoutMs, context,
            [done](const std::optional<QJsonObject>& reply) {
                if (!reply)
                    done(std::nullopt);
                else
                    done(reply->value(QStringLiteral("ok")).toBool() ? kAccepted : kRefused);
            },
            browser);
        return;
    }
    QTimer::singleShot(0, context, [done] { done(std::nullopt); });
}

void LinkedConversation::setServiceApplication(const QByteArray& program)
{
    m_program = program;
    m_extension.setServiceApplication(program);
    m_fallback.setServiceApplication(program);
}

bool LinkedConversation::canServe(const QByteArray& program) const
{
    return m_extension.canServe(program) || m_fallback.canServe(program);
}

void LinkedConversation::SetLink(const QByteArray& service, const QByteArray& topic)
{
    m_extension.SetLink(service, topic);
    m_fallback.SetLink(service, topic);
}

void LinkedConversation::StartLink(bool mayStart, QObject* context, Opened done)
{
    m_usingExtension = m_extension.canServe(m_program);
    if (m_usingExtension) {
        m_extension.StartLink(mayStart, context, std::move(done));
        return;
    }
    // Only starting a browser depends on its kind; whether one answers is
    // asked of any.
    if (mayStart && !m_fallback.canServe(m_program)) {
        QTimer::singleShot(0, context, [done] { done(false); });
        return;
    }
    m_fallback.StartLink(mayStart, context, std::move(done));
}

QString LinkedConversation::advice() const
{
    const QString fallback = m_fallback.advice();
    const QString connect =
        QStringLiteral("Or connect your browser to Lynkor: Browsers → \"Connect Browsers\", then add "
                       "Lynkor's extension to the browser.");
    return fallback.isEmpty() ? connect : fallback + QLatin1Char(' ') + connect;
}
