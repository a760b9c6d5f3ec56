#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// The HTML bookmark file every browser reads and writes (the Netscape
// format): read whatever its line layout, written so browsers read it back.
namespace NetscapeFile {

struct Link
{
    QByteArray url;   // stored form (the file's text rule)
    QByteArray title; // stored form; the host when the file gave none
};

struct Folder
{
    QByteArray name; // stored form
    std::vector<Link> links;
};

// The folders in the order of their headings, each with its own links only
// (a sub-folder's links are its own; the parent's links after it stay the
// parent's). Links outside every folder come first, in a folder named after
// the file's heading ("Bookmarks" when it has none). Entities are decoded;
// text is UTF-8 when valid, else Windows-1252. step, when given, is told now
// and then how far the reading got (a position in html); when it returns
// false, reading stops there.
std::vector<Folder> read(const QByteArray& html, const std::function<bool(qsizetype at)>& step = {});

struct Page
{
    QByteArray name;
    std::vector<Link> links; // at most kSlots
};
constexpr int kSlots = 80;

// One page per folder, at most 80 links a page; more continue on pages with
// "+" appended (Links, Links+, Links++). Names are made unique as page names
// are (two folders "News" give "News" and "News+").
std::vector<Page> pages(std::vector<Folder> folders);

// A whole bookmark file holding the pages (the engine's saved form).
QByteArray bookmarkFile(const std::vector<Page>& pages);

// The folder lines of pages, indented for the root list; dates are seconds
// since 1970.
QByteArray folderLines(const std::vector<Page>& pages, qint64 now);
// A complete new bookmark file holding the folder lines.
QByteArray newFile(const QByteArray& folders);
// An existing bookmark file with the folder lines put at the end of its root
// list; false when it has no list to put them in.
bool insertInto(QByteArray& file, const QByteArray& folders);

} // namespace NetscapeFile
