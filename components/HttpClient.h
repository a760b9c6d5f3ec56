#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

struct HttpOptions
{
    QByteArray userAgent;
    QByteArray accept;
    QByteArray cookie;
    int timeoutMs = 0; // 0 = none
    bool followRedirects = true;
};

struct HttpResult
{
    bool ok = false; // a complete answer arrived (any status code)
    bool aborted = false;
    int statusCode = 0; // of the last hop
    QString error;      // why it failed
    QByteArray body;    // only for fetch()
};

// An HTTP client on libcurl: one GET at a time, run on a worker thread, its
// events delivered on the thread that owns the client (the user-interface
// thread), in order. libcurl stays inside components/.
class HttpClient : public QObject
{
    Q_OBJECT
public:
    using Options = HttpOptions;
    using Result = HttpResult;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // Starts a GET; an earlier request still running is aborted first.
    void get(const QByteArray& url, const Options& options = {});
    // Stops the running request. requestDone() for it arrives later, never
    // inside this call.
    void abort();
    bool busy() const;

    // GET that returns when the request is done, the event loop running
    // meanwhile (the window stays responsive). The body is collected.
    Result fetch(const QByteArray& url, const Options& options = {});

signals:
    // Every raw header line of every hop, status line first; an empty line
    // ends a hop.
    void headerLine(const QByteArray& line);
    void documentBegin(int statusCode);
    void documentData(const QByteArray& chunk);
    void documentEnd();
    void requestDone(const HttpClient::Result& result);

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

// GetWebIcon: downloads one address into a file on a worker thread while the
// caller waits with the event loop running.
class Downloader
{
public:
    Downloader();
    ~Downloader();
    // Leaves the body in target (replaced); false when nothing could be had
    // (an HTTP status of 400 or more counts as nothing) or when aborted.
    bool get(const QByteArray& url, const QString& target, const HttpClient::Options& options = {});
    // Stops a running get() from another event handler (the watchdog).
    void abort();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
