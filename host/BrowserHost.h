#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalSocket;
class QSocketNotifier;
class QTimer;

// lynkor-browser-host: started by a browser for Lynkor's extension, it
// carries Lynkor's requests to the extension and the extension's answers
// back. It speaks native messaging on its standard input and output and
// Lynkor's own framing on the user's socket; it checks every message and
// never runs or opens anything a message names.
class BrowserHost : public QObject
{
    Q_OBJECT
public:
    // in and out: the browser's pipes. browser: the browser's name for Lynkor.
    BrowserHost(int in, int out, QString browser, QString socketPath, QObject* parent = nullptr);

    void start();

    // Whether the browser's arguments name Lynkor's extension (Chromium-family
    // browsers give its origin, Firefox its ID).
    static bool calledByOurExtension(const QStringList& arguments);
    // The name of the browser that started this process.
    static QString parentBrowser();

signals:
    // The browser closed its end, or Lynkor refused us: the host ends.
    void finished(int exitCode);

private:
    void connectToLynkor();
    void readBrowser();
    void readLynkor();
    void toBrowser(const QJsonObject& message);
    void fail(const QString& why);
    // Says once why the socket is not used.
    void distrust(const QString& why);

    int m_in;
    int m_out;
    QString m_browser;
    QString m_socketPath;
    QLocalSocket* m_lynkor;
    QSocketNotifier* m_notifier;
    QTimer* m_retry;
    QByteArray m_fromBrowser;
    QByteArray m_fromLynkor;
    QString m_distrusted;
};
