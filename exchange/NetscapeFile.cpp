#include "NetscapeFile.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "HtmlText.h"
#include "IniDocument.h"

#include <QDateTime>
#include <QSet>
#include <QUrl>
#include <cstring>
#include <optional>

namespace NetscapeFile {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// Whether the text at `at` begins with the lower-case word, in any case.
bool startsWithWord(const QByteArray& s, qsizetype at, const char* word)
{
    const qsizetype n = qsizetype(std::strlen(word));
    if (at + n > s.size())
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (lower(s[at + i]) != word[i])
            return false;
    // A tag name ends at a blank, "/" or ">".
    if (at + n == s.size())
        return true;
    const char next = s[at + n];
    return uchar(next) <= ' ' || next == '>' || next == '/';
}

// Where the closing tag "</name" begins at or after from; the end when none.
qsizetype closing(const QByteArray& s, qsizetype from, const char* name)
{
    const char* d = s.constData();
    while (from < s.size()) {
        const void* p = memchr(d + from, '<', size_t(s.size() - from));
        if (!p)
            return s.size();
        const qsizetype at = static_cast<const char*>(p) - d;
        if (at + 1 < s.size() && s[at + 1] == '/' && startsWithWord(s, at + 2, name))
            return at;
        from = at + 1;
    }
    return s.size();
}

// The end of a tag that begins at `at` ("<"): after its ">", quotes honoured.
qsizetype tagEnd(const QByteArray& s, qsizetype at)
{
    char quote = 0;
    for (qsizetype i = at + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return s.size();
}

// The value of an attribute of the tag text (between "<" and ">"), any case,
// quoted or not; found is false when the tag has none.
QByteArray attribute(const QByteArray& tag, const char* name, bool* found)
{
    *found = false;
    const qsizetype n = qsizetype(std::strlen(name));
    qsizetype i = 1;
    // Past the tag's name.
    while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '>')
        ++i;
    while (i < tag.size()) {
        while (i < tag.size() && (uchar(tag[i]) <= ' ' || tag[i] == '/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '=' && tag[i] != '>')
            ++i;
        const qsizetype nameEnd = i;
        while (i < tag.size() && uchar(tag[i]) <= ' ')
            ++i;
        bool same = nameEnd - nameStart == n;
        for (qsizetype k = 0; k < n && same; ++k)
            same = lower(tag[nameStart + k]) == name[k];
        // Only the value asked for is taken out.
        qsizetype valueStart = i;
        qsizetype valueEnd = i;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && uchar(tag[i]) <= ' ')
                ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i++];
                const qsizetype end = tag.indexOf(quote, i);
                valueStart = i;
                valueEnd = end < 0 ? tag.size() : end;
                i = valueEnd + 1;
            } else {
                valueStart = i;
                while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '>')
                    ++i;
                valueEnd = i;
            }
        }
        if (same) {
            *found = true;
            return tag.mid(valueStart, valueEnd - valueStart);
        }
        if (nameEnd == nameStart)
            ++i;
    }
    return {};
}

