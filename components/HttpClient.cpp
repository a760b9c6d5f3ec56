#include "HttpClient.h"

#include "CurlInit.h"

#include <QHash>
#include <QPointer>
#include <curl/curl.h>

#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

QString errorText(CURLcode code)
{
    return QString::fromUtf8(curl_easy_strerror(code));
}

HttpResult abortedResult()
{
    HttpResult result;
    result.aborted = true;
    result.error = errorText(CURLE_ABORTED_BY_CALLBACK);
    return result;
}

// A value ends at the first line break: what follows would otherwise go out
// as a request header of its own.
QByteArray headerValue(const QByteArray& value)
{
    qsizetype end = value.size();
    for (const char c : {'\r', '\n', '\0'}) {
        const qsizetype at = value.indexOf(c);
        if (at >= 0 && at < end)
            end = at;
    }
    return value.left(end);
}

} // namespace

// What the worker reports; the owner routes it to the signals or to a job's
// callback on the user-interface thread.
struct HttpClient::Owner
{
    explicit Owner(HttpClient* client) : q(client) {}

    struct Job
    {
        QPointer<QObject> context;
        Done done;
    };

    void deliverHeader(quint64 id, const QByteArray& line)
    {
        if (id == current)
            emit q->headerLine(line);
    }
    void deliverBegin(quint64 id, int statusCode)
    {
        if (id == current)
            emit q->documentBegin(statusCode);
    }
    void deliverData(quint64 id, const QByteArray& chunk)
    {
        if (id == current)
            emit q->documentData(chunk);
    }
    void deliverEnd(quint64 id, const HttpResult& result)
    {
        if (id != current)
            return;
        current = 0;
        if (result.ok) {
            const QPointer<HttpClient> alive(q);
            emit q->documentEnd();
            if (!alive)
                return;
        }
        finish(result);
    }
    void finish(const HttpResult& result)
    {
        --undelivered;
        emit q->requestDone(result);
    }
    void deliverJob(quint64 id, const HttpResult& result)
    {
        const auto it = jobs.find(id);
        if (it == jobs.end())
            return;
        Job job = std::move(it->second);
        jobs.erase(it);
        if (job.context)
            job.done(result);
    }

    HttpClient* const q;
    std::unique_ptr<Engine> engine;
    quint64 lastId = 0;
    quint64 current = 0; // the request of get(); 0 when none runs or it was aborted
    int undelivered = 0; // requests of get() whose requestDone is still to come
    std::map<quint64, Job> jobs;
    QByteArray trusted;
};

// The worker thread and its transfers.
struct HttpClient::Engine
{
    struct Transfer
    {
        quint64 id = 0;
        bool streamed = false; // reported event by event (get())
        QByteArray url;
        HttpOptions options;
        QByteArray trusted; // certificates to check against; "" for the system's
        CURL* easy = nullptr;
        curl_slist* headers = nullptr;
        QByteArray body;
        bool begun = false;
        bool truncated = false;
        bool headersDone = false;
        QList<QByteArray> headerLines;
        Engine* engine = nullptr;
    };

    explicit Engine(HttpClient* client) : q(client)
    {
        initCurl();
        multi = curl_multi_init();
        thread = std::thread([this] { run(); });
    }
    ~Engine()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        curl_multi_wakeup(multi);
        thread.join();
        curl_multi_cleanup(multi);
    }

    // Any thread.
    void start(std::unique_ptr<Transfer> t)
    {
        {
            std::lock_guard lock(mutex);
            incoming.push_back(std::move(t));
        }
        curl_multi_wakeup(multi);
    }
    void cancel(quint64 id)
    {
        {
            std::lock_guard lock(mutex);
            cancels.push_back(id);
        }
        curl_multi_wakeup(multi);
    }

    template <typename F> void post(F&& f) { QMetaObject::invokeMethod(q, std::forward<F>(f), Qt::QueuedConnection); }

    // Worker thread.
    void run();
    bool begin(Transfer& t);
    void end(CURL* easy, CURLcode code);
    void drop(CURL* easy);
    static size_t header(char* data, size_t size, size_t count, void* self);
    static size_t write(char* data, size_t size, size_t count, void* self);

    HttpClient* const q;
    CURLM* multi = nullptr;
    std::thread thread;
    std::mutex mutex;
    std::deque<std::unique_ptr<Transfer>> incoming;
    std::vector<quint64> cancels;
    bool stopping = false;
    std::map<CURL*, std::unique_ptr<Transfer>> running;
};

