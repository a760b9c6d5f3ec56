#include "WebIcon.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "FileError.h"
#include "HttpRequests.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "LaunchText.h"
#include "NameLookup.h"
#include "NotesText.h"
#include "PageScan.h"
#include "Passwords.h"
#include "PathNames.h"
#include "SettingsFile.h"
#include "WebIconFiles.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <optional>

using F = BookmarkRecord;

namespace {

const char* const kUserAgent = "Mozilla/3.0 (compatible)";
const char* const kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
// A file name stays well below the 255 bytes a name may have.
constexpr int kMaxNameLength = 180;
constexpr qint64 kMaxIconBytes = 1024 * 1024;

HttpOptions webOptions(int timeoutMs, qint64 maxBytes)
{
    HttpOptions o;
    o.userAgent = kUserAgent;
    o.accept = kAccept;
    o.cookie = "Lynkor";
    o.timeoutMs = timeoutMs;
    o.maxBodyBytes = maxBytes;
    return o;
}

bool isWebLink(const QByteArray& link)
{
    const qsizetype http = link.indexOf("http");
    const qsizetype www = link.indexOf("www.");
    return (http >= 0 && http < 4) || (www >= 0 && www < 14);
}

// The host of a link and whether it is an address rather than a name.
QByteArray bareHost(const QByteArray& link, bool* isAddress)
{
    QByteArray host = LaunchText::hostName(link);
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    *isAddress = !QHostAddress(QString::fromLatin1(host)).isNull();
    return host;
}

} // namespace

// One AutoIcon's work in the background: the page, then its icon, and the
// address look-up beside them.
class WebIcon::Job : public QObject
{
public:
    Job(WebIcon& owner, quint64 serial, QByteArray key, QByteArray file, QByteArray page, QByteArray slot,
        QByteArray button, QByteArray link, QByteArray storedUrl, QByteArray storedTitle, bool titleFromPage)
        : m_owner(owner), m_board(owner.m_board), m_serial(serial), m_key(std::move(key)), m_file(std::move(file)),
          m_page(std::move(page)), m_slot(std::move(slot)), m_button(std::move(button)), m_link(std::move(link)),
          m_storedUrl(std::move(storedUrl)), m_storedTitle(std::move(storedTitle)), m_titleFromPage(titleFromPage)
    {
        m_watchdog.setSingleShot(true);
        connect(&m_watchdog, &QTimer::timeout, this, [this] { m_board.deliver([this] { watchdog(); }); });
    }
    ~Job() override
    {
        if (m_pageJob)
            m_owner.m_http.cancel(m_pageJob);
        if (m_iconJob)
            m_owner.m_http.cancel(m_iconJob);
        if (m_lookupId >= 0)
            m_owner.m_lookup.cancel(m_lookupId);
    }

    const QByteArray& key() const { return m_key; }

    void start()
    {
        startLookup();
        QDir().mkpath(PathNames::toQt(WebIconFiles::folder(m_file)));
        // A page that never ends counts as ended with what came by then.
        m_pageJob = m_owner.m_http.request(m_link, webOptions(m_owner.m_watchdogMs, PageScan::kMaxPageBytes), this,
                                           [this](const HttpResult& r) {
                                               m_pageJob = 0;
                                               m_board.deliver([&] { pageArrived(r); });
                                           });
    }

