#include "NetscapeFile.h"

#include "AnsiText.h"
#include "BookmarkAddress.h"
#include "BookmarkFile.h"
#include "CommandError.h"
#include "HtmlTags.h"
#include "HtmlText.h"
#include "IniDocument.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <optional>

namespace NetscapeFile {

namespace {

using namespace HtmlTags;

// A heading or link left open ends where the next element of the list begins.
constexpr auto kStops = {"a", "dt", "dd", "dl", "/dl", "h1", "h3"};

QByteArray hostOf(const QByteArray& url)
{
    const QString host = QUrl(QString::fromUtf8(url)).host();
    return host.isEmpty() ? url : AnsiText::fromUi(host);
}

QString escapedUrl(const QByteArray& url)
{
    return HtmlText::escape(AnsiText::toUi(url));
}

} // namespace

void Reader::feed(const QByteArray& piece)
{
    if (m_stopped)
        return;
    const QByteArray html = m_held.isEmpty() ? piece : m_held + piece;
    const qsizetype stop = parse(html, false);
    m_held = html.sliced(stop);
}

std::vector<Folder> Reader::finish()
{
    if (!m_stopped)
        parse(m_held, true);
    m_held = {};
    std::vector<Folder> folders = std::move(m_folders);
    if (!m_root.links.empty() || m_root.leftOut > 0) {
        m_root.name = m_heading.isEmpty() ? QByteArray("Bookmarks") : m_heading;
        folders.insert(folders.begin(), std::move(m_root));
    }
    m_folders = {};
    m_root = {};
    return folders;
}

qsizetype Reader::parse(const QByteArray& html, bool last)
{
    constexpr qsizetype kStep = 256 * 1024;
    // With more to come, an element is read only when this much follows the
    // place where it was decided: a tag name cut at the end of a piece could
    // be another tag's.
    constexpr qsizetype kMargin = 16;
    const qsizetype n = html.size();
    auto whole = [&](qsizetype upTo) { return last || upTo + kMargin <= n; };
    qsizetype nextStep = kStep;
    const char* d = html.constData();
    qsizetype pos = 0;
    while (pos < n) {
        if (m_step && pos >= nextStep) {
            nextStep = pos + kStep;
            if (!m_step(pos)) {
                m_stopped = true;
                return n;
            }
        }
        const void* p = memchr(d + pos, '<', size_t(n - pos));
        if (!p)
            return n;
        const qsizetype at = static_cast<const char*>(p) - d;
        if (!whole(at))
            return at;
        if (at + 4 <= n && memcmp(d + at, "<!--", 4) == 0) {
            const qsizetype end = html.indexOf("-->", at + 4);
            if (end < 0 && !last)
                return at;
            pos = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype end = tagEnd(html, at);
        if (end >= n && !last)
            return at;
        if (startsWithWord(html, at + 1, "h1") || startsWithWord(html, at + 1, "h3")) {
            const bool folder = startsWithWord(html, at + 1, "h3");
            const qsizetype close = textEnd(html, end, folder ? "h3" : "h1", kStops);
            if (!whole(close))
                return at;
            if (folder) {
                m_folders.push_back({text(view(html, end, close)), {}});
                m_announced = int(m_folders.size()) - 1;
            } else {
                m_heading = text(view(html, end, close));
            }
            pos = close;
        } else if (startsWithWord(html, at + 1, "dl")) {
            m_open.push_back(m_announced >= 0 ? m_announced : m_open.empty() ? -1 : m_open.back());
            m_announced = -1;
            pos = end;
        } else if (at + 1 < n && html[at + 1] == '/' && startsWithWord(html, at + 2, "dl")) {
            if (!m_open.empty())
                m_open.pop_back();
            m_announced = -1;
            pos = end;
        } else if (startsWithWord(html, at + 1, "a")) {
            const qsizetype close = textEnd(html, end, "a", kStops);
            if (!whole(close))
                return at;
            bool found = false;
            const QByteArrayView href = attributeView(view(html, at, end), "href", &found);
            if (found)
                addLink(href, html, end, close);
            pos = close;
        } else {
            pos = end;
        }
    }
    return n;
}

void Reader::addLink(QByteArrayView href, const QByteArray& html, qsizetype textFrom, qsizetype textTo)
{
    // An address the rule refuses is counted before anything is copied: it
    // may be a whole picture.
    if (!href.contains('&') && !BookmarkAddress::mayBecomeBookmark(href, BookmarkAddress::Origin::Own)) {
        ++m_skipped;
        return;
    }
    QByteArray url;
    const QByteArray raw = href.toByteArray();
    if (!href.contains('&') && AnsiText::isAscii(raw))
        url = raw.trimmed();
    else if (std::optional<QByteArray> fast = latinText(raw.constData(), raw.size()))
        url = *fast; // blanks inside an address are no part of it either way
    else
        url = AnsiText::fromUi(HtmlText::decode(raw).trimmed());
    if (url.isEmpty())
        return;
    if (!BookmarkAddress::mayBecomeBookmark(url, BookmarkAddress::Origin::Own)) {
        ++m_skipped;
        return;
    }
    QByteArray title = text(view(html, textFrom, textTo));
    if (title.isEmpty())
        title = hostOf(url);
    // A heading's links are its own once its list is entered; a heading
    // inside a list that opens no list of its own holds none. Only a file
    // without lists gives the links after a heading to it.
    int folder = m_open.empty() ? -1 : m_open.back();
    if (m_announced >= 0) {
        if (m_open.empty())
            folder = m_announced;
        else
            m_announced = -1;
    }
    Folder& into = folder < 0 ? m_root : m_folders[size_t(folder)];
    // What could not go into one bookmark file is counted, not kept.
    const qsizetype size = url.size() + title.size() + 12;
    if (m_kept + size > BookmarkFile::kMaxFileBytes) {
        ++into.leftOut;
        return;
    }
    m_kept += size;
    into.links.push_back({std::move(url), std::move(title)});
}

std::vector<Folder> read(const QByteArray& html, const std::function<bool(qsizetype at)>& step, int* skipped)
{
    Reader reader(step);
    reader.feed(html);
    std::vector<Folder> folders = reader.finish();
    if (skipped)
        *skipped = reader.skipped();
    return folders;
}

std::vector<Folder> readFile(const QString& path, const std::function<bool(qint64 done, qint64 size)>& progress,
                             int* skipped)
{
    constexpr qint64 kPiece = 1 << 20;
    QFile file(path);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        throw CommandError(QStringLiteral("Cannot open file %1").arg(path));
    const qint64 size = file.size();
    Reader reader;
    qint64 done = 0;
    for (;;) {
        if (progress && !progress(done, size))
            return {};
        const QByteArray piece = file.read(std::max(kPiece, qint64(reader.held())));
        if (piece.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                throw CommandError(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
            break;
        }
        done += piece.size();
        reader.feed(piece);
    }
    std::vector<Folder> folders = reader.finish();
    if (skipped)
        *skipped = reader.skipped();
    return folders;
}

namespace {

// Page names made unique without regard to case, as DupePageName makes them
// but with a count after the third "+", and without its search over every
// name for every "+": the names taken are kept folded, and each name
// remembers how many continuations it has had, so a thousand folders of one
// name cost a thousand look-ups, not a million of ever longer names.
class UniqueNames
{
public:
    QByteArray take(const QByteArray& base)
    {
        const QByteArray folded = AnsiText::foldCase(base);
        int& next = m_next[folded];
        for (;; ++next) {
            const QByteArray name = continued(base, next);
            const QByteArray key = continued(folded, next);
            if (!BookmarkFile::IsFileSection(name) && !m_taken.contains(key)) {
                m_taken.insert(key);
                ++next;
                return name;
            }
        }
    }

private:
    // Links, Links+, Links++, Links+++, then Links+4: a count, not a row of
    // a hundred "+".
    static QByteArray continued(const QByteArray& base, int n)
    {
        if (n <= 3)
            return base + QByteArray(n, '+');
        return base + '+' + QByteArray::number(n);
    }

    QSet<QByteArray> m_taken;
    QHash<QByteArray, int> m_next;
};

// What a folder's pages add to a bookmark file (bookmarkFile's layout): per
// page "TabN=name\r\n" and "\r\n[name]\r\n" (N of up to seven digits, the
// name with up to eight more characters to make it unique), per link its
// two keys.
qsizetype folderSize(qsizetype nameSize, const std::vector<Link>& links)
{
    const qsizetype pageCount = std::max<qsizetype>(1, (qsizetype(links.size()) + kSlots - 1) / kSlots);
    qsizetype bytes = pageCount * (2 * (nameSize + 8) + 20);
    for (const Link& l : links)
        bytes += l.title.size() + l.url.size() + 12;
    return bytes;
}

} // namespace

std::vector<Page> pages(std::vector<Folder> folders, LeftOut* leftOut, const std::function<bool()>& go)
{
    std::vector<Page> out;
    UniqueNames names;
    // "[Tabs]\r\nCount=N\r\n".
    qsizetype bytes = 32;
    bool full = false;
    for (Folder& f : folders) {
        if (go && !go())
            return out;
        if (!full) {
            QByteArray base = BookmarkFile::PageNameOf(f.name);
            if (base.isEmpty())
                base = "Folder";
            // The folder's pages are counted before they are made: a folder
            // that does not fit whole is left out, and all after it.
            const qsizetype folderBytes = folderSize(base.size(), f.links);
            full = bytes + folderBytes > BookmarkFile::kMaxFileBytes;
            if (!full) {
                bytes += folderBytes;
                size_t next = 0;
                do {
                    Page page;
                    page.name = names.take(base);
                    const size_t end = std::min(f.links.size(), next + size_t(kSlots));
                    page.links.assign(std::make_move_iterator(f.links.begin() + qsizetype(next)),
                                      std::make_move_iterator(f.links.begin() + qsizetype(end)));
                    next = end;
                    out.push_back(std::move(page));
                } while (next < f.links.size());
            }
        }
        if (leftOut && (full || f.leftOut > 0)) {
            ++leftOut->folders;
            leftOut->links += f.leftOut + (full ? qsizetype(f.links.size()) : 0);
        }
        // What was moved out goes at once.
        f.links = {};
    }
    return out;
}

QByteArray bookmarkFile(const std::vector<Page>& pages)
{
    static const std::vector<QByteArray> keys = [] {
        std::vector<QByteArray> k;
        for (int n = 1; n <= kSlots; ++n)
            k.push_back(BookmarkFile::SlotKey(n));
        return k;
    }();
    // A value is one line of the file: control characters become blanks
    // (most values have none and are taken as they are).
    auto oneLine = [](const QByteArray& v) {
        for (const char c : v)
            if (uchar(c) < 0x20 || c == 0x7F)
                return AnsiText::oneLine(v);
        return v;
    };
    qsizetype size = 32;
    for (const Page& p : pages) {
        size += 2 * p.name.size() + 24;
        for (const Link& l : p.links)
            size += l.title.size() + l.url.size() + 12;
    }
    QByteArray out;
    out.reserve(size);
    out += "[Tabs]\r\nCount=" + QByteArray::number(qsizetype(pages.size())) + "\r\n";
    for (size_t i = 0; i < pages.size(); ++i)
        out += BookmarkFile::TabKey(int(i) + 1) + "=" + pages[i].name + "\r\n";
    for (const Page& p : pages) {
        out += "\r\n[" + p.name + "]\r\n";
        for (size_t i = 0; i < p.links.size(); ++i) {
            const QByteArray& key = keys[i];
            out.append(key).append("N=").append(oneLine(p.links[i].title)).append("\r\n");
            out.append(key).append("U=").append(oneLine(p.links[i].url)).append("\r\n");
        }
    }
    return out;
}

QByteArray folderLines(const std::vector<Page>& pages, qint64 now)
{
    const QByteArray date = QByteArray::number(now);
    QByteArray out;
    for (const Page& p : pages) {
        out += "    <DT><H3 ADD_DATE=\"" + date + "\" LAST_MODIFIED=\"" + date + "\">" +
               HtmlText::escape(AnsiText::toUi(p.name)).toUtf8() + "</H3>\n    <DL><p>\n";
        for (const Link& l : p.links)
            out += "        <DT><A HREF=\"" + escapedUrl(l.url).toUtf8() + "\" ADD_DATE=\"" + date + "\">" +
                   HtmlText::escape(AnsiText::toUi(l.title)).toUtf8() + "</A>\n";
        out += "    </DL><p>\n";
    }
    return out;
}

QByteArray newFile(const QByteArray& folders)
{
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
           "<!-- This is an automatically generated file.\n"
           "     It will be read and overwritten.\n"
           "     DO NOT EDIT! -->\n"
           "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
           "<TITLE>Bookmarks</TITLE>\n"
           "<H1>Bookmarks</H1>\n"
           "<DL><p>\n" +
           folders + "</DL><p>\n";
}

bool insertInto(QByteArray& file, const QByteArray& folders)
{
    // The lists as read() sees them: the root list is one at the top that
    // no heading opened. A file without one has its folders at the top.
    std::vector<bool> open; // per list entered: whether a heading opened it
    bool announced = false;
    qsizetype rootEnd = -1;   // the "</DL" that closes the last root list
    qsizetype folderEnd = -1; // after the "</DL>" that closes the last top folder
    const char* d = file.constData();
    const qsizetype n = file.size();
    for (qsizetype pos = 0; pos < n;) {
        const void* p = memchr(d + pos, '<', size_t(n - pos));
        if (!p)
            break;
        const qsizetype at = static_cast<const char*>(p) - d;
        if (at + 4 <= n && memcmp(d + at, "<!--", 4) == 0) {
            const qsizetype end = file.indexOf("-->", at + 4);
            pos = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype end = tagEnd(file, at);
        if (startsWithWord(file, at + 1, "h3")) {
            announced = true;
        } else if (startsWithWord(file, at + 1, "a")) {
            announced = false;
        } else if (startsWithWord(file, at + 1, "dl")) {
            open.push_back(announced);
            announced = false;
        } else if (at + 1 < n && file[at + 1] == '/' && startsWithWord(file, at + 2, "dl") && !open.empty()) {
            const bool byHeading = open.back();
            open.pop_back();
            if (open.empty()) {
                if (byHeading)
                    folderEnd = end;
                else
                    rootEnd = at;
            }
            announced = false;
        }
        pos = end;
    }
    if (!open.empty() && !open.front()) {
        // A root list the file never closes: the folders go at its end.
        if (!file.endsWith('\n'))
            file += '\n';
        file += folders;
        return true;
    }
    if (rootEnd >= 0) {
        // At the start of that line, so the indentation stays.
        qsizetype lineStart = rootEnd;
        while (lineStart > 0 && (file[lineStart - 1] == ' ' || file[lineStart - 1] == '\t'))
            --lineStart;
        file.insert(lineStart, folders);
        return true;
    }
    if (folderEnd < 0)
        return false;
    // After the last folder's list: past its "<p>" and the end of its line.
    qsizetype at = folderEnd;
    if (at + 3 <= n && (file[at] == '<') && (file[at + 1] == 'p' || file[at + 1] == 'P') && file[at + 2] == '>')
        at += 3;
    const qsizetype lineEnd = file.indexOf('\n', at);
    if (lineEnd < 0) {
        file.insert(at, '\n' + folders);
        return true;
    }
    file.insert(lineEnd + 1, folders);
    return true;
}

} // namespace NetscapeFile