size_t HttpClient::Engine::header(char* data, size_t size, size_t count, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    const size_t n = size * count;
    if (!t->streamed && t->options.headersOnly && t->headerLines.size() < HttpResult::kMaxHeaderLines) {
        QByteArray line(data, qsizetype(std::min<size_t>(n, HttpResult::kMaxHeaderLine)));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        t->headerLines << line;
    }
    if (t->streamed) {
        QByteArray line(data, qsizetype(n));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        HttpClient::Owner* owner = t->engine->q->m.get();
        const quint64 id = t->id;
        t->engine->post([owner, id, line] { owner->deliverHeader(id, line); });
    }
    return n;
}

size_t HttpClient::Engine::write(char* data, size_t size, size_t count, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    const size_t n = size * count;
    if (t->streamed) {
        HttpClient::Owner* owner = t->engine->q->m.get();
        const quint64 id = t->id;
        if (!t->begun) {
            t->begun = true;
            long code = 0;
            curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
            const int status = int(code);
            t->engine->post([owner, id, status] { owner->deliverBegin(id, status); });
        }
        const QByteArray chunk(data, qsizetype(n));
        t->engine->post([owner, id, chunk] { owner->deliverData(id, chunk); });
        return n;
    }
    if (t->options.headersOnly) {
        t->headersDone = true;
        return 0; // the document itself is not wanted
    }
    const qint64 max = t->options.maxBodyBytes;
    if (max > 0 && t->body.size() + qint64(n) > max) {
        t->body.append(data, qsizetype(max - t->body.size()));
        t->truncated = true;
        return 0; // the rest is not wanted
    }
    t->body.append(data, qsizetype(n));
    return n;
}

bool HttpClient::Engine::begin(Transfer& t)
{
    // curl reads the address up to its first NUL: a different address.
    if (t.url.contains('\0'))
        return false;
    CURL* easy = curl_easy_init();
    if (!easy)
        return false;
    t.easy = easy;
    t.engine = this;
    curl_easy_setopt(easy, CURLOPT_URL, t.url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Neither the address nor a redirect may reach file:// or anything but the web.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, t.options.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(qMax(0, t.options.timeoutMs)));
    // Removing a transfer during a name look-up must not wait for the resolver thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    if (!t.trusted.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, t.trusted.constData());
    const QByteArray userAgent = headerValue(t.options.userAgent);
    if (!userAgent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.constData());
    const QByteArray cookie = headerValue(t.options.cookie);
    if (!cookie.isEmpty())
        curl_easy_setopt(easy, CURLOPT_COOKIE, cookie.constData());
    const QByteArray accept = headerValue(t.options.accept);
    if (!accept.isEmpty()) {
        t.headers = curl_slist_append(nullptr, QByteArray("Accept: " + accept).constData());
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, t.headers);
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Engine::header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Engine::write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &t);
    return curl_multi_add_handle(multi, easy) == CURLM_OK;
}

void HttpClient::Engine::drop(CURL* easy)
{
    const auto it = running.find(easy);
    if (it == running.end())
        return;
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(it->second->headers);
    running.erase(it);
}

void HttpClient::Engine::end(CURL* easy, CURLcode code)
{
    const auto it = running.find(easy);
    if (it == running.end())
        return;
    Transfer& t = *it->second;
    HttpResult result;
    result.truncated = t.truncated;
    result.timedOut = code == CURLE_OPERATION_TIMEDOUT;
    result.ok = code == CURLE_OK || ((t.truncated || t.headersDone) && code == CURLE_WRITE_ERROR);
    result.headerLines = std::move(t.headerLines);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    result.statusCode = int(status);
    char* effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        result.finalUrl = effective;
    if (!result.ok)
        result.error = errorText(code);
    HttpClient::Owner* owner = q->m.get();
    const quint64 id = t.id;
    if (t.streamed) {
        if (result.ok && !t.begun) {
            const int s = result.statusCode;
            post([owner, id, s] { owner->deliverBegin(id, s); });
        }
        post([owner, id, result] { owner->deliverEnd(id, result); });
    } else {
        result.body = std::move(t.body);
        post([owner, id, result] { owner->deliverJob(id, result); });
    }
    drop(easy);
}

