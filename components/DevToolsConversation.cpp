#include "DevToolsConversation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
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

// Runs the event loop until done() or the time is up.
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

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

QStringList DevToolsConversation::startArguments() const
{
    QStringList args = {QStringLiteral("--remote-debugging-port=%1").arg(m_port),
                        QStringLiteral("--user-data-dir=%1").arg(m_profile),
                        QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check")};
    // The browser's sandbox refuses to run as root.
    if (::geteuid() == 0)
        args << QStringLiteral("--no-sandbox");
    return args;
}

std::optional<QByteArray> DevToolsConversation::get(const QString& path, int timeoutMs,
                                                   const QByteArray& verb)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = m_net->sendCustomRequest(request, verb);
    bool finished = false;
    QObject::connect(reply, &QNetworkReply::finished, [&finished] { finished = true; });
    waitFor([&finished] { return finished; }, timeoutMs + 100);
    std::optional<QByteArray> result;
    if (finished && reply->error() == QNetworkReply::NoError)
        result = reply->readAll();
    else if (!finished)
        reply->abort();
    reply->deleteLater();
    return result;
}

bool DevToolsConversation::endpointAnswers(int timeoutMs)
{
    return get(QStringLiteral("/json/version"), timeoutMs).has_value();
}

bool DevToolsConversation::StartLink()
{
    m_open = false;
    if (endpointAnswers(1000)) {
        m_open = true;
        return true;
    }
    if (m_program.isEmpty() || !isChromiumFamily(m_program))
        return false;
    QDir().mkpath(m_profile);
    if (!QProcess::startDetached(QFile::decodeName(m_program), startArguments()))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < m_startWait) {
        if (endpointAnswers(500)) {
            m_open = true;
            return true;
        }
        waitFor([] { return false; }, 200);
    }
    return false;
}

QJsonArray DevToolsConversation::pages(int timeoutMs)
{
    QJsonArray pages;
    const std::optional<QByteArray> list = get(QStringLiteral("/json/list"), timeoutMs);
    if (!list)
        return pages;
    for (const QJsonValue& v : QJsonDocument::fromJson(*list).array())
        if (v.toObject().value(QStringLiteral("type")).toString() == QLatin1String("page"))
            pages.append(v);
    return pages;
}

bool DevToolsConversation::navigate(const QString& webSocketUrl, const QString& url, int timeoutMs)
{
    QWebSocket socket;
    bool connected = false;
    bool answered = false;
    bool ok = false;
    QObject::connect(&socket, &QWebSocket::connected, [&connected] { connected = true; });
    QObject::connect(&socket, &QWebSocket::textMessageReceived, [&](const QString& message) {
        const QJsonObject o = QJsonDocument::fromJson(message.toUtf8()).object();
        if (o.value(QStringLiteral("id")).toInt() != 1)
            return;
        answered = true;
        ok = !o.contains(QStringLiteral("error")) &&
             o.value(QStringLiteral("result")).toObject().value(QStringLiteral("errorText")).toString().isEmpty();
    });
    socket.open(QUrl(webSocketUrl));
    if (!waitFor([&connected] { return connected; }, timeoutMs))
        return false;
    const QJsonObject command{{QStringLiteral("id"), 1},
                              {QStringLiteral("method"), QStringLiteral("Page.navigate")},
                              {QStringLiteral("params"), QJsonObject{{QStringLiteral("url"), url}}}};
    socket.sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
    waitFor([&answered] { return answered; }, timeoutMs);
    socket.close();
    return answered && ok;
}

std::optional<QByteArray> DevToolsConversation::Request(const QByteArray& item, int timeoutMs)
{
    if (!m_open)
        return std::nullopt;
    if (m_topic == "WWW_GetWindowInfo") {
        const QJsonArray list = pages(timeoutMs);
        if (list.isEmpty())
            return kRefused;
        const QJsonObject page = list.first().toObject();
        QString url = page.value(QStringLiteral("url")).toString();
        QString title = page.value(QStringLiteral("title")).toString();
        // A double quote would end the field early in the browser's reply form.
        url.replace(QLatin1Char('"'), QStringLiteral("%22"));
        title.replace(QLatin1Char('"'), QLatin1Char('\''));
        return QStringLiteral("\"%1\",\"%2\",\"\"").arg(url, title).toUtf8();
    }
    if (m_topic == "WWW_Activate") {
        const QJsonArray list = pages(timeoutMs);
        if (!list.isEmpty())
            get(QStringLiteral("/json/activate/") + list.first().toObject().value(QStringLiteral("id")).toString(),
                timeoutMs);
        return kAccepted;
    }
    if (m_topic == "WWW_OpenURL") {
        const QString url = quotedItem(item);
        if (url.isEmpty())
            return kRefused;
        const QJsonArray list = pages(timeoutMs);
        if (list.isEmpty()) {
            const QByteArray encoded = QUrl::toPercentEncoding(url);
            return get(QStringLiteral("/json/new?") + QString::fromLatin1(encoded), timeoutMs, "PUT")
                       ? kAccepted
                       : kRefused;
        }
        const QString socketUrl = list.first().toObject().value(QStringLiteral("webSocketDebuggerUrl")).toString();
        return navigate(socketUrl, url, timeoutMs) ? kAccepted : kRefused;
    }
    return std::nullopt;
}
