#include "LinkChecker.h"

#include "AlphaForm.h"
#include "AnsiText.h"
#include "Board.h"
#include "BookmarkAddress.h"
#include "BookmarkDialog.h"
#include "BookmarkFile.h"
#include "BookmarkLauncher.h"
#include "BookmarkSlot.h"
#include "BusyCursor.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "NotesText.h"
#include "PageDisplay.h"
#include "RecordOps.h"
#include "SettingsFile.h"

#include <QUrl>
#include <algorithm>
#include <exception>

namespace {

constexpr const char* kNoSite = "Site does not exist! 404 Error";
constexpr const char* kNoReply = "Site not Replying in time*";
constexpr const char* kReady = "Click on \"Check Links\"";

// The status code of a hop's status line ("HTTP/1.1 404 Not Found",
// "HTTP/2 404"); 0 for any other line.
int statusOf(const QByteArray& line)
{
    if (!line.startsWith("HTTP/"))
        return 0;
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0 || line.size() < blank + 4 || (line.size() > blank + 4 && line[blank + 4] != ' '))
        return 0;
    int code = 0;
    for (qsizetype i = blank + 1; i < blank + 4; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

// The value of a header line of that name, in any letter case (HTTP/2 sends
// every name in lower case); null when the line is another header.
QByteArray headerValue(const QByteArray& line, const QByteArray& name)
{
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        line.left(name.size()).compare(name, Qt::CaseInsensitive) != 0)
        return {};
    return line.mid(name.size() + 1).trimmed();
}

// The address a hop moved to: its Location header, from the status line on.
QByteArray locationOf(const QList<QByteArray>& lines, qsizetype from)
{
    for (qsizetype i = from + 1; i < lines.size() && !lines[i].isEmpty(); ++i)
        if (const QByteArray to = headerValue(lines[i], "location"); !to.isEmpty())
            return to;
    return {};
}

} // namespace

LinkChecker::LinkChecker(Board& board, HttpRequests& http)
    : caption(QString::fromLatin1(kReady)), m_board(board), m_http(http)
{
}

LinkChecker::~LinkChecker()
{
    stopRequests();
}

void LinkChecker::UpDownClick(int seconds)
{
    m_waitMs = std::clamp(seconds, kMinWait, kMaxWait) * 1000;
    emit changed();
}

void LinkChecker::setWaitMilliseconds(int ms)
{
    m_waitMs = std::max(1, ms);
}

void LinkChecker::setParallel(int n)
{
    m_parallel = std::clamp(n, 1, kMaxParallel);
    m_board.files().write(SettingsFile::LinkCheckParallel, m_parallel);
    emit changed();
}

void LinkChecker::readSettings()
{
    m_parallel = std::clamp(m_board.files().readNumber(SettingsFile::LinkCheckParallel), 1, kMaxParallel);
    userAgent = m_board.files().read(SettingsFile::LinkCheckUserAgent);
    emit changed();
}

void LinkChecker::FormActivate()
{
    readSettings();
    if (!busy())
        caption = QString::fromLatin1(kReady);
    emit changed();
}

void LinkChecker::SearchButtonClick()
{
    Board& b = m_board;
    AlphaForm form(b);
    if (!form.ask(QStringLiteral("Verify the %1 Page").arg(AnsiText::toUi(b.state().currentPage())),
                  QStringLiteral("Verify"),
                  QStringLiteral("You did not select a page, or pages, of bookmarks to Verify.")))
        return;
    run(form.first, form.last, form.allColors(), form.filterColor(), form.colorDefault());
}

void LinkChecker::run(int first, int last, bool allColors, int filter, int colorDefault)
{
    Board& b = m_board;
    // A run still going ends here: its answers never reach the new lists.
    stopRequests();
    readSettings();
    m_entries.clear();
    m_bad.clear();
    m_updated.clear();
    m_checked = m_badCount = m_updatedCount = 0;
    m_failureSaid = false;
    const std::vector<QByteArray>& tabs = b.state().tabs();
    last = std::min(last, int(tabs.size()) - 1);
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        for (int p = std::max(0, first); p <= last; ++p) {
            for (int n = 1; n <= b.vars().Columns * 20; ++n) {
                const BookmarkSlot slot(ini, tabs[p], BookmarkFile::SlotKey(n));
                if (!allColors && slot.color(colorDefault) != filter)
                    continue;
                const QByteArray url = slot.url();
                // Programs, files and protected bookmarks are never asked for.
                if (url.isEmpty() || slot.launchAs() == "Yes" || BookmarkFile::IsProtectedUrl(url))
                    continue;
                m_entries.push_back({url, slot.title(), tabs[p], slot.slotKey(),
                                     QUrl(QString::fromUtf8(url)).authority().toLower(),
                                     slot.get(BookmarkRecord::Updated)});
            }
        }
    }
    m_started.assign(m_entries.size(), false);
    m_nextPending = 0;
    if (m_entries.empty()) {
        endRun(QStringLiteral("Completed"));
        return;
    }
    startMore();
    emit changed();
}

