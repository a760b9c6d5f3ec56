#pragma once

#include "MailTransport.h"

#include <QObject>
#include <memory>

// MailTransport on libcurl's SMTP. Each message goes out on a thread of its
// own (mail is rare and one message may wait a minute for a slow server);
// STARTTLS is used whenever the server offers it, and a user name and
// password come from the user's ~/.netrc entry for the server's host.
class CurlSmtp : public QObject, public MailTransport
{
    Q_OBJECT
public:
    explicit CurlSmtp(QObject* parent = nullptr);
    // Stops every job still running and waits for its thread.
    ~CurlSmtp() override;

    quint64 send(const SmtpJob& job, QObject* context, Done done) override;
    void cancel(quint64 job) override;
    int jobsInFlight() const;

    // The URL libcurl is given for a server as the user typed it, or "" when
    // the text is no mail server address.
    static QByteArray serverUrl(const QByteArray& server);

    // One message on its way (its thread's state).
    struct Job;

private:
    struct Jobs;
    std::unique_ptr<Jobs> m;
};
