#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

struct HttpOptions
{
    QByteArray userAgent;
    QByteArray accept;
    QByteArray cookie;
    int timeoutMs = 0; // 0 = none
    bool followRedirects = true;
    // A job keeps at most this much of the body (0 = all of it); the rest is
    // not read, and the result says it was cut.
    qint64 maxBodyBytes = 0;
};

struct HttpResult
{
    bool ok = false; // a complete answer arrived (any status code), or its first maxBodyBytes
    bool aborted = false;
    bool truncated = false; // the body was cut at maxBodyBytes
    bool timedOut = false;  // ended by timeoutMs; a job's body holds what came
    int statusCode = 0;     // of the last hop
    QString error;          // why it failed
    QByteArray body;        // jobs only
};

// HTTP GET jobs, any number at once, each answering through a callback bound
// to a context object: later, on the user-interface thread, never inside the
// call that started it, and not at all once the context is gone or the job
// was cancelled.
class HttpRequests
{
public:
    using Done = std::function<void(const HttpResult&)>;
    virtual ~HttpRequests() = default;
    // Returns the job's id.
    virtual quint64 request(const QByteArray& url, const HttpOptions& options, QObject* context, Done done) = 0;
    // Unknown or finished ids are ignored.
    virtual void cancel(quint64 job) = 0;
};
