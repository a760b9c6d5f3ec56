#pragma once

#include "HttpRequests.h"

#include <memory>

// An HTTP client on libcurl. All transfers of a client run on one worker
// thread with one curl multi handle, so any number can be in flight; what
// they report is delivered on the thread that owns the client (the
// user-interface thread), in order, and never inside the call that started
// it. libcurl stays inside components/.
//
// Two ways to use it:
// - get() and the signals: one request at a time, reported event by event
//   (header lines of every hop, document begin, data, end, done);
// - request(): a job whose whole result (body collected) goes to a callback
//   bound to a context object; any number at once.
class HttpClient : public QObject, public HttpRequests
{
    Q_OBJECT
public:
    using Options = HttpOptions;
    using Result = HttpResult;
    using Done = HttpRequests::Done;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // Starts a GET reported through the signals; an earlier one still running
    // is aborted first.
    void get(const QByteArray& url, const Options& options = {});
    // Stops the request of get(). requestDone() for it arrives later, never
    // inside this call; nothing else of it arrives any more.
    void abort();
    bool busy() const;

    // Starts a GET job. done runs later on the user-interface thread, unless
    // context is gone by then or the job was cancelled. Returns the job's id.
    quint64 request(const QByteArray& url, const Options& options, QObject* context, Done done) override;
    // Stops a job; its callback never runs. Unknown or finished ids are ignored.
    void cancel(quint64 job) override;
    // Jobs started and not yet delivered or cancelled.
    int jobsInFlight() const;
    // The certificates secure sites are checked against instead of the
    // system's (a PEM file: a private network's own authority); "" for the
    // system's. Applies to requests started afterwards.
    void setTrustedCertificates(const QByteArray& pemFile);

signals:
    // Every raw header line of every hop, status line first; an empty line
    // ends a hop.
    void headerLine(const QByteArray& line);
    void documentBegin(int statusCode);
    void documentData(const QByteArray& chunk);
    void documentEnd();
    void requestDone(const HttpClient::Result& result);

private:
    struct Engine;
    struct Owner;
    std::unique_ptr<Owner> m;
};
