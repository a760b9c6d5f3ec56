#pragma once

#include "SmtpJob.h"
#include "SmtpResult.h"

#include <QObject>
#include <functional>

// Sends mail through an SMTP server. Each message is a job that answers
// through a callback bound to a context object: later, on the
// user-interface thread, never inside the call that started it, and not at
// all once the context is gone or the job was cancelled.
class MailTransport
{
public:
    using Done = std::function<void(const SmtpResult&)>;
    virtual ~MailTransport() = default;
    // Returns the job's id.
    virtual quint64 send(const SmtpJob& job, QObject* context, Done done) = 0;
    // Stops a job; its callback never runs. Unknown or finished ids are ignored.
    virtual void cancel(quint64 job) = 0;
};
