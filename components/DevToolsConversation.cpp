#include "DevToolsConversation.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <unistd.h>

namespace {

// A window number in the reply's first four bytes: anything but 0xFFFFFFFF
// means the browser accepted the request.
const QByteArray kAccepted("\x01\x00\x00\x00", 4);
const QByteArray kRefused("\xFF\xFF\xFF\xFF", 4);

// Whether the endpoint is up: a refused connection answers at once, a hung
// one is not waited for long.
constexpr int kProbeMs = 400;
constexpr int kPollMs = 150;
// A browser started for an earlier attempt is still coming up: it is not
// started again within this time.
constexpr int kRestartGapMs = 20000;
// Page.navigate answers only once the new page has begun to arrive. The
// browser has taken the address when no protocol error comes back at once.
constexpr int kNavigateGraceMs = 300;

QString quotedItem(const QByteArray& item)
{
    const qsizetype open = item.indexOf('"');
    const qsizetype close = open < 0 ? -1 : item.indexOf('"', open + 1);
    if (close < 0)
        return {};
    return QString::fromUtf8(item.mid(open + 1, close - open - 1));
}

} // namespace

DevToolsConversation::DevToolsConversation(int port, QString profileFolder)
    : m_port(port), m_profile(std::move(profileFolder)), m_net(new QNetworkAccessManager)
{
    m_clock.start();
}

DevToolsConversation::~DevToolsConversation()
{
    delete m_net;
}

void DevToolsConversation::SetLink(const QByteArray&, const QByteArray& topic)
{
    m_topic = topic;
    m_open = false;
}

bool DevToolsConversation::isChromiumFamily(const QByteArray& program)
{
    const QByteArray name = program.mid(program.lastIndexOf('/') + 1).toLower();
    for (const char* family : {"chrom", "brave", "edge", "vivaldi", "opera"})
        if (name.contains(family))
            return true;
    return false;
}

QString DevToolsConversation::advice() const
{
    return QStringLiteral("Lynkor reads the page from a Chromium-family browser (Chromium, Chrome, Brave, Edge, "
                          "Vivaldi, Opera) that listens on its debugging port %1:\n"
                          "- choose such a browser in the Browsers menu and \"Use Single Browser Window\": the "
                          "browser window Lynkor then opens can be read, or\n"
                          "- start your browser yourself with the option --remote-debugging-port=%1.")
        .arg(m_port);
}

QStringList DevToolsConversation::startArguments() const
{
    QStringList args = {QStringLiteral("--remote-debugging-port=%1").arg(m_port),
                        QStringLiteral("--user-data-dir=%1").arg(m_profile), QStringLiteral("--no-first-run"),
                        QStringLiteral("--no-default-browser-check")};
    // The browser's sandbox refuses to run as root.
    if (::geteuid() == 0)
        args << QStringLiteral("--no-sandbox");
    return args;
}

void DevToolsConversation::get(const QString& path, int timeoutMs, const QByteArray& verb, QObject* context, Bytes done)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = m_net->sendCustomRequest(request, verb);
    const QPointer<QObject> target(context);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, target, done] {
        reply->deleteLater();
        if (!target)
            return;
        if (reply->error() == QNetworkReply::NoError)
            done(reply->readAll());
        else
            done(std::nullopt);
    });
}

void DevToolsConversation::waitForEndpoint(qint64 deadline, QObject* context, Opened done)
{
    get(QStringLiteral("/json/version"), kProbeMs, "GET", context, [=, this](const std::optional<QByteArray>& r) {
        if (r) {
            m_open = true;
            done(true);
            return;
        }
        if (m_clock.elapsed() >= deadline) {
            done(false);
            return;
        }
        QTimer::singleShot(kPollMs, context, [=, this] { waitForEndpoint(deadline, context, done); });
    });
}

void DevToolsConversation::StartLink(bool mayStart, QObject* context, Opened done)
{
    m_open = false;
    const bool starting = m_started.isValid() && m_started.elapsed() < kRestartGapMs;
    get(QStringLiteral("/json/version"), kProbeMs, "GET", context, [=, this](const std::optional<QByteArray>& r) {
        if (r) {
            m_open = true;
            done(true);
            return;
        }
        if (!mayStart || m_program.isEmpty() || !isChromiumFamily(m_program)) {
            done(false);
            return;
        }
        if (!starting) {
            QDir().mkpath(m_profile);
            if (!QProcess::startDetached(QFile::decodeName(m_program), startArguments())) {
                done(false);
                return;
            }
            m_started.start();
        }
        waitForEndpoint(m_clock.elapsed() + m_startWait, context, done);
    });
}

