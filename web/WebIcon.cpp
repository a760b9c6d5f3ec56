#include "WebIcon.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "HtmlText.h"
#include "HttpClient.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "LaunchText.h"
#include "NameLookup.h"
#include "NotesText.h"
#include "PathNames.h"
#include "WebIconFiles.h"

#include <QDir>
#include <QFile>
#include <QUrl>

using BookmarkFile::FieldKey;
using F = BookmarkRecord;

namespace {

const char* const kUserAgent = "Mozilla/3.0 (compatible)";
const char* const kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
// A file name stays well below the 255 bytes a name may have.
constexpr int kMaxNameLength = 180;

HttpClient::Options webOptions()
{
    HttpClient::Options o;
    o.userAgent = kUserAgent;
    o.accept = kAccept;
    o.cookie = "Lynkor";
    return o;
}

QList<QByteArray> lines(const QByteArray& text)
{
    QByteArray t = text;
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    return t.split('\n');
}

// The text after marker up to the first "\">" on the same line; "" when the
// address is not followed directly by it.
QByteArray after(const QByteArray& line, const QByteArray& marker)
{
    const qsizetype start = line.indexOf(marker);
    if (start < 0)
        return {};
    const qsizetype from = start + marker.size();
    const qsizetype end = line.indexOf("\">", from);
    return end < 0 ? QByteArray() : line.mid(from, end - from);
}

} // namespace

WebIcon::WebIcon(Board& board, HttpClient& http, Downloader& download, NameLookup& lookup)
    : m_board(board), m_http(http), m_download(download), m_lookup(lookup)
{
    m_timer1.setInterval(kWatchdogMs);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &WebIcon::Timer1Timer);
    connect(&m_lookup, &NameLookup::done, this, &WebIcon::DNSLookDnsLookupDone);
}

int WebIcon::hostEnd(const QByteArray& link)
{
    const qsizetype scheme = link.indexOf("://");
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    qsizetype end = link.size();
    for (char c : {'/', '?', '#'}) {
        const qsizetype p = link.indexOf(c, start);
        if (p >= 0 && p < end)
            end = p;
    }
    return static_cast<int>(end) + 1;
}

QByteArray WebIcon::iconAddress(const QByteArray& page, const QByteArray& link, QByteArray* extension,
                                bool* declared)
{
    QByteArray address;
    const QList<QByteArray> all = lines(page);
    for (const QByteArray& raw : all) {
        const QByteArray line = raw.toLower();
        if (line.contains("<meta") && line.contains("name") && line.contains("\"icon\"") &&
            line.contains("\"icon\" content=\"")) {
            const QByteArray a = after(line, "\"icon\" content=\"");
            if (!a.isEmpty())
                address = a;
        }
    }
    if (address.isEmpty()) {
        for (const QByteArray& raw : all) {
            const QByteArray line = raw.toLower();
            if (line.contains("<link") && line.contains("rel=") && line.contains("\"shortcut icon\"") &&
                line.contains("\"shortcut icon\" href=\"")) {
                const QByteArray a = after(line, "\"shortcut icon\" href=\"");
                if (!a.isEmpty())
                    address = a;
            }
        }
    }
    *declared = !address.isEmpty();
    if (address.isEmpty()) {
        address = link.left(hostEnd(link) - 1) + "/favicon.ico";
        *extension = ".ico";
        return address;
    }
    // A relative address is meant relative to the page.
    const QUrl resolved = QUrl::fromEncoded(link).resolved(QUrl::fromEncoded(address.trimmed()));
    address = resolved.toEncoded();
    const QString path = resolved.path();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    *extension = dot > slash ? path.mid(dot).toLatin1() : QByteArray(".ico");
    // Only plain file extensions make it into a file name.
    for (char c : extension->mid(1))
        if (!std::isalnum(static_cast<unsigned char>(c)))
            *extension = ".ico";
    return address;
}

QByteArray WebIcon::description(const QByteArray& page, bool* found)
{
    *found = false;
    QByteArray text;
    const QList<QByteArray> all = lines(page);
    int continuations = 0;
    for (int i = 0; i < all.size(); ++i) {
        const QByteArray line = all[i].toLower();
        const QByteArray marker = "description\" content=\"";
        if (!(line.contains("<meta") && line.contains("name") && line.contains("description\"") &&
              line.contains(marker)))
            continue;
        *found = true;
        const qsizetype from = line.indexOf(marker) + marker.size();
        const qsizetype end = line.indexOf("\">", from);
        if (end >= 0) {
            text = all[i].mid(from, end - from);
        } else {
            text = all[i].mid(from);
            for (++i; i < all.size(); ++i) {
                ++continuations;
                const qsizetype e = all[i].indexOf("\">");
                text += e >= 0 ? all[i].left(e) : all[i];
                if (e >= 0)
                    break;
            }
            if (continuations > 10)
                text = text.left(255);
        }
        break;
    }
    return text;
}

