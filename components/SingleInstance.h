#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// Keeps the program to one running instance per user and data folder. A
// second start hands its command line to the running one and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first instance (it now listens); false when
    // another one runs and has received the arguments.
    bool start(const QStringList& arguments);

    static QString keyFor(const QByteArray& programDir);

signals:
    void anotherInstanceStarted(const QStringList& arguments);

private:
    bool handOver(const QStringList& arguments);
    void accept();

    QString m_key;
    QLocalServer* m_server = nullptr;
};