void LinkChecker::startMore()
{
    while (m_inFlight.size() < m_parallel && m_nextPending < m_entries.size()) {
        // The first link not asked yet whose host has room.
        size_t pick = m_entries.size();
        for (size_t i = m_nextPending; i < m_entries.size(); ++i)
            if (!m_started[i] && m_perHost.value(m_entries[i].host) < kPerHost) {
                pick = i;
                break;
            }
        if (pick == m_entries.size())
            return;
        m_started[pick] = true;
        while (m_nextPending < m_entries.size() && m_started[m_nextPending])
            ++m_nextPending;
        const Entry& e = m_entries[pick];
        ++m_perHost[e.host];
        caption = QStringLiteral(" - Checking: ") + AnsiText::toUi(e.title);
        HttpOptions options;
        options.userAgent = userAgent;
        options.accept = kAccept;
        options.timeoutMs = m_waitMs;
        options.headersOnly = true;
        const int index = int(pick);
        const quint64 job = m_http.request(e.url, options, this, [this, index](const HttpResult& result) {
            m_board.deliver([this, index, result] { finished(index, result); });
        });
        m_inFlight.insert(job, index);
    }
}

LinkChecker::Row LinkChecker::rowFor(const Entry& e, const QString& response) const
{
    return Row{e.page, e.title, e.url, e.slot, response, {}};
}

bool LinkChecker::lastModified(Entry& e, const QByteArray& value)
{
    // The date without " GMT" is compared; without "GMT" it is written, and
    // reads back trimmed as the compared form.
    if (value.size() < 4)
        return false;
    const QByteArray compared = value.chopped(4);
    const QByteArray written = value.chopped(3);
    // The date read when the link was collected spares reading the file
    // again for every unchanged page.
    if (compared == e.updated)
        return false;
    Board& b = m_board;
    TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    BookmarkSlot slot(ini, e.page, e.slot);
    // A bookmark changed or erased meanwhile is not written over.
    if (slot.url() != e.url || slot.get(BookmarkRecord::Updated) == compared)
        return false;
    slot.set(BookmarkRecord::Updated, written);
    e.updated = compared;
    return true;
}

void LinkChecker::finished(int index, const HttpResult& result)
{
    Entry& e = m_entries[size_t(index)];
    for (auto it = m_inFlight.begin(); it != m_inFlight.end(); ++it)
        if (it.value() == index) {
            m_inFlight.erase(it);
            break;
        }
    if (--m_perHost[e.host] <= 0)
        m_perHost.remove(e.host);

    // Whatever went wrong with one link (a file that cannot be written), the
    // run goes on; the failure is said once a run.
    std::exception_ptr failure;
    try {
        examine(e, result);
    } catch (...) {
        failure = std::current_exception();
    }
    ++m_checked;
    if (m_checked >= int(m_entries.size()) && m_inFlight.isEmpty())
        endRun(QStringLiteral("Completed"));
    else
        startMore();
    emit changed();
    if (failure && !std::exchange(m_failureSaid, true))
        std::rethrow_exception(failure);
}

void LinkChecker::examine(Entry& e, const HttpResult& result)
{
    bool reported = false;
    const QList<QByteArray>& lines = result.headerLines;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // What a server sends is shown and stored on one line.
        const QByteArray line = AnsiText::oneLine(lines[i]).trimmed();
        // Every hop's own status decides: an error, or a move for good.
        const int status = statusOf(line);
        if (status >= 400 || status == 301 || status == 308) {
            QString response = AnsiText::toUi(line);
            if (status < 400) {
                // Where the link moved to, made absolute against the link itself.
                const QByteArray to = AnsiText::oneLine(locationOf(lines, i));
                if (!to.isEmpty())
                    response += QStringLiteral("  -> ") + QUrl(QString::fromUtf8(e.url))
                                                              .resolved(QUrl(QString::fromUtf8(to)))
                                                              .toString(QUrl::FullyEncoded);
            }
            m_bad << rowFor(e, response);
            ++m_badCount;
            reported = true;
        }
        const QByteArray modified = headerValue(line, "last-modified");
        if (!modified.isEmpty() && lastModified(e, modified)) {
            m_updated << rowFor(e, AnsiText::toUi(line));
            ++m_updatedCount;
        }
    }
    if (result.timedOut) {
        // Not counted, as the Part's window does.
        m_bad << rowFor(e, QString::fromLatin1(kNoReply));
    } else if (!result.ok && !reported) {
        const bool noSite = result.error.contains(QLatin1String("resolve"), Qt::CaseInsensitive) ||
                            result.error.contains(QLatin1String("connect"), Qt::CaseInsensitive);
        m_bad << rowFor(e, noSite ? QString::fromLatin1(kNoSite) : result.error);
        ++m_badCount;
    }
}

void LinkChecker::stopRequests()
{
    for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it)
        m_http.cancel(it.key());
    m_inFlight.clear();
    m_perHost.clear();
}

