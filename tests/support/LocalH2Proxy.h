#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// HTTP/2 over TLS on 127.0.0.1 in front of a local HTTP/1.1 server (Debian's
// nghttpx), with a throw-away certificate made for it: what the server
// answers arrives as every HTTP/2 server sends it, header names in lower case.
class LocalH2Proxy
{
public:
    ~LocalH2Proxy()
    {
        if (m_proxy.state() == QProcess::NotRunning)
            return;
        m_proxy.terminate();
        if (!m_proxy.waitForFinished(5000))
            m_proxy.kill();
        m_proxy.waitForFinished(5000);
    }

    // False when nghttpx or openssl is missing or does not come up.
    bool start(int backendPort)
    {
        const QString nghttpx = QStandardPaths::findExecutable(
            QStringLiteral("nghttpx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (nghttpx.isEmpty() || !m_dir.isValid())
            return false;
        const QString key = m_dir.filePath(QStringLiteral("key.pem"));
        const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
        QProcess openssl;
        openssl.setStandardOutputFile(QProcess::nullDevice());
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
                       QStringLiteral("-out"), cert, QStringLiteral("-days"), QStringLiteral("1"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1")});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
            return false;
        m_certificate = QFile::encodeName(cert);
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            m_port = probe.serverPort();
        }
        m_proxy.setStandardOutputFile(QProcess::nullDevice());
        m_proxy.setStandardErrorFile(QProcess::nullDevice());
        m_proxy.start(nghttpx,
                      {QStringLiteral("--conf=/dev/null"), QStringLiteral("--frontend=127.0.0.1,%1").arg(m_port),
                       QStringLiteral("--backend=127.0.0.1,%1").arg(backendPort), QStringLiteral("--workers=1"),
                       QStringLiteral("--no-ocsp"), QStringLiteral("--accesslog-file=/dev/null"), key, cert});
        if (!m_proxy.waitForStarted(10000))
            return false;
        // Up once it takes a connection.
        return QTest::qWaitFor(
            [this] {
                QTcpSocket s;
                s.connectToHost(QHostAddress::LocalHost, quint16(m_port));
                return s.waitForConnected(200);
            },
            30000);
    }

    QByteArray url(const QByteArray& path) const { return "https://127.0.0.1:" + QByteArray::number(m_port) + path; }
    // The certificate to trust for it.
    QByteArray certificate() const { return m_certificate; }

private:
    QTemporaryDir m_dir;
    QProcess m_proxy;
    QByteArray m_certificate;
    int m_port = 0;
};