    // Scanning the page is done away from the user-interface thread.
    void scanned(const QByteArray& iconAddress, const QByteArray& extension, bool declared, bool found,
                 const QString& description, const QString& title)
    {
        m_pageTitle = title;
        m_declared = declared;
        m_descriptionFound = found;
        m_description = description;
        m_iconFile = WebIconFiles::folder(m_file) + WebIconFiles::strippedLink(m_link).left(kMaxNameLength) + extension;
        m_iconExisted = QFile::exists(PathNames::toQt(m_iconFile));
        m_iconJob = m_owner.m_http.request(iconAddress, webOptions(m_owner.m_watchdogMs, kMaxIconBytes), this,
                                           [this](const HttpResult& r) {
                                               m_iconJob = 0;
                                               m_board.deliver([&] { iconArrived(r); });
                                           });
    }

private:
    void startLookup()
    {
        bool isAddress = false;
        const QByteArray host = bareHost(m_link, &isAddress);
        if (host.isEmpty())
            return;
        auto answered = [this](const QString& result) {
            m_lookupId = -1;
            const QPointer<Job> alive(this);
            m_board.deliver([&] { lookupAnswered(result.toLatin1()); });
            if (alive)
                maybeEnd();
        };
        m_reverse = isAddress;
        m_lookupId = isAddress ? m_owner.m_lookup.reverse(QString::fromLatin1(host), this, answered)
                               : m_owner.m_lookup.forward(QString::fromLatin1(host), this, answered);
    }

    bool shown() const
    {
        const BoardState& state = m_board.state();
        return state.buttonIndex(m_button) >= 0 && m_page == state.currentPage() &&
               m_file == m_board.files().BookmarkFileName();
    }
    void setGlyph(const IconRef& glyph)
    {
        if (!shown())
            return;
        m_board.state().updateFace(m_board.state().buttonIndex(m_button),
                                   [&](ButtonFace& face) { face.glyph = glyph; });
    }
    // Whether the slot still holds the address the job was started for.
    bool holdsAddress(const TIniFile32& ini) const { return BookmarkSlot(ini, m_page, m_slot).url() == m_storedUrl; }

    void pageArrived(const HttpResult& r)
    {
        const bool page = (r.ok || (r.timedOut && !r.body.isEmpty())) && r.statusCode < 400;
        armWatchdog();
        if (!page) {
            m_pageDone = true;
            maybeEnd();
            return;
        }
        WebIcon* owner = &m_owner;
        const QByteArray key = m_key;
        const QByteArray link = m_link;
        const QByteArray body = r.body;
        const quint64 serial = m_serial;
        m_scanning = true;
        owner->m_pool.start([owner, key, serial, link, body] {
            QByteArray extension;
            bool declared = false;
            const QByteArray address = PageScan::iconAddress(body, link, &extension, &declared);
            bool found = false;
            const QString description = PageScan::descriptionText(PageScan::description(body, &found));
            const QString title = PageScan::title(body);
            QMetaObject::invokeMethod(
                owner,
                [owner, key, serial, address, extension, declared, found, description, title] {
                    const auto it = owner->m_jobs.find(key);
                    if (it != owner->m_jobs.end() && it->second->m_serial == serial && it->second->m_scanning) {
                        it->second->m_scanning = false;
                        owner->m_board.deliver(
                            [&] { it->second->scanned(address, extension, declared, found, description, title); });
                    }
                },
                Qt::QueuedConnection);
        });
    }

    void iconArrived(const HttpResult& r)
    {
        // What was there goes; a usable answer takes its place.
        QFile::remove(PathNames::toQt(m_iconFile));
        if (r.ok && !r.truncated && r.statusCode < 400) {
            const QByteArray status = PageScan::iconStatus(r.body);
            if (status != "Yes") {
                if (status == "GIF")
                    m_iconFile = PathNames::stem(m_iconFile) + ".gif";
                try {
                    IniStore::writeAtomically(m_iconFile, r.body);
                } catch (const FileError&) {
                    // No room for the icon: the bookmark keeps the default one.
                }
            }
        }
        finish();
    }