void LinkChecker::endRun(const QString& marker)
{
    caption = QString::fromLatin1(kReady);
    Row row;
    row.marker = marker;
    m_bad << row;
    m_updated << row;
    if (marker == QLatin1String("Completed"))
        m_board.ui().beep();
    emit changed();
}

void LinkChecker::AbortButtonClick()
{
    if (!busy())
        return;
    stopRequests();
    // Requests cut off here add no rows of their own.
    endRun(QStringLiteral("Stopped!"));
}

void LinkChecker::CloseBtnClick()
{
    stopRequests();
    caption = QString::fromLatin1(kReady);
    m_entries.clear();
    m_bad.clear();
    m_updated.clear();
    m_checked = 0;
    emit changed();
}

void LinkChecker::rowClicked(bool updatedList, int index)
{
    QList<Row>& rows = updatedList ? m_updated : m_bad;
    if (index < 0 || index >= rows.size() || rows[index].isMarker())
        return;
    const Row row = rows[index];
    Board& b = m_board;
    const bool moved = row.response.contains(QLatin1String("  -> "));
    QStringList buttons{QStringLiteral("Launch"), QStringLiteral("Delete"), QStringLiteral("Edit")};
    if (moved)
        buttons << QStringLiteral("Update");
    buttons << QStringLiteral("Ignore");
    const int pressed = b.ui().choice({QStringLiteral("Launch, Delete or Edit bookmark"),
                                       buttons,
                                       {QStringLiteral("Please select an option.")},
                                       std::nullopt});
    const QString chosen = buttons.value(pressed);
    if (chosen == QLatin1String("Launch")) {
        if (b.launcher())
            b.launcher()->LaunchListed(row.page, row.slot, row.link, false);
    } else if (chosen == QLatin1String("Delete")) {
        b.records().EraseButton(row.page, row.slot);
        rows.removeAt(index);
    } else if (chosen == QLatin1String("Edit")) {
        QString title;
        {
            const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
            title = AnsiText::toUi(BookmarkSlot(ini, row.page, row.slot).title());
        }
        BookmarkDialog(b).showListed(row.page, row.slot, title, AnsiText::toUi(row.link));
        rows.removeAt(index);
    } else if (chosen == QLatin1String("Update")) {
        const QByteArray to = AnsiText::fromUi(row.response.section(QStringLiteral("  -> "), 1));
        // Where a server sends a link is the server's word: only a web or
        // FTP address becomes the bookmark's.
        if (!BookmarkAddress::mayBecomeBookmark(to, BookmarkAddress::Origin::Web)) {
            b.ui().message(BookmarkAddress::refusedText(to, BookmarkAddress::Origin::Web), Prompter::Type::Information,
                           Prompter::Buttons::Ok);
            return;
        }
        b.records().takeBackup();
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        BookmarkSlot slot(ini, row.page, row.slot);
        if (slot.url() == row.link) {
            slot.setUrl(to);
            rows.removeAt(index);
            if (row.page == b.state().currentPage())
                b.pages().LoadCurrent();
        }
    }
    emit changed();
}

void LinkChecker::MoveClick(bool updatedList)
{
    QList<Row>& rows = updatedList ? m_updated : m_bad;
    Board& b = m_board;
    using Action = RecordOps::BulkAction;
    const Action action = b.records().askBulkAction();
    if (action == Action::Ignore)
        return;
    if (action == Action::Erase &&
        b.ui().message(QStringLiteral("Are you sure you want to delete these bookmarks from Lynkor?"),
                       Prompter::Type::Information, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    // Marker rows are no bookmarks; a bookmark listed twice (two bad hops) goes once.
    QList<RecordOps::Listed> bookmarks;
    for (const Row& r : std::as_const(rows))
        if (!r.isMarker() && std::none_of(bookmarks.begin(), bookmarks.end(), [&](const RecordOps::Listed& o) {
                return o.page == r.page && o.slot == r.slot;
            }))
            bookmarks.push_back({r.page, r.slot});
    b.records().takeBackup();
    const BusyCursor busy(b.ui());
    // The whole action is one save.
    IniBatch batch(b.store(), b.files().BookmarkFileName());
    if (action == Action::Erase) {
        for (const RecordOps::Listed& r : std::as_const(bookmarks))
            b.records().EraseButton(r.page, r.slot, RecordOps::WebIconFile::Keep);
    } else {
        QString typed = b.ui().pageName(updatedList ? QStringLiteral("Updated Links") : QStringLiteral("Bad Links"));
        if (typed.trimmed().isEmpty())
            typed = updatedList ? QStringLiteral("Updated Links") : QStringLiteral("Bad Links");
        b.records().carryToNewPages(AnsiText::fromUi(typed.trimmed()), bookmarks, action == Action::Move,
                                    RecordOps::Show::Last);
    }
    batch.commit();
    rows.clear();
    emit changed();
}

void LinkChecker::HelpClick()
{
    m_board.ui().showHelp(kHelpContext);
}

TabStyle LinkChecker::colors() const
{
    return m_board.state().tabStyle();
}
