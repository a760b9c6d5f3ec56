#include "HttpClient.h"

#include <QEventLoop>
#include <QPointer>
#include <QSaveFile>
#include <curl/curl.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

namespace {

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString errorText(CURLcode code)
{
    return QString::fromUtf8(curl_easy_strerror(code));
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

// One GET, run on the calling (worker) thread. abort() may come from any
// thread; it wakes the transfer at once instead of at curl's next poll, which
// can be a second away while a server is silent.
class Transfer
{
public:
    using LineSink = std::function<void(const QByteArray& line)>;
    // Returns false to stop the transfer (a write that failed).
    using DataSink = std::function<bool(QByteArrayView data, int statusCode)>;

    CURLcode run(const QByteArray& url, const HttpClient::Options& options,
                 const LineSink& onHeader, const DataSink& onData);
    void abort();
    bool aborted() const { return m_aborted; }
    int statusCode() const { return m_statusCode; }

    std::atomic<bool> finished{false};

private:
    static size_t header(char* data, size_t size, size_t count, void* self);
    static size_t write(char* data, size_t size, size_t count, void* self);
    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    std::atomic<bool> m_aborted{false};
    std::mutex m_mutex;
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
    const LineSink* m_onHeader = nullptr;
    const DataSink* m_onData = nullptr;
    int m_statusCode = 0;
};

void Transfer::abort()
{
    m_aborted = true;
    std::lock_guard lock(m_mutex);
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

size_t Transfer::header(char* data, size_t size, size_t count, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    const size_t n = size * count;
    if (t->m_aborted)
        return 0;
    if (*t->m_onHeader) {
        QByteArray line(data, qsizetype(n));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        (*t->m_onHeader)(line);
    }
    return n;
}

size_t Transfer::write(char* data, size_t size, size_t count, void* self)
{
    auto* t = static_cast<Transfer*>(self);
    const size_t n = size * count;
    if (t->m_aborted)
        return 0;
    long code = 0;
    curl_easy_getinfo(t->m_easy, CURLINFO_RESPONSE_CODE, &code);
    if (*t->m_onData && !(*t->m_onData)(QByteArrayView(data, qsizetype(n)), int(code)))
        return 0;
    return n;
}

int Transfer::progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(self)->m_aborted ? 1 : 0;
}

CURLcode Transfer::run(const QByteArray& url, const HttpClient::Options& options,
                       const LineSink& onHeader, const DataSink& onData)
{
    initCurl();
    // curl reads the address up to its first NUL: a different address.
    if (url.contains('\0'))
        return CURLE_URL_MALFORMAT;
    m_easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!m_easy || !multi) {
        curl_easy_cleanup(m_easy);
        curl_multi_cleanup(multi);
        m_easy = nullptr;
        return CURLE_FAILED_INIT;
    }
    m_onHeader = &onHeader;
    m_onData = &onData;

    CURL* easy = m_easy;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Neither the address nor a redirect may reach file:// or anything but the web.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, options.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(qMax(0, options.timeoutMs)));
    // An abort during a name look-up must not wait for the resolver thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);

    const QByteArray userAgent = headerValue(options.userAgent);
    if (!userAgent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.constData());
    const QByteArray cookie = headerValue(options.cookie);
    if (!cookie.isEmpty())
        curl_easy_setopt(easy, CURLOPT_COOKIE, cookie.constData());
    curl_slist* headers = nullptr;
    const QByteArray accept = headerValue(options.accept);
    if (!accept.isEmpty()) {
        headers = curl_slist_append(headers, QByteArray("Accept: " + accept).constData());
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    }

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);

    {
        std::lock_guard lock(m_mutex);
        m_multi = multi;
    }
    curl_multi_add_handle(multi, easy);
    CURLcode result = CURLE_FAILED_INIT;
    int running = 1;
    while (!m_aborted) {
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0)
            break;
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    if (m_aborted)
        result = CURLE_ABORTED_BY_CALLBACK;
    long code = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
    m_statusCode = int(code);

