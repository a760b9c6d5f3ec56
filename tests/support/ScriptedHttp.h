#pragma once

#include "HttpRequests.h"

#include <QMap>
#include <QPointer>
#include <QTimer>

// HTTP answered from a table: an address not in it fails as an unreachable
// server would. Answers come later, as the real client's do.
struct ScriptedHttp : HttpRequests
{
    QMap<QByteArray, HttpResult> answers;
    QList<QByteArray> requested;
    QList<HttpOptions> options;
    quint64 last = 0;
    int delayMs = 0; // how long each answer takes

    void serve(const QByteArray& url, const QByteArray& body, int status = 200)
    {
        HttpResult r;
        r.ok = true;
        r.statusCode = status;
        r.body = body;
        r.finalUrl = url;
        answers.insert(url, r);
    }
    quint64 request(const QByteArray& url, const HttpOptions& o, QObject* context, Done done) override
    {
        requested << url;
        options << o;
        HttpResult r;
        r.error = QStringLiteral("Could not connect to server");
        r = answers.value(url, r);
        QTimer::singleShot(delayMs, context, [done, r] { done(r); });
        return ++last;
    }
    void cancel(quint64) override {}
};
