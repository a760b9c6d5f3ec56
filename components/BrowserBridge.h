#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QTimer;

// Lynkor's end of the browser link through its extension: a socket private
// to the user where the browser host (started by each browser that has the
// extension) says hello. Requests go to one connected browser; its answer
// comes back later through a callback bound to a context object, never
// inside the call. Malformed, oversized and wrong-version messages are
// refused and the host is dropped.
class BrowserBridge : public QObject
{
    Q_OBJECT
public:
    explicit BrowserBridge(QObject* parent = nullptr);
    ~BrowserBridge() override;

    // Listens on path (the user's socket unless given). False, with error()
    // saying why, when the folder is not private or another Lynkor listens.
    bool listen(const QString& path = {});
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // The browsers whose host said hello, in the order they connected.
    QStringList browsers() const;
    bool connected() const { return !browsers().isEmpty(); }

    // The reply's fields (ok, url, title, error), or nothing when the browser
    // did not answer within the time-out or went away. The request goes to
    // the browser named preferred when it is connected, else to the one that
    // connected last.
    using Reply = std::function<void(const std::optional<QJsonObject>& reply)>;
    void request(QJsonObject params, int timeoutMs, QObject* context, Reply done, const QString& preferred = {});

signals:
    void browsersChanged();

private:
    struct Pending
    {
        Reply done;
        QPointer<QObject> context;
        QTimer* timer = nullptr;
    };
    struct Client
    {
        QLocalSocket* socket = nullptr;
        QByteArray buffer;
        QString browser;
        bool welcomed = false;
        QHash<qint64, Pending> pending;
        // Every request sent to this browser, answered or not.
        QSet<qint64> asked;
    };
    void accept();
    void readFrom(QLocalSocket* socket);
    void drop(QLocalSocket* socket, const QString& why);
    void finish(Client& client, qint64 id, const std::optional<QJsonObject>& reply);

    QLocalServer* m_server = nullptr;
    QString m_path;
    QString m_error;
    QList<Client*> m_clients;
    qint64 m_nextId = 1;
};
