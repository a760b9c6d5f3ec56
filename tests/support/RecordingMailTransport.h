#pragma once

#include "MailTransport.h"

#include <QList>
#include <QPointer>
#include <QTimer>

// Takes messages as a server would, answering each with `answer` on the next
// turn of the event loop; records every job.
struct RecordingMailTransport : MailTransport
{
    QList<SmtpJob> jobs;
    QList<quint64> cancelled;
    SmtpResult answer{true, false, false, 250, QStringLiteral("250 OK"), {}};

    quint64 send(const SmtpJob& job, QObject* context, Done done) override
    {
        jobs << job;
        const quint64 id = quint64(jobs.size());
        const SmtpResult result = answer;
        QTimer::singleShot(0, context, [this, id, result, done] {
            if (!cancelled.contains(id))
                done(result);
        });
        return id;
    }
    void cancel(quint64 job) override { cancelled << job; }
};