void HttpClient::Engine::run()
{
    for (;;) {
        std::deque<std::unique_ptr<Transfer>> fresh;
        std::vector<quint64> cancelled;
        {
            std::lock_guard lock(mutex);
            if (stopping)
                break;
            fresh.swap(incoming);
            cancelled.swap(cancels);
        }
        for (quint64 id : cancelled) {
            // A cancelled transfer may still be waiting to start.
            for (auto it = fresh.begin(); it != fresh.end(); ++it)
                if ((*it)->id == id) {
                    fresh.erase(it);
                    break;
                }
            for (auto& [easy, t] : running)
                if (t->id == id) {
                    drop(easy);
                    break;
                }
        }
        for (std::unique_ptr<Transfer>& t : fresh) {
            Transfer* raw = t.get();
            if (begin(*raw)) {
                running.emplace(raw->easy, std::move(t));
                continue;
            }
            if (raw->easy)
                curl_easy_cleanup(raw->easy);
            curl_slist_free_all(raw->headers);
            HttpResult result;
            result.error = errorText(raw->url.contains('\0') ? CURLE_URL_MALFORMAT : CURLE_FAILED_INIT);
            HttpClient::Owner* owner = q->m.get();
            const quint64 id = raw->id;
            if (raw->streamed)
                post([owner, id, result] { owner->deliverEnd(id, result); });
            else
                post([owner, id, result] { owner->deliverJob(id, result); });
        }
        int active = 0;
        curl_multi_perform(multi, &active);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE)
                end(message->easy_handle, message->data.result);
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    while (!running.empty())
        drop(running.begin()->first);
}

HttpClient::HttpClient(QObject* parent) : QObject(parent), m(std::make_unique<Owner>(this)) {}

HttpClient::~HttpClient()
{
    // The worker stops before anything it posted could be delivered: events
    // queued for this object die with it.
    m->engine.reset();
}

void HttpClient::get(const QByteArray& url, const Options& options)
{
    abort();
    if (!m->engine)
        m->engine = std::make_unique<Engine>(this);
    auto t = std::make_unique<Engine::Transfer>();
    t->id = ++m->lastId;
    t->streamed = true;
    t->url = url;
    t->options = options;
    t->trusted = m->trusted;
    m->current = t->id;
    ++m->undelivered;
    m->engine->start(std::move(t));
}

void HttpClient::abort()
{
    if (!m->current)
        return;
    const quint64 id = std::exchange(m->current, 0);
    m->engine->cancel(id);
    Owner* owner = m.get();
    QMetaObject::invokeMethod(
        this, [owner] { owner->finish(abortedResult()); }, Qt::QueuedConnection);
}

bool HttpClient::busy() const
{
    return m->undelivered > 0;
}

quint64 HttpClient::request(const QByteArray& url, const Options& options, QObject* context, Done done)
{
    if (!m->engine)
        m->engine = std::make_unique<Engine>(this);
    auto t = std::make_unique<Engine::Transfer>();
    const quint64 id = ++m->lastId;
    t->id = id;
    t->url = url;
    t->options = options;
    t->trusted = m->trusted;
    m->jobs.emplace(id, Owner::Job{context, std::move(done)});
    m->engine->start(std::move(t));
    return id;
}

void HttpClient::cancel(quint64 job)
{
    if (m->jobs.erase(job) && m->engine)
        m->engine->cancel(job);
}

int HttpClient::jobsInFlight() const
{
    return static_cast<int>(m->jobs.size());
}

void HttpClient::setTrustedCertificates(const QByteArray& pemFile)
{
    m->trusted = pemFile;
}
