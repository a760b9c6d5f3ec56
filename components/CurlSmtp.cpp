#include "CurlSmtp.h"

#include "CurlInit.h"

#include <QHash>
#include <QPointer>
#include <QSysInfo>
#include <QUrl>

#include <atomic>
#include <thread>

struct CurlSmtp::Job
{
    SmtpJob job;
    QPointer<QObject> context;
    Done done;
    std::atomic<bool> cancelled{false};
    std::thread thread;
    // Worker thread only, until it ends.
    QByteArray lastReply;
    QByteArray failureReply;
    qsizetype sentBytes = 0;
};

struct CurlSmtp::Jobs
{
    QHash<quint64, std::shared_ptr<Job>> running;
    quint64 nextId = 1;
};

namespace {

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* job = static_cast<CurlSmtp::Job*>(user);
    const QByteArray& message = job->job.message;
    const size_t left = size_t(message.size() - job->sentBytes);
    const size_t n = std::min(left, size * count);
    memcpy(buffer, message.constData() + job->sentBytes, n);
    job->sentBytes += qsizetype(n);
    return n;
}

// The server's replies arrive as incoming header data; the last one, and the
// last refusal (4xx, 5xx), say why a transfer failed.
int watchReplies(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    if (type != CURLINFO_HEADER_IN)
        return 0;
    auto* job = static_cast<CurlSmtp::Job*>(user);
    const QByteArray line = QByteArray(data, qsizetype(size)).trimmed();
    if (line.isEmpty())
        return 0;
    job->lastReply = line;
    if (line.startsWith('4') || line.startsWith('5'))
        job->failureReply = line;
    return 0;
}

int checkCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<CurlSmtp::Job*>(user)->cancelled.load() ? 1 : 0;
}

QString hostOf(const QByteArray& url)
{
    return QUrl(QString::fromUtf8(url)).host();
}

SmtpResult transfer(CurlSmtp::Job& job)
{
    SmtpResult result;
    const QByteArray url = CurlSmtp::serverUrl(job.job.server);
    if (url.isEmpty()) {
        result.error = job.job.server.trimmed().isEmpty()
                           ? QStringLiteral("No host specified")
                           : QStringLiteral("'%1' is not a mail server address (use host, host:port, smtp://host:port "
                                            "or smtps://host:port).")
                                 .arg(QString::fromUtf8(job.job.server));
        return result;
    }
    const QString host = hostOf(url);
    CURL* easy = curl_easy_init();
    if (!easy) {
        result.error = QStringLiteral("The mail client could not be started.");
        return result;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray from = "<" + job.job.sender + ">";
    const QByteArray to = "<" + job.job.recipient + ">";
    curl_slist* recipients = curl_slist_append(nullptr, to.constData());
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(easy, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(easy, CURLOPT_READDATA, &job);
    curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, curl_off_t(job.job.message.size()));
    curl_easy_setopt(easy, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(easy, CURLOPT_NETRC, long(CURL_NETRC_OPTIONAL));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, long(job.job.replyTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(job.job.replyTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, long(job.job.totalTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, watchReplies);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &job);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, checkCancel);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &job);

    const CURLcode code = curl_easy_perform(easy);
    long replyCode = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &replyCode);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(easy);

    result.replyCode = int(replyCode);
    const QByteArray reply = job.failureReply.isEmpty() ? job.lastReply : job.failureReply;
    result.reply = QString::fromUtf8(reply);
    const QString detail = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    switch (code) {
    case CURLE_OK:
        result.sent = true;
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        result.cancelled = true;
        result.error = QStringLiteral("Sending was cancelled.");
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        result.error = QStringLiteral("Can't connect to host '%1' (%2)").arg(host, detail);
        break;
    case CURLE_OPERATION_TIMEDOUT:
        result.timedOut = true;
        result.error = QStringLiteral("The mail server '%1' did not answer in time (%2)").arg(host, detail);
        break;
    case CURLE_LOGIN_DENIED:
        result.error = QStringLiteral("The mail server '%1' refused the user name and password of your ~/.netrc "
                                      "entry: %2")
                           .arg(host, reply.isEmpty() ? detail : result.reply);
        break;
    default:
        result.error = job.failureReply.isEmpty()
                           ? QStringLiteral("The mail server '%1' did not take the message (%2)").arg(host, detail)
                           : QStringLiteral("The mail server '%1' answered: %2").arg(host, result.reply);
        break;
    }
    return result;
}

} // namespace

CurlSmtp::CurlSmtp(QObject* parent) : QObject(parent), m(std::make_unique<Jobs>())
{
    initCurl();
}

CurlSmtp::~CurlSmtp()
{
    for (const auto& job : std::as_const(m->running))
        job->cancelled = true;
    for (const auto& job : std::as_const(m->running))
        if (job->thread.joinable())
            job->thread.join();
}

QByteArray CurlSmtp::serverUrl(const QByteArray& server)
{
    const QByteArray text = server.trimmed();
    if (text.isEmpty())
        return {};
    for (const char c : text)
        if (uchar(c) <= ' ' || c == 0x7f)
            return {};
    QByteArray url = text.contains("://") ? text : "smtp://" + text;
    const QUrl parsed(QString::fromUtf8(url), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() || (scheme != QLatin1String("smtp") && scheme != "smtps") ||
        !parsed.userInfo().isEmpty() || parsed.hasQuery() || parsed.hasFragment())
        return {};
    // The path is what libcurl greets the server with (EHLO): this machine's name.
    if (parsed.path().isEmpty() || parsed.path() == QLatin1String("/")) {
        QByteArray name = QSysInfo::machineHostName().toLatin1();
        if (name.isEmpty() || name.contains('/'))
            name = "localhost";
        url = scheme.toLatin1() + "://" + QUrl(parsed).authority(QUrl::FullyEncoded).toLatin1() + "/" + name;
    }
    return url;
}

quint64 CurlSmtp::send(const SmtpJob& smtpJob, QObject* context, Done done)
{
    const quint64 id = m->nextId++;
    auto job = std::make_shared<Job>();
    job->job = smtpJob;
    job->context = context;
    job->done = std::move(done);
    m->running.insert(id, job);
    job->thread = std::thread([this, job, id] {
        const SmtpResult result = transfer(*job);
        QMetaObject::invokeMethod(
            this,
            [this, id, result] {
                const std::shared_ptr<Job> ended = m->running.take(id);
                if (!ended)
                    return;
                ended->thread.join();
                if (!ended->cancelled && ended->context && ended->done)
                    ended->done(result);
            },
            Qt::QueuedConnection);
    });
    return id;
}

void CurlSmtp::cancel(quint64 id)
{
    const auto it = m->running.constFind(id);
    if (it == m->running.constEnd())
        return;
    (*it)->cancelled = true;
    (*it)->done = nullptr;
}

int CurlSmtp::jobsInFlight() const
{
    int n = 0;
    for (const auto& job : std::as_const(m->running))
        if (!job->cancelled)
            ++n;
    return n;
}
