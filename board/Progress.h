#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

// What work on a worker thread shares with the window: how far it got, and
// whether the user asked it to stop. Nothing else crosses the threads.
class WorkFeed
{
public:
    static constexpr int kDone = 1000;
    // Reported by work that cannot say how far it got.
    static constexpr int kUnmeasured = -1;
    // How far the work got, 0 .. kDone.
    void report(int permille) { m_permille.store(permille, std::memory_order_relaxed); }
    int permille() const { return m_permille.load(std::memory_order_relaxed); }
    // Checked by the work between its steps: it stops, writing nothing more.
    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }

private:
    std::atomic<int> m_permille{0};
    std::atomic<bool> m_cancel{false};
};

// A long piece of work as the window shows it: a caption, a line of text, a
// gauge, and Cancel. It follows the work's feed on the user-interface thread.
class Progress : public QObject
{
    Q_OBJECT
public:
    Progress(QString caption, QString text, std::shared_ptr<WorkFeed> feed);
    ~Progress() override;

    QString caption() const { return m_caption; }
    QString text() const { return m_text; }
    // How far the work got, 0 .. 100; -1 while it cannot say.
    int percent() const { return m_percent; }
    bool isFinished() const { return m_finished; }
    bool cancelled() const { return m_feed->cancelled(); }
    // Cancel: the work stops at its next step.
    void cancel();
    // The work has ended: whoever shows the progress takes it away.
    void finish();
    // Reads the feed now (a timer does so while the work runs).
    void poll();

signals:
    void changed();
    void finished();

private:
    QString m_caption;
    QString m_text;
    std::shared_ptr<WorkFeed> m_feed;
    int m_percent = 0;
    bool m_finished = false;
    class QTimer* m_timer;
};
