#pragma once

#include "Board.h"

#include <QByteArray>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

class Downloader;
class HttpClient;
class NameLookup;

// AutoIcon: a bookmark that gets a link, or a web bookmark that is opened,
// gets its site's icon (downloaded into the bookmark file's icon folder), the
// page's description as its notes when it has none, and its site's IP address
// (or, for a link that names an address, the host name offered back).
class WebIcon : public QObject, public IconFetcher
{
    Q_OBJECT
public:
    WebIcon(Board& board, HttpClient& http, Downloader& download, NameLookup& lookup);

    QByteArray AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                        const QByteArray& slot) override;
    // The answer of the look-up started by AutoIcon.
    void DNSLookDnsLookupDone(const QString& result);
    // The web watchdog: ends whatever still runs.
    void Timer1Timer();

    static constexpr int kWatchdogMs = 15000;
    QTimer& Timer1() { return m_timer1; }

    // The icon address a page names: its icon meta tag, else its "shortcut
    // icon" link, else the site's favicon.ico; relative addresses resolved
    // against the page. extension receives the address's extension.
    static QByteArray iconAddress(const QByteArray& page, const QByteArray& link, QByteArray* extension,
                                  bool* declared);
    // The first description meta tag of a page; found is false when none.
    static QByteArray description(const QByteArray& page, bool* found);
    // "No" (usable), "Yes" (an error page or empty: unusable) or "GIF".
    static QByteArray iconStatus(const QByteArray& iconFileBytes);
    // The first "/" after the first "." ends the host; a link without one
    // ends its host at its end (1-based position of the end, like DNSExt).
    static int hostEnd(const QByteArray& link);

private:
    void lookUpAddress(const QByteArray& link, const QByteArray& page, const QByteArray& slot);
    bool fetchPage(const QByteArray& link, QByteArray* body);

    Board& m_board;
    HttpClient& m_http;
    Downloader& m_download;
    NameLookup& m_lookup;
    QTimer m_timer1;
    QTemporaryDir m_temp; // downloads land here first and never stay
    QByteArray m_lookupPage;
    QByteArray m_lookupSlot;
    QByteArray m_lookupFile;
    bool m_watchdogFired = false;
};