    // The page's part ends: everything found goes to the slot in one save,
    // if the slot still holds the address.
    void finish()
    {
        m_pageDone = true;
        // The job ends even when the file cannot be written (the failure is shown).
        struct End
        {
            Job* job;
            ~End() { job->maybeEnd(); }
        } end{this};
        Board& b = m_board;
        BoardState& state = b.state();
        IniBatch batch(b.store(), m_file);
        TIniFile32 ini(b.store(), m_file);
        if (holdsAddress(ini)) {
            BookmarkSlot slot(ini, m_page, m_slot);
            auto stored = [&](F::Field field) { return slot.get(field); };
            auto write = [&](F::Field field, const QByteArray& value) { slot.set(field, value); };
            // A link that came without text is titled by its page, unless
            // the title was changed meanwhile.
            if (m_titleFromPage && !m_pageTitle.isEmpty() && stored(F::Title) == m_storedTitle) {
                const QByteArray title = AnsiText::oneLine(AnsiText::fromUi(m_pageTitle));
                write(F::Title, title);
                if (shown())
                    state.updateFace(state.buttonIndex(m_button), [&](ButtonFace& face) { face.caption = title; });
            }
            if (m_descriptionFound && stored(F::Notes).isEmpty()) {
                write(F::Notes, AnsiText::fromUi(m_description));
                if (shown()) {
                    const QByteArray notes = NotesText::Wrap(NotesText::AddReturn(stored(F::Notes)));
                    const bool showNotes = state.checked(MenuItem::MBNotes);
                    const bool showUrl = state.checked(MenuItem::MBUrl);
                    state.updateFace(state.buttonIndex(m_button), [&](ButtonFace& face) {
                        face.hint = showNotes && showUrl ? notes + '\r' + m_link
                                    : showNotes          ? notes
                                    : showUrl            ? m_link
                                                         : QByteArray();
                    });
                }
            }
            const QByteArray storedIcon = stored(F::IconFile);
            bool assign = storedIcon.isEmpty() || (m_iconExisted && storedIcon == m_iconFile);
            QByteArray code = m_declared ? "600" : "00";
            if (QFile::exists(PathNames::toQt(m_iconFile)))
                code = "600";
            const QByteArray glyph = stored(F::Glyph);
            if (!glyph.isEmpty())
                code = glyph;
            else
                assign = true;
            if (code == "00")
                setGlyph(IconRef::defaultIcon());
            if (code == "600" && assign) {
                setGlyph({IconRef::File, 0, m_iconFile});
                write(F::IconFile, m_iconFile);
            }
            if (code != "00")
                write(F::Glyph, code);
            if (!state.checked(MenuItem::MBIcon))
                setGlyph(IconRef::noIcon());
        }
        batch.commit();
    }

    void lookupAnswered(const QByteArray& result)
    {
        // A look-up that found nothing changes nothing.
        if (result.isEmpty())
            return;
        if (!m_reverse) {
            addressFound(result);
            return;
        }
        nameFound(result);
    }

    // A forward look-up: the site's address.
    void addressFound(const QByteArray& result)
    {
        Board& b = m_board;
        QByteArray stored;
        QByteArray title;
        {
            TIniFile32 ini(b.store(), m_file);
            if (!holdsAddress(ini))
                return;
            stored = BookmarkSlot(ini, m_page, m_slot).ipAddress();
            title = BookmarkSlot(ini, m_page, m_slot).title();
        }
        if (stored.isEmpty()) {
            TIniFile32 ini(b.store(), m_file);
            BookmarkSlot(ini, m_page, m_slot).setIpAddress(result);
            return;
        }
        // A stored address with a port (typed for launching by address) is
        // the same site when its host part is.
        const QByteArray offered = LaunchText::hostName("http://" + stored) == result
                                       ? stored
                                       : LaunchText::withHost("http://" + stored, result).mid(7).chopped(1);
        if (offered == stored)
            return;
        const QString name = title.isEmpty() ? QStringLiteral("This web site") : AnsiText::toUi(title);
        const QString text = QStringLiteral("\"%1\" has changed to a new IP address.\rWould you like to update "
                                            "the IP Address \"%2\" to \"%3\" for this bookmark? ")
                                 .arg(name, AnsiText::toUi(stored), AnsiText::toUi(offered));
        ask(F::IpAddress, offered, text);
    }