QByteArray WebIcon::iconStatus(const QByteArray& bytes)
{
    QByteArray status = "No";
    const QList<QByteArray> all = lines(bytes);
    if (bytes.isEmpty() || all.front().isEmpty())
        status = "Yes";
    for (const QByteArray& line : all) {
        const QByteArray lower = line.toLower();
        if (line.contains("404") || lower.contains("html") || lower.contains("http") || lower.contains("error") ||
            lower.contains("not ") || lower.contains("missing"))
            status = "Yes";
        if (line.startsWith("GIF8"))
            status = "GIF";
    }
    return status;
}

void WebIcon::lookUpAddress(const QByteArray& link, const QByteArray& page, const QByteArray& slot)
{
    const int trim = LaunchText::TrimHTTP(link);
    // Without a scheme the host is at the start of the link.
    const bool schemeless = !link.contains("://");
    int hostStart = schemeless ? 1 : trim;
    m_lookup.cancel();
    m_lookup.tag = 0;
    m_lookupPage = page;
    m_lookupSlot = slot;
    m_lookupFile = m_board.files().BookmarkFileName();
    const QByteArray two = link.mid(hostStart - 1, 2);
    const bool ipAddress = two.size() == 2 && static_cast<unsigned char>(two[0]) < ';' &&
                           static_cast<unsigned char>(two[1]) < ';';
    if (ipAddress) {
        const qsizetype slash = link.indexOf('/', hostStart - 1);
        const QByteArray host = link.mid(hostStart - 1, slash < 0 ? -1 : slash - (hostStart - 1));
        m_lookup.tag = 1;
        m_lookup.address = slash < 0 ? QByteArray("/") : link.mid(slash);
        QByteArray name = host;
        const qsizetype colon = name.indexOf(':');
        if (colon >= 0 && !name.startsWith('['))
            name = name.left(colon);
        m_lookup.reverse(QString::fromLatin1(name));
        m_board.files().WriteToIniSLYK(page, FieldKey(slot, F::IpAddress), host);
        return;
    }
    if (!schemeless && (trim == 12 || trim == 13))
        hostStart = trim - 4; // the host with its "www."
    QByteArray host = link.mid(hostStart - 1, hostEnd(link) - hostStart);
    const qsizetype at = host.lastIndexOf('@');
    if (at >= 0)
        host = host.mid(at + 1);
    const qsizetype colon = host.indexOf(':');
    if (colon >= 0)
        host = host.left(colon);
    if (!host.isEmpty())
        m_lookup.forward(QString::fromLatin1(host));
}

bool WebIcon::fetchPage(const QByteArray& link, QByteArray* body)
{
    m_http.abort();
    m_download.abort();
    m_timer1.stop();
    m_watchdogFired = false;
    // The watchdog also ends a page that never comes.
    m_timer1.start();
    const HttpClient::Result r = m_http.fetch(link, webOptions());
    const bool ended = r.ok || (r.aborted && m_watchdogFired);
    m_timer1.start();
    if (!ended || r.statusCode >= 400)
        return false;
    *body = r.body;
    return true;
}

