#pragma once

#include "HttpRequests.h"
#include "TabStyle.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <vector>

class Board;

// THttpAsyForm's behaviour: asks the web server of every stored web link of
// a range of pages for its document and sorts the answers into bad links
// (error status, permanent redirection, no server, no answer in time) and
// updated links (Last-Modified differs from the bookmark's Updated field).
// Up to `parallel` requests are in flight, at most two per server (host and
// port); with one
// the links are asked in the order they were collected.
class LinkChecker : public QObject
{
    Q_OBJECT
public:
    LinkChecker(Board& board, HttpRequests& http);
    ~LinkChecker() override;

    struct Row
    {
        QByteArray page;
        QByteArray title;
        QByteArray link;
        QByteArray slot;
        QString response;
        QString marker; // "Completed" or "Stopped!" for a marker row; then the rest is empty
        bool isMarker() const { return !marker.isEmpty(); }
    };

    static constexpr int kHelpContext = 52;
    static constexpr int kMinWait = 15;
    static constexpr int kMaxWait = 300;
    static constexpr int kMaxParallel = 32;
    static constexpr int kPerHost = 2;
    static constexpr const char* kUserAgent = "Mozilla/3.0 (compatible)";
    static constexpr const char* kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

    // Settings of the window.
    int waitSeconds() const { return m_waitMs / 1000; }
    void UpDownClick(int seconds);
    // The wait below the up-down's range, for a test that cannot wait 15 s.
    void setWaitMilliseconds(int ms);
    int parallel() const { return m_parallel; }
    // Kept in the settings file, as the user agent is ([LinkCheck]).
    void setParallel(int n);
    void readSettings();
    QByteArray userAgent = kUserAgent;

    // What the window shows: the link asked last while a run goes on, else
    // "Click on "Check Links"".
    QString caption;
    // The window takes the page tabs' colours.
    TabStyle colors() const;
    const QList<Row>& badRows() const { return m_bad; }
    const QList<Row>& updatedRows() const { return m_updated; }
    int checkedCount() const { return m_checked; }
    int badCount() const { return m_badCount; }
    int updatedCount() const { return m_updatedCount; }
    int total() const { return int(m_entries.size()); }
    bool busy() const { return !m_inFlight.isEmpty(); }

    // The window is opened: settings read again, and the caption of a run
    // that ended meanwhile goes.
    void FormActivate();
    // "Check Links": the chooser, then a run over its range. A run still
    // going is stopped first.
    void SearchButtonClick();
    // Starts a run over pages first..last with the chooser's colour filter.
    void run(int first, int last, bool allColors, int filter, int colorDefault);
    // "Stop Checking": the requests in flight are dropped, "Stopped!" rows.
    void AbortButtonClick();
    // "Close": stop, and everything is emptied.
    void CloseBtnClick();
    // The per-row choice ("Launch", "Delete", "Edit", "Ignore"; "Update" for
    // a link that moved for good).
    void rowClicked(bool updatedList, int row);
    // "Move Bad Links" / "Move Updated Links".
    void MoveClick(bool updatedList);
    void HelpClick();

signals:
    void changed();

private:
    struct Entry
    {
        QByteArray url;
        QByteArray title;
        QByteArray page;
        QByteArray slot;
        QString host;       // host and port: the server asked
        QByteArray updated; // the Updated field when collected
    };
    void startMore();
    void finished(int entry, const HttpResult& result);
    // Lists the link by its answer: the status of every hop, its Last-Modified.
    void examine(Entry& e, const HttpResult& result);
    bool lastModified(Entry& e, const QByteArray& value);
    void stopRequests();
    void endRun(const QString& marker);
    Row rowFor(const Entry& e, const QString& response) const;

    Board& m_board;
    HttpRequests& m_http;
    int m_waitMs = 30000;
    int m_parallel = 8;
    std::vector<Entry> m_entries;
    std::vector<bool> m_started;
    size_t m_nextPending = 0;
    QHash<quint64, int> m_inFlight; // job -> entry
    QHash<QString, int> m_perHost;
    QList<Row> m_bad;
    QList<Row> m_updated;
    int m_checked = 0;
    int m_badCount = 0;
    int m_updatedCount = 0;
    bool m_failureSaid = false;
};