    // A reverse look-up: the name of the address a link holds.
    void nameFound(const QByteArray& result)
    {
        Board& b = m_board;
        QByteArray stored;
        {
            TIniFile32 ini(b.store(), m_file);
            if (!holdsAddress(ini))
                return;
            stored = BookmarkSlot(ini, m_page, m_slot).url();
        }
        const QByteArray shownUrl = BookmarkFile::IsProtectedUrl(stored) ? m_link : stored;
        const QByteArray link = LaunchText::withHost(m_link, result);
        if (shownUrl == link)
            return;
        const QString text = QStringLiteral("Would you like to replace \"%1\" with the URL \"%2\" as the URL for "
                                            "this bookmark?")
                                 .arg(AnsiText::toUi(shownUrl), AnsiText::toUi(link));
        ask(F::Url, link, text);
    }

    // Asked once no command runs, from a call of its own (the dialog's event
    // loop may end this job). No is kept for the site while the program runs;
    // with "Don't ask again for this site" ticked, the answer is kept for good
    // in the settings file.
    void ask(F::Field field, const QByteArray& offered, const QString& text)
    {
        bool isAddress = false;
        const QByteArray site = bareHost(m_link, &isAddress).toLower();
        if (m_owner.declined(site) || m_owner.keptAnswer(site) == SettingsFile::No)
            return;
        const QPointer<WebIcon> owner(&m_owner);
        const QByteArray file = m_file;
        const QByteArray page = m_page;
        const QByteArray slot = m_slot;
        const QByteArray storedUrl = m_storedUrl;
        m_board.whenIdle([owner, file, page, slot, storedUrl, site, field, offered, text] {
            if (!owner)
                return;
            Board& b = owner->m_board;
            // The bookmark as it is now; the question is about it.
            auto current = [&]() -> std::optional<QByteArray> {
                if (file != b.files().BookmarkFileName())
                    return std::nullopt;
                TIniFile32 ini(b.store(), file);
                BookmarkSlot s(ini, page, slot);
                if (s.url() != storedUrl)
                    return std::nullopt;
                return s.title();
            };
            const std::optional<QByteArray> title = current();
            // Another file is open now, the slot changed while the question
            // waited, or it was answered for the site meanwhile.
            if (!title || owner->declined(site))
                return;
            const QByteArray kept = owner->keptAnswer(site);
            if (kept == SettingsFile::No)
                return;
            bool ticked = false;
            const bool yes =
                kept == SettingsFile::Yes ||
                b.ui().confirm(text, QStringLiteral("Don't ask again for this site"), ticked) == Prompter::Answer::Yes;
            if (!owner)
                return;
            if (ticked)
                owner->keepAnswer(site, yes ? SettingsFile::Yes : SettingsFile::No);
            if (!yes) {
                owner->decline(site);
                return;
            }
            QByteArray value = offered;
            if (field == F::Url) {
                const std::optional<QByteArray> stored = b.passwords().storedUrl(page, offered, *title);
                if (!stored)
                    return;
                value = *stored;
            }
            // Yes is for the bookmark asked about: the slot may hold another one by now.
            if (current() != title)
                return;
            TIniFile32 ini(b.store(), file);
            BookmarkSlot(ini, page, slot).set(field, value);
        });
    }

    void armWatchdog()
    {
        if (!m_watchdog.isActive())
            m_watchdog.start(m_owner.m_watchdogMs);
    }

    void watchdog()
    {
        if (m_lookupId >= 0) {
            m_owner.m_lookup.cancel(m_lookupId);
            m_lookupId = -1;
        }
        if (m_iconJob) {
            m_owner.m_http.cancel(m_iconJob);
            m_iconJob = 0;
            finish();
            return;
        }
        m_scanning = false;
        if (!m_pageDone)
            finish();
        maybeEnd();
    }

    void maybeEnd()
    {
        if (m_pageDone && m_lookupId < 0 && !m_pageJob && !m_iconJob)
            m_owner.finished(this);
    }

