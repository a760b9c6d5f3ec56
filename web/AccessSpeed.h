#pragma once

#include "EchoProbe.h"
#include "SiteSpeed.h"
#include "TabStyle.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <memory>

class Board;
class EchoService;
class NameLookup;

// TPForm ("Access Speed"): how fast the sites of the selected bookmarks
// answer. Every host is looked up and sent one echo at the same time, away
// from the window; when all are done each gets a bar as long as its time
// relative to the slowest, the fastest in green. A click on a bar chooses
// that bookmark and closes the window; closing cancels what is in flight.
class PingForm : public QObject
{
    Q_OBJECT
public:
    PingForm(Board& board, EchoService& echoes, NameLookup& lookup);
    ~PingForm() override;

    // Input: one entry per selected bookmark, in list order.
    QList<QByteArray> hosts;    // HostEdit's items
    QList<QByteArray> buttons;  // ListBox3: "B" + slot key
    EchoProbe::Options options; // 56 bytes, 4000 ms, TTL 64

    struct Bar
    {
        QString name; // "SB" + i
        QString text;
        int left = 5;
        int top = 0;
        int width = 400;
        int height = 18;
        int maximum = 0; // the slowest time
        int value = 0;   // this site's time
        bool fastest = false;
        QString hint = QStringLiteral("Click to Launch");
        // How far the bar reaches, 0 .. 100 (0 when no site answered).
        int percent() const { return maximum > 0 ? value * 100 / maximum : 0; }
    };

    // Shown state.
    QString caption = QStringLiteral("Access Speed");
    QString heading = QStringLiteral("Smaller % is faster Site");
    QString status;
    bool statusVisible = true;
    TabStyle colors;
    QStringList ListBox1; // result texts, in host order
    QList<int> ListBox2;  // times in ms, 0 for no reply
    QList<Bar> bars;      // once every host is done
    int height = 0;       // hosts x 20 + 50, once done
    int slowest = 0;
    int fastest = 1000000;
    bool done() const { return m_done; }

    // The button of the bar clicked ("" until one is).
    QByteArray chosenButton;

    void FormActivate();
    void BarClick(int index);
    void FormClose();

signals:
    void changed();
    // Every host is done and the bars are built.
    void measured();
    void closeRequested();

private:
    struct Entry
    {
        bool finished = false;
        QString result;
        int ms = 0;
        EchoProbe::Measure measure = EchoProbe::Measure::None;
        int port = 0;
    };
    void stopAll();
    void resolved(int index, const QString& address);
    void echoed(int index, const EchoProbe::Result& result);
    void finishEntry(int index);
    void showStatus();
    void buildBars();

    Board& m_board;
    EchoService& m_echoes;
    NameLookup& m_lookup;
    QList<Entry> m_entries;
    QList<int> m_lookups;
    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    bool m_done = false;
};

// The ping test as the page options start it.
class PingTest : public SiteSpeed
{
public:
    PingTest(Board& board, EchoService& echoes, NameLookup& lookup) : m_board(board), m_echoes(echoes), m_lookup(lookup)
    {
    }
    QByteArray PingSites(const QList<QByteArray>& hosts, const QList<QByteArray>& buttons) override;
    EchoProbe::Options options;

private:
    Board& m_board;
    EchoService& m_echoes;
    NameLookup& m_lookup;
};
