#include "Progress.h"

#include <QTimer>

Progress::Progress(QString caption, QString text, std::shared_ptr<WorkFeed> feed)
    : m_caption(std::move(caption)), m_text(std::move(text)), m_feed(std::move(feed)), m_timer(new QTimer(this))
{
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &Progress::poll);
    m_timer->start();
}

Progress::~Progress()
{
    // Nobody waits for the work any more.
    m_feed->cancel();
}

void Progress::cancel()
{
    m_feed->cancel();
    emit changed();
}

void Progress::poll()
{
    const int permille = m_feed->permille();
    const int percent = permille < 0 ? -1 : permille / 10;
    if (percent != m_percent) {
        m_percent = percent;
        emit changed();
    }
}

void Progress::finish()
{
    if (m_finished)
        return;
    m_timer->stop();
    m_finished = true;
    m_percent = 100;
    emit finished();
}
