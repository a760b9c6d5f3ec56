#include "LocalSmtpServer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QtTest>

LocalSmtpServer::LocalSmtpServer(Mode mode) : m_mode(mode) {}

LocalSmtpServer::~LocalSmtpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

bool LocalSmtpServer::start()
{
    const QString script = qEnvironmentVariable("LYNKOR_TEST_DATA") + QStringLiteral("/smtp/smtp_server.py");
    const QString mode = m_mode == Mode::Accept   ? QStringLiteral("accept")
                         : m_mode == Mode::Reject ? QStringLiteral("reject")
                                                  : QStringLiteral("auth");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), {script, m_folder.path(), mode});
    if (!m_process.waitForStarted(5000)) {
        qWarning("the test mail server did not start: %s", qPrintable(m_process.errorString()));
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000)) {
            qWarning("the test mail server gave no port (is python3-aiosmtpd installed?)");
            return false;
        }
    }
    m_port = m_process.readLine().trimmed().toInt();
    return m_port > 0;
}

QList<QJsonObject> LocalSmtpServer::messages() const
{
    QList<QJsonObject> out;
    QDir dir(m_folder.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out << QJsonDocument::fromJson(f.readAll()).object();
    }
    return out;
}