// Text between tags as the user sees it: entities decoded, tags inside it
// dropped, blanks and line breaks made single blanks.
// The stored form of text without tags whose characters are ASCII or Latin
// letters in UTF-8 and whose references are the basic ones: what the general
// path below gives, without going through Qt strings. Empty optional for any
// other text.
std::optional<QByteArray> latinText(const char* d, qsizetype n)
{
    // The result is never longer than the text.
    QByteArray out(n, Qt::Uninitialized);
    char* const begin = out.data();
    char* o = begin;
    bool blank = true; // at the start, or after a blank: blanks are dropped
    bool high = false;
    for (qsizetype i = 0; i < n; ++i) {
        uchar c = uchar(d[i]);
        if (c == '&') {
            const char* semi = static_cast<const char*>(memchr(d + i, ';', size_t(std::min<qsizetype>(n - i, 8))));
            if (!semi)
                return std::nullopt;
            const QByteArrayView name(d + i + 1, semi - d - i - 1);
            if (name == "amp")
                c = '&';
            else if (name == "lt")
                c = '<';
            else if (name == "gt")
                c = '>';
            else if (name == "quot")
                c = '"';
            else if (name == "apos" || name == "#39")
                c = '\'';
            else
                return std::nullopt;
            i = semi - d;
        } else if (c >= 0x80) {
            // Latin-1 letters only (C3 xx); anything else the general path.
            if (c != 0xC3 || i + 1 >= n || (uchar(d[i + 1]) & 0xC0) != 0x80)
                return std::nullopt;
            *o++ = char(0xC0 | (uchar(d[i + 1]) & 0x3F));
            ++i;
            high = true;
            blank = false;
            continue;
        } else if (c < 0x20 || c == 0x7F) {
            if (c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f')
                return std::nullopt;
            c = ' ';
        }
        if (c == ' ') {
            if (!blank)
                *o++ = ' ';
            blank = true;
            continue;
        }
        *o++ = char(c);
        blank = false;
    }
    if (o > begin && o[-1] == ' ')
        --o;
    out.truncate(o - begin);
    // Stored in Windows-1252 unless those bytes would read back as UTF-8.
    if (high && AnsiText::showsAsUtf8(out))
        return std::nullopt;
    return out;
}

QByteArray text(const QByteArray& html)
{
    const char* d = html.constData();
    const qsizetype n = html.size();
    // Most titles are plain ASCII words: taken as they are.
    bool plainAscii = true;
    for (qsizetype i = 0; i < n && plainAscii; ++i) {
        const uchar c = uchar(d[i]);
        plainAscii =
            c >= 0x20 && c < 0x7F && c != '&' && c != '<' && !(c == ' ' && (i == 0 || i == n - 1 || d[i - 1] == ' '));
    }
    if (plainAscii)
        return QByteArray(d, n);
    QByteArray plain;
    if (!memchr(d, '<', size_t(n))) {
        if (std::optional<QByteArray> fast = latinText(d, n))
            return *fast;
        plain = html;
    } else {
        plain.reserve(n);
        for (qsizetype i = 0; i < n; ++i) {
            if (d[i] == '<') {
                i = tagEnd(html, i) - 1;
                continue;
            }
            plain += d[i];
        }
    }
    return AnsiText::fromUi(HtmlText::decode(plain).simplified());
}

// A view of part of the file, for reading without a copy.
QByteArray view(const QByteArray& s, qsizetype from, qsizetype to)
{
    return QByteArray::fromRawData(s.constData() + from, to - from);
}

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

std::vector<Folder> read(const QByteArray& html)
{
    std::vector<Folder> folders;
    Folder root;
    std::vector<int> open; // the folder of every list entered; -1 for the root
    int announced = -1;    // a heading read, its list not yet entered
    QByteArray heading;
    const char* d = html.constData();
    qsizetype pos = 0;
    while (pos < html.size()) {
        const void* p = memchr(d + pos, '<', size_t(html.size() - pos));
        if (!p)
            break;
        const qsizetype at = static_cast<const char*>(p) - d;
        if (at + 4 <= html.size() && memcmp(d + at, "<!--", 4) == 0) {
            const qsizetype end = html.indexOf("-->", at + 4);
            pos = end < 0 ? html.size() : end + 3;
            continue;
        }
        const qsizetype end = tagEnd(html, at);
        if (startsWithWord(html, at + 1, "h1")) {
            const qsizetype close = closing(html, end, "h1");
            heading = text(view(html, end, close));
            pos = close;
        } else if (startsWithWord(html, at + 1, "h3")) {
            const qsizetype close = closing(html, end, "h3");
            folders.push_back({text(view(html, end, close)), {}});
            announced = int(folders.size()) - 1;
            pos = close;
        } else if (startsWithWord(html, at + 1, "dl")) {
            open.push_back(announced >= 0 ? announced : open.empty() ? -1 : open.back());
            announced = -1;
            pos = end;
        } else if (html[at + 1] == '/' && startsWithWord(html, at + 2, "dl")) {
            if (!open.empty())
                open.pop_back();
            announced = -1;
            pos = end;
        } else if (startsWithWord(html, at + 1, "a")) {
            bool found = false;
            const QByteArray href = attribute(view(html, at, end), "href", &found);
            const qsizetype close = closing(html, end, "a");
            pos = close;
            QByteArray url;
            if (!href.contains('&') && AnsiText::isAscii(href))
                url = href.trimmed();
            else if (std::optional<QByteArray> fast = latinText(href.constData(), href.size()))
                url = *fast; // blanks inside an address are no part of it either way
            else
                url = AnsiText::fromUi(HtmlText::decode(href).trimmed());
            if (!found || url.isEmpty())
                continue;
            QByteArray title = text(view(html, end, close));
            if (title.isEmpty())
                title = hostOf(url);
            const int folder = announced >= 0 ? announced : open.empty() ? -1 : open.back();
            (folder < 0 ? root : folders[size_t(folder)]).links.push_back({url, title});
        } else {
            pos = end;
        }
    }
    if (!root.links.empty()) {
        root.name = heading.isEmpty() ? QByteArray("Bookmarks") : heading;
        folders.insert(folders.begin(), std::move(root));
    }
    return folders;
}

std::vector<Page> pages(std::vector<Folder> folders)
{
    std::vector<Page> out;
    // DupePageName's rule, with the names taken kept folded for a quick look-up.
    QSet<QByteArray> taken;
    auto unique = [&taken](QByteArray name) {
        while (BookmarkFile::IsFileSection(name) || taken.contains(AnsiText::foldCase(name)))
            name += '+';
        taken.insert(AnsiText::foldCase(name));
        return name;
    };
    for (Folder& f : folders) {
        QByteArray base = BookmarkFile::PageNameOf(f.name);
        if (base.isEmpty())
            base = "Folder";
        size_t next = 0;
        do {
            Page page;
            page.name = unique(base);
            const size_t end = std::min(f.links.size(), next + size_t(kSlots));
            page.links.assign(std::make_move_iterator(f.links.begin() + qsizetype(next)),
                              std::make_move_iterator(f.links.begin() + qsizetype(end)));
            next = end;
            out.push_back(std::move(page));
        } while (next < f.links.size());
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
    // The root list ends at the last "</DL>".
    const QByteArray lowered = file.toLower();
    const qsizetype end = lowered.lastIndexOf("</dl");
    if (end < 0 || lowered.indexOf("<dl") < 0)
        return false;
    // At the start of that line, so the indentation stays.
    qsizetype lineStart = end;
    while (lineStart > 0 && (file[lineStart - 1] == ' ' || file[lineStart - 1] == '\t'))
        --lineStart;
    file.insert(lineStart, folders);
    return true;
}

} // namespace NetscapeFile
