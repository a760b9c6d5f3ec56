#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

// A mail server on 127.0.0.1 for tests (Debian's python3-aiosmtpd, run by
// tests/data/smtp/smtp_server.py). Each message it takes is kept as a JSON
// record: mail_from, rcpt_tos, header_lines, subject, charset, body (decoded
// as a mail reader decodes it) and raw.
class LocalSmtpServer
{
public:
    enum class Mode { Accept, Reject, Auth };
    explicit LocalSmtpServer(Mode mode = Mode::Accept);
    ~LocalSmtpServer();

    // False when the server did not start (the reason went to the test log).
    bool start();
    int port() const { return m_port; }
    // "127.0.0.1:port", as a user types a server into the profile.
    QByteArray server() const { return "127.0.0.1:" + QByteArray::number(m_port); }
    QList<QJsonObject> messages() const;

private:
    Mode m_mode;
    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
};
