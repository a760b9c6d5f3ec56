#pragma once

#include "Board.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <map>

class HttpRequests;
class NameLookup;

// AutoIcon: a bookmark that gets a link, or a web bookmark that is opened,
// gets its site's icon (downloaded into the bookmark file's icon folder), the
// page's description as its notes when it has none, and its site's IP address
// (or, for a link that names an address, the host name offered back).
//
// The web part is a job in the background: AutoIcon returns at once and the
// window keeps working. The job remembers the file, page and slot it works
// for and what the slot held; an answer is written only while the slot still
// holds that address. A question about the address waits until no command
// runs, and is asked once per site.
class WebIcon : public QObject, public IconFetcher
{
    Q_OBJECT
public:
    WebIcon(Board& board, HttpRequests& http, NameLookup& lookup);
    ~WebIcon() override;

    QByteArray AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                        const QByteArray& slot, Title title = Title::Kept) override;

    // The web watchdog (Timer1): a page that has not come within this time
    // counts as ended with what came; the icon download and the look-up get
    // as long again once the page is there.
    static constexpr int kWatchdogMs = 15000;
    void setWatchdog(int ms) { m_watchdogMs = ms; }
    int jobsRunning() const { return static_cast<int>(m_jobs.size()); }

private:
    class Job;
    friend class Job;
    void finished(Job* job);
    // A site answered No to "replace this address by that one" is not asked
    // about again while the program runs.
    bool declined(const QByteArray& site) const { return m_declined.contains(site); }
    void decline(const QByteArray& site) { m_declined.insert(site); }
    // The answer kept for a site in the settings file ("Yes", "No", "" for none).
    QByteArray keptAnswer(const QByteArray& site) const;
    void keepAnswer(const QByteArray& site, const QByteArray& answer);

    Board& m_board;
    HttpRequests& m_http;
    NameLookup& m_lookup;
    int m_watchdogMs = kWatchdogMs;
    std::map<QByteArray, Job*> m_jobs; // by file, page and slot
    quint64 m_lastJob = 0;
    QSet<QByteArray> m_declined;
    QThreadPool m_pool; // pages are scanned here, away from the window
};
