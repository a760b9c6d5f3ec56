#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so the
// program can close its window as the close box does.
class TermSignals : public QObject
{
    Q_OBJECT
public:
    explicit TermSignals(QObject* parent = nullptr);
    ~TermSignals() override;

signals:
    void terminationRequested();

private:
    static void handler(int);
    static int s_fds[2];
    QSocketNotifier* m_notifier = nullptr;
};
