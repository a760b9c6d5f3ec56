#include "NetscapeFile.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "HtmlTags.h"
#include "HtmlText.h"
#include "IniDocument.h"

#include <QDateTime>
#include <QSet>
#include <QUrl>
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

std::vector<Folder> read(const QByteArray& html, const std::function<bool(qsizetype at)>& step)
{
    constexpr qsizetype kStep = 256 * 1024;
    qsizetype nextStep = kStep;
    std::vector<Folder> folders;
    Folder root;
    std::vector<int> open; // the folder of every list entered; -1 for the root
    int announced = -1;    // a heading read, its list not yet entered
    QByteArray heading;
    const char* d = html.constData();
    qsizetype pos = 0;
    while (pos < html.size()) {
        if (step && pos >= nextStep) {
            nextStep = pos + kStep;
            if (!step(pos))
                break;
        }
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
            const qsizetype close = textEnd(html, end, "h1", kStops);
            heading = text(view(html, end, close));
            pos = close;
        } else if (startsWithWord(html, at + 1, "h3")) {
            const qsizetype close = textEnd(html, end, "h3", kStops);
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
            const qsizetype close = textEnd(html, end, "a", kStops);
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