void DevToolsConversation::pages(int timeoutMs, bool bookmarkableOnly, QObject* context, Pages done)
{
    get(QStringLiteral("/json/list"), timeoutMs, "GET", context, [=](const std::optional<QByteArray>& list) {
        QJsonArray pages;
        if (list) {
            for (const QJsonValue& v : QJsonDocument::fromJson(*list).array()) {
                const QJsonObject o = v.toObject();
                if (o.value(QStringLiteral("type")).toString() != QLatin1String("page"))
                    continue;
                if (bookmarkableOnly && !isBookmarkablePage(o.value(QStringLiteral("url")).toString()))
                    continue;
                pages.append(v);
            }
        }
        done(pages);
    });
}

void DevToolsConversation::navigate(const QString& webSocketUrl, const QString& url, int timeoutMs, QObject* context,
                                    Reply done)
{
    // One answer only, from whichever comes first.
    struct State
    {
        QWebSocket socket;
        QTimer timer;
        bool answered = false;
    };
    auto* s = new State;
    const QPointer<QObject> target(context);
    auto finish = [s, target, done](const std::optional<QByteArray>& reply) {
        if (s->answered)
            return;
        s->answered = true;
        s->timer.stop();
        s->socket.abort();
        QTimer::singleShot(0, [s] { delete s; });
        if (target)
            done(reply);
    };
    s->timer.setSingleShot(true);
    // No connection within the time-out: no reply.
    QObject::connect(&s->timer, &QTimer::timeout, [finish] { finish(std::nullopt); });
    QObject::connect(&s->socket, &QWebSocket::connected, [s, url, finish] {
        const QJsonObject command{{QStringLiteral("id"), 1},
                                  {QStringLiteral("method"), QStringLiteral("Page.navigate")},
                                  {QStringLiteral("params"), QJsonObject{{QStringLiteral("url"), url}}}};
        s->socket.sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
        QObject::disconnect(&s->timer, nullptr, nullptr, nullptr);
        QObject::connect(&s->timer, &QTimer::timeout, [finish] { finish(kAccepted); });
        s->timer.start(kNavigateGraceMs);
    });
    QObject::connect(&s->socket, &QWebSocket::textMessageReceived, [finish](const QString& message) {
        const QJsonObject o = QJsonDocument::fromJson(message.toUtf8()).object();
        if (o.value(QStringLiteral("id")).toInt() != 1)
            return;
        // A page that fails to load (errorText) is the browser's business; a
        // protocol error means the address was not taken.
        finish(o.contains(QStringLiteral("error")) ? kRefused : kAccepted);
    });
    QObject::connect(&s->socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error),
                     [finish](QAbstractSocket::SocketError) { finish(std::nullopt); });
    s->timer.start(timeoutMs);
    s->socket.open(QUrl(webSocketUrl));
}

void DevToolsConversation::Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done)
{
    const QPointer<QObject> target(context);
    auto answer = [target, done](const std::optional<QByteArray>& reply) {
        if (target)
            done(reply);
    };
    if (!m_open) {
        QTimer::singleShot(0, context, [done] { done(std::nullopt); });
        return;
    }
    if (m_topic == "WWW_GetWindowInfo") {
        pages(timeoutMs, true, context, [answer](const QJsonArray& list) {
            // No page that could be kept: an empty answer, not an error.
            if (list.isEmpty()) {
                answer(QByteArray());
                return;
            }
            const QJsonObject page = list.first().toObject();
            QString url = page.value(QStringLiteral("url")).toString();
            QString title = page.value(QStringLiteral("title")).toString();
            // A double quote would end the field early in the browser's reply form.
            url.replace(QLatin1Char('"'), QStringLiteral("%22"));
            title.replace(QLatin1Char('"'), QLatin1Char('\''));
            answer(QStringLiteral("\"%1\",\"%2\",\"\"").arg(url, title).toUtf8());
        });
        return;
    }
    if (m_topic == "WWW_Activate") {
        pages(timeoutMs, false, context, [=, this](const QJsonArray& list) {
            if (list.isEmpty()) {
                answer(kAccepted);
                return;
            }
            const QString id = list.first().toObject().value(QStringLiteral("id")).toString();
            get(QStringLiteral("/json/activate/") + id, timeoutMs, "GET", context,
                [answer](const std::optional<QByteArray>&) { answer(kAccepted); });
        });
        return;
    }
    if (m_topic == "WWW_OpenURL") {
        const QString url = quotedItem(item);
        if (url.isEmpty()) {
            QTimer::singleShot(0, context, [answer] { answer(kRefused); });
            return;
        }
        pages(timeoutMs, false, context, [=, this](const QJsonArray& list) {
            if (list.isEmpty()) {
                const QByteArray encoded = QUrl::toPercentEncoding(url);
                get(QStringLiteral("/json/new?") + QString::fromLatin1(encoded), timeoutMs, "PUT", context,
                    [answer](const std::optional<QByteArray>& r) { answer(r ? kAccepted : kRefused); });
                return;
            }
            const QString socketUrl = list.first().toObject().value(QStringLiteral("webSocketDebuggerUrl")).toString();
            navigate(socketUrl, url, timeoutMs, context, answer);
        });
        return;
    }
    QTimer::singleShot(0, context, [done] { done(std::nullopt); });
}