    {
        std::lock_guard lock(m_mutex);
        m_multi = nullptr;
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
    m_easy = nullptr;
    return result;
}

HttpClient::Result abortedResult()
{
    HttpClient::Result result;
    result.aborted = true;
    result.error = errorText(CURLE_ABORTED_BY_CALLBACK);
    return result;
}

} // namespace

// Requests are numbered; an event whose number is no longer the current one
// belongs to an aborted request and is dropped on arrival.
struct HttpClient::Worker
{
    explicit Worker(HttpClient* client) : q(client) {}

    struct Fetch
    {
        QByteArray body;
        Result result;
        bool done = false;
        QEventLoop* loop = nullptr;
    };
    struct Thread
    {
        std::shared_ptr<Transfer> transfer;
        std::thread thread;
    };

    // Worker thread.
    void run(quint64 serial, Transfer& transfer, const QByteArray& url, const Options& options);
    template <typename F> void post(F&& f)
    {
        QMetaObject::invokeMethod(q, std::forward<F>(f), Qt::QueuedConnection);
    }

    // Owner thread.
    void deliverHeader(quint64 serial, const QByteArray& line);
    void deliverBegin(quint64 serial, int statusCode);
    void deliverData(quint64 serial, const QByteArray& chunk);
    void deliverEnd(quint64 serial, const Result& result);
    void finish(quint64 serial, const Result& result);
    void reap();

    HttpClient* const q;
    quint64 lastSerial = 0;
    quint64 current = 0; // 0: nothing running, or aborted
    std::shared_ptr<Transfer> transfer;
    int undelivered = 0; // requests whose requestDone is still to come
    std::map<quint64, Fetch*> fetches;
    std::vector<Thread> threads;
};

void HttpClient::Worker::run(quint64 serial, Transfer& transfer, const QByteArray& url,
                             const Options& options)
{
    bool begun = false;
    const CURLcode code = transfer.run(
        url, options,
        [&](const QByteArray& line) {
            post([this, serial, line] { deliverHeader(serial, line); });
        },
        [&](QByteArrayView data, int statusCode) {
            if (!begun) {
                begun = true;
                post([this, serial, statusCode] { deliverBegin(serial, statusCode); });
            }
            const QByteArray chunk = data.toByteArray();
            post([this, serial, chunk] { deliverData(serial, chunk); });
            return true;
        });
    Result result;
    result.ok = code == CURLE_OK;
    result.aborted = transfer.aborted();
    result.statusCode = transfer.statusCode();
    if (!result.ok)
        result.error = errorText(code);
    if (result.ok && !begun) {
        const int statusCode = result.statusCode;
        post([this, serial, statusCode] { deliverBegin(serial, statusCode); });
    }
    post([this, serial, result] { deliverEnd(serial, result); });
    transfer.finished = true;
}

void HttpClient::Worker::deliverHeader(quint64 serial, const QByteArray& line)
{
    if (serial == current)
        emit q->headerLine(line);
}

void HttpClient::Worker::deliverBegin(quint64 serial, int statusCode)
{
    if (serial == current)
        emit q->documentBegin(statusCode);
}

void HttpClient::Worker::deliverData(quint64 serial, const QByteArray& chunk)
{
    if (serial != current)
        return;
    if (const auto it = fetches.find(serial); it != fetches.end())
        it->second->body += chunk;
    emit q->documentData(chunk);
}

void HttpClient::Worker::deliverEnd(quint64 serial, const Result& result)
{
    if (serial != current)
        return;
    current = 0;
    transfer.reset();
    if (result.ok) {
        const QPointer<HttpClient> alive(q);
        emit q->documentEnd();
        if (!alive)
            return;
    }
    finish(serial, result);
}

void HttpClient::Worker::finish(quint64 serial, const Result& result)
{
    --undelivered;
    if (const auto it = fetches.find(serial); it != fetches.end()) {
        it->second->result = result;
        it->second->done = true;
        it->second->loop->quit();
    }
    emit q->requestDone(result);
}

void HttpClient::Worker::reap()
{
    for (auto it = threads.begin(); it != threads.end();) {
        if (it->transfer->finished) {
            it->thread.join();
            it = threads.erase(it);
        } else {
            ++it;
        }
    }
}

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_worker(std::make_unique<Worker>(this))
{
}