    WebIcon& m_owner;
    Board& m_board;
    const quint64 m_serial;
    QByteArray m_key;
    QByteArray m_file;
    QByteArray m_page;
    QByteArray m_slot;
    QByteArray m_button;
    QByteArray m_link;
    QByteArray m_storedUrl;
    QByteArray m_storedTitle;
    bool m_titleFromPage = false;
    QString m_pageTitle;
    QTimer m_watchdog;
    quint64 m_pageJob = 0;
    quint64 m_iconJob = 0;
    int m_lookupId = -1;
    bool m_reverse = false;
    bool m_pageDone = false;
    bool m_scanning = false;
    bool m_declared = false;
    bool m_descriptionFound = false;
    bool m_iconExisted = false;
    QString m_description;
    QByteArray m_iconFile;

    friend class WebIcon;
};

WebIcon::WebIcon(Board& board, HttpRequests& http, NameLookup& lookup) : m_board(board), m_http(http), m_lookup(lookup)
{
    m_pool.setMaxThreadCount(1);
}

WebIcon::~WebIcon()
{
    m_pool.waitForDone();
    for (auto& [key, job] : m_jobs)
        delete job;
}

void WebIcon::finished(Job* job)
{
    const auto it = m_jobs.find(job->key());
    if (it != m_jobs.end() && it->second == job)
        m_jobs.erase(it);
    job->deleteLater();
}

QByteArray WebIcon::keptAnswer(const QByteArray& site) const
{
    TIniFile32 ini(m_board.store(), m_board.files().settingsPath());
    return ini.ReadString(SettingsFile::kDontAsk, site, {});
}

void WebIcon::keepAnswer(const QByteArray& site, const QByteArray& answer)
{
    TIniFile32 ini(m_board.store(), m_board.files().settingsPath());
    ini.WriteString(SettingsFile::kDontAsk, site, answer);
}

QByteArray WebIcon::AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                             const QByteArray& slot, Title title)
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray path = b.files().BookmarkFileName();
    auto setGlyph = [&](const IconRef& glyph) {
        state.updateShownFace(page, buttonName, [&](ButtonFace& face) { face.glyph = glyph; });
    };

    QByteArray code = "600";
    const bool web = isWebLink(link);
    if (web)
        code = "00";
    else
        setGlyph(IconRef::defaultIcon());
    if (link.isEmpty())
        code = "0";
    if (code != "00") {
        int n = code.toInt();
        if (n == 0)
            n = 120;
        if (n < 600)
            setGlyph({IconRef::Internal, n, {}});
    }

    const bool search = state.checked(MenuItem::MWebIcon);
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    auto write = [&](F::Field field, const QByteArray& value) { BookmarkSlot(ini, page, slot).set(field, value); };
    const QByteArray storedUrl = BookmarkSlot(ini, page, slot).url();
    const QByteArray storedTitle = BookmarkSlot(ini, page, slot).title();
    // A slot that holds no bookmark gets nothing from the web: no half record.
    if (web && search && !storedUrl.isEmpty()) {
        // A link that names an address keeps it at once; its name comes later.
        bool isAddress = false;
        bareHost(link, &isAddress);
        if (isAddress) {
            const LaunchText::HostRange r = LaunchText::hostRange(link);
            QByteArray host = link.mid(r.begin, r.end - r.begin);
            host = host.mid(host.lastIndexOf('@') + 1);
            write(F::IpAddress, host);
        }
        const QByteArray key = path + '\n' + page + '\n' + slot;
        if (const auto it = m_jobs.find(key); it != m_jobs.end()) {
            delete it->second; // an earlier fetch for the slot is outdated
            m_jobs.erase(it);
        }
        auto* job = new Job(*this, ++m_lastJob, key, path, page, slot, buttonName, link, storedUrl, storedTitle,
                            title == Title::FromPage);
        m_jobs.emplace(key, job);
        job->start();
    }
    if (!search) {
        code = "00";
        if (BookmarkSlot(ini, page, slot).glyph().isEmpty())
            setGlyph(IconRef::defaultIcon());
    }
    if (code == "600") {
        setGlyph({IconRef::File, 0, link});
        write(F::IconFile, link);
    }
    if (code != "00")
        write(F::Glyph, code);
    batch.commit();
    if (!state.checked(MenuItem::MBIcon))
        setGlyph(IconRef::noIcon());
    return code;
}
