#pragma once

#include "HttpOptions.h"
#include "HttpResult.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

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