QByteArray WebIcon::AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                             const QByteArray& slot)
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray path = b.files().BookmarkFileName();
    // The event loop runs while the page loads: the button, the page and even
    // the file shown may have changed when the answers come.
    auto shown = [&] {
        const int index = state.buttonIndex(buttonName);
        return index >= 0 && page == state.currentPage() && path == b.files().BookmarkFileName();
    };
    auto face = [&]() -> ButtonFace& { return state.mutableButtons()[state.buttonIndex(buttonName)]; };
    auto setGlyph = [&](const IconRef& glyph) {
        if (shown()) {
            face().glyph = glyph;
            state.notifyFace(state.buttonIndex(buttonName));
        }
    };
    // The file is read again after each wait (it may have changed while the
    // event loop ran); after the last wait one set of lines takes every read
    // and write, saved once.
    std::optional<TIniFile32> file;
    std::optional<IniBatch> batch;
    auto settle = [&] {
        if (!batch) {
            file.reset();
            batch.emplace(b.store(), path);
        }
    };
    auto ini = [&]() -> TIniFile32& {
        if (!file)
            file.emplace(b.store(), path);
        return *file;
    };
    auto stored = [&](F::Field field) { return ini().ReadString(page, FieldKey(slot, field), {}); };
    auto write = [&](F::Field field, const QByteArray& value) {
        ini().WriteString(page, FieldKey(slot, field), value);
    };

    QByteArray code = "600";
    bool assign = true;
    const qsizetype http = link.indexOf("http");
    const qsizetype www = link.indexOf("www.");
    const bool web = (http >= 0 && http < 4) || (www >= 0 && www < 14);
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

    const bool search = state.checked("MWebIcon");
    QByteArray iconFile;
    if (web && search) {
        assign = false;
        lookUpAddress(link, page, slot);
        const QByteArray folder = WebIconFiles::folder(path);
        QDir().mkpath(PathNames::toQt(folder));
        b.ui().setCursor(ScreenCursor::HourGlass);
        QByteArray body;
        if (!fetchPage(link, &body)) {
            b.ui().setCursor(ScreenCursor::Default);
            b.FormCaption();
            return code;
        }
        QByteArray extension;
        bool declared = false;
        const QByteArray address = iconAddress(body, link, &extension, &declared);
        if (declared)
            code = "600";
        iconFile = folder + WebIconFiles::strippedLink(link).left(kMaxNameLength) + extension;
        const QByteArray storedIcon = stored(F::IconFile);
        if (QFile::exists(PathNames::toQt(iconFile))) {
            QFile::remove(PathNames::toQt(iconFile));
            if (storedIcon == iconFile)
                assign = true;
        }
        if (storedIcon.isEmpty())
            assign = true;
        const QString download = m_temp.filePath(QStringLiteral("icon.download"));
        if (m_download.get(address, download, webOptions())) {
            QFile f(download);
            const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            f.close();
            const QByteArray status = iconStatus(bytes);
            if (status == "GIF")
                iconFile = PathNames::stem(iconFile) + ".gif";
            if (status != "Yes") {
                QFile::remove(PathNames::toQt(iconFile));
                QFile::rename(download, PathNames::toQt(iconFile));
            }
            QFile::remove(download);
        }
        settle();

        bool found = false;
        const QByteArray description = WebIcon::description(body, &found);
        if (found && stored(F::Notes).isEmpty()) {
            state.setTitle(QStringLiteral("Loading Description"));
            QString text = HtmlText::decode(description);
            text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            write(F::Notes, AnsiText::fromUi(text));
            if (shown()) {
                const QByteArray notes = NotesText::Wrap(NotesText::AddReturn(stored(F::Notes)));
                const bool showNotes = state.checked("MBNotes");
                const bool showUrl = state.checked("MBUrl");
                face().hint = showNotes && showUrl ? notes + '\r' + link : showNotes ? notes : showUrl ? link : QByteArray();
                state.notifyFace(state.buttonIndex(buttonName));
            }
            b.FormCaption();
        }
        if (QFile::exists(PathNames::toQt(iconFile)))
            code = "600";
        const QByteArray glyph = stored(F::Glyph);
        if (!glyph.isEmpty())
            code = glyph;
        else
            assign = true;
        if (code == "00")
            setGlyph(IconRef::defaultIcon());
        b.ui().setCursor(ScreenCursor::Default);
    }
    if (!search) {
        code = "00";
        if (stored(F::Glyph).isEmpty())
            setGlyph(IconRef::defaultIcon());
    }
    settle();
    if (code == "600" && assign) {
        const QByteArray iconPath = web ? iconFile : link;
        setGlyph({IconRef::File, 0, iconPath});
        write(F::IconFile, iconPath);
    }
    if (code != "00")
        write(F::Glyph, code);
    batch->commit();
    if (!state.checked("MBIcon"))
        setGlyph(IconRef::noIcon());
    return code;
}

void WebIcon::DNSLookDnsLookupDone(const QString& answer)
{
    Board& b = m_board;
    const QByteArray result = answer.toLatin1();
    const QByteArray page = m_lookupPage;
    const QByteArray slot = m_lookupSlot;
    const int tag = m_lookup.tag;
    m_lookup.tag = 0;
    // The answer belongs to the file that asked; another one is open now.
    if ((page.isEmpty() && slot.isEmpty()) || m_lookupFile != b.files().BookmarkFileName())
        return;
    QByteArray title;
    QByteArray stored;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        title = ini.ReadString(page, FieldKey(slot, F::Title), {});
        stored = ini.ReadString(page, FieldKey(slot, tag == 0 ? F::IpAddress : F::Url), {});
    }
    // A look-up that found nothing changes nothing.
    if (result.isEmpty())
        return;
    if (tag == 0) {
        if (stored.isEmpty()) {
            b.files().WriteToIniSLYK(page, FieldKey(slot, F::IpAddress), result);
        } else if (stored != result) {
            const QString name = title.isEmpty() ? QStringLiteral("This web site") : AnsiText::toUi(title);
            const QString text = QStringLiteral("\"%1\" has changed to a new IP address.\rWould you like to update "
                                                "the IP Address \"%2\" to \"%3\" for this bookmark? ")
                                     .arg(name, AnsiText::toUi(stored), answer);
            if (b.ui().message(text, Prompter::Type::Confirmation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes)
                b.files().WriteToIniSLYK(page, FieldKey(slot, F::IpAddress), result);
        }
        return;
    }
    const QByteArray link = "http://" + result + m_lookup.address;
    if (stored.isEmpty()) {
        b.files().WriteToIniSLYK(page, FieldKey(slot, F::Url), link);
    } else if (stored != link) {
        const QString name = title.isEmpty() ? QStringLiteral("This IP Address") : AnsiText::toUi(title);
        const QString text = QStringLiteral("Would you like to replace \"%1\" with the URL \"%2\" as the URL "
                                            "for this bookmark?")
                                 .arg(name, AnsiText::toUi(link));
        if (b.ui().message(text, Prompter::Type::Confirmation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes)
            b.files().WriteToIniSLYK(page, FieldKey(slot, F::Url), link);
    }
}

void WebIcon::Timer1Timer()
{
    m_watchdogFired = true;
    m_http.abort();
    m_download.abort();
    m_lookup.cancel();
    m_timer1.stop();
}