HttpClient::~HttpClient()
{
    for (auto& [serial, fetch] : m_worker->fetches) {
        fetch->result = abortedResult();
        fetch->done = true;
        fetch->loop->quit();
    }
    for (auto& t : m_worker->threads)
        t.transfer->abort();
    for (auto& t : m_worker->threads)
        t.thread.join();
}

void HttpClient::get(const QByteArray& url, const Options& options)
{
    abort();
    Worker* w = m_worker.get();
    w->reap();
    const quint64 serial = ++w->lastSerial;
    auto transfer = std::make_shared<Transfer>();
    w->current = serial;
    w->transfer = transfer;
    ++w->undelivered;
    try {
        w->threads.reserve(w->threads.size() + 1);
        std::thread thread(
            [w, serial, transfer, url, options] { w->run(serial, *transfer, url, options); });
        w->threads.push_back({transfer, std::move(thread)});
    } catch (const std::exception&) {
        w->current = 0;
        w->transfer.reset();
        Result result;
        result.error = errorText(CURLE_FAILED_INIT);
        QMetaObject::invokeMethod(
            this, [w, serial, result] { w->finish(serial, result); }, Qt::QueuedConnection);
    }
}

void HttpClient::abort()
{
    Worker* w = m_worker.get();
    if (!w->current)
        return;
    const quint64 serial = std::exchange(w->current, 0);
    std::exchange(w->transfer, {})->abort();
    QMetaObject::invokeMethod(
        this, [w, serial] { w->finish(serial, abortedResult()); }, Qt::QueuedConnection);
}

bool HttpClient::busy() const
{
    return m_worker->undelivered > 0;
}

HttpClient::Result HttpClient::fetch(const QByteArray& url, const Options& options)
{
    get(url, options);
    const quint64 serial = m_worker->lastSerial;
    Worker::Fetch fetch;
    QEventLoop loop;
    fetch.loop = &loop;
    m_worker->fetches[serial] = &fetch;
    const QPointer<HttpClient> alive(this);
    if (!fetch.done)
        loop.exec();
    if (alive)
        m_worker->fetches.erase(serial);
    fetch.result.body = fetch.body;
    return fetch.result;
}

struct Downloader::State
{
    Transfer transfer;
    std::mutex mutex;
    QEventLoop* loop = nullptr; // of the waiting get(); null once it returned
    bool abandoned = false;     // get() returned: too late to replace the target
    bool committed = false;

    // Worker thread.
    void run(const QByteArray& url, const QString& target, const HttpClient::Options& options);
    void quitLoop()
    {
        if (loop)
            QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
    }
};

void Downloader::State::run(const QByteArray& url, const QString& target,
                            const HttpClient::Options& options)
{
    {
        // Written beside the target and renamed over it, so the target is
        // either the old file or the whole new one.
        QSaveFile file(target);
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok) {
            const CURLcode code = transfer.run(url, options, {}, [&](QByteArrayView data, int) {
                return file.write(data.data(), data.size()) == data.size();
            });
            ok = code == CURLE_OK && transfer.statusCode() < 400;
        }
        std::lock_guard lock(mutex);
        if (ok && !abandoned && !transfer.aborted())
            committed = file.commit();
        else
            file.cancelWriting();
    }
    std::lock_guard lock(mutex);
    quitLoop();
}

Downloader::Downloader() = default;

Downloader::~Downloader()
{
    abort();
}

bool Downloader::get(const QByteArray& url, const QString& target,
                     const HttpClient::Options& options)
{
    auto state = std::make_shared<State>();
    m_state = state;
    QEventLoop loop;
    state->loop = &loop;
    try {
        std::thread([state, url, target, options] { state->run(url, target, options); }).detach();
    } catch (const std::exception&) {
        return false;
    }
    loop.exec();
    std::lock_guard lock(state->mutex);
    state->loop = nullptr;
    state->abandoned = true;
    return state->committed;
}

void Downloader::abort()
{
    if (!m_state)
        return;
    m_state->transfer.abort();
    std::lock_guard lock(m_state->mutex);
    m_state->quitLoop();
}
