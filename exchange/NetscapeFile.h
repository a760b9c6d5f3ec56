#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
    // Links read past what one bookmark file can hold, counted, not kept.
    qsizetype leftOut = 0;
};

// Reads a bookmark file piece by piece: what it holds is the element being
// read and what the folders keep, whatever the size of the file (a picture
// held in an attribute is passed over, never copied).
class Reader
{
public:
    // step, when given, is told now and then how far the reading of a piece
    // got (a position in it); when it returns false, reading stops there.
    explicit Reader(std::function<bool(qsizetype at)> step = {}) : m_step(std::move(step)) {}
    // The next piece of the file. An element that goes on past its end is
    // held until the next piece comes.
    void feed(const QByteArray& piece);
    // The bytes held for the element that goes on: the next piece should be
    // at least as long, so that a long element is not read again and again.
    qsizetype held() const { return m_held.size(); }
    // The end of the file: the folders, as read() gives them.
    std::vector<Folder> finish();
    // Links left out for their address (see BookmarkAddress).
    int skipped() const { return m_skipped; }

private:
    // Reads the elements of html from its start; with more to come, only
    // those that end inside it. Returns where it stopped.
    qsizetype parse(const QByteArray& html, bool last);
    void addLink(QByteArrayView href, const QByteArray& html, qsizetype textFrom, qsizetype textTo);

    std::function<bool(qsizetype)> m_step;
    bool m_stopped = false;
    QByteArray m_held;
    std::vector<Folder> m_folders;
    Folder m_root;
    std::vector<int> m_open; // the folder of every list entered; -1 for the root
    int m_announced = -1;    // a heading read, its list not yet entered
    QByteArray m_heading;
    int m_skipped = 0;
    qsizetype m_kept = 0; // bytes the links kept would take in a bookmark file
};

// The folders in the order of their headings, each with its own links only
// (a sub-folder's links are its own; the parent's links after it stay the
// parent's; a heading without a list of its own has none). Links outside
// every folder come first, in a folder named after the file's heading
// ("Bookmarks" when it has none). Entities are decoded; text is UTF-8 when
// valid, else Windows-1252. Only addresses that may become bookmarks are
// taken (see BookmarkAddress); *skipped counts the others. step, when
// given, is told now and then how far the reading got (a position in html);
// when it returns false, reading stops there.
std::vector<Folder> read(const QByteArray& html, const std::function<bool(qsizetype at)>& step = {},
                         int* skipped = nullptr);
// The same for the file at path, read piece by piece. progress is told how
// many bytes were read; when it returns false, reading stops and nothing is
// given. Throws a command error when the file cannot be read.
std::vector<Folder> readFile(const QString& path, const std::function<bool(qint64 done, qint64 size)>& progress = {},
                             int* skipped = nullptr);

struct Page
{
    QByteArray name;
    std::vector<Link> links; // at most kSlots
};
constexpr int kSlots = 80;

// What did not fit into one bookmark file.
struct LeftOut
{
    int folders = 0;
    qsizetype links = 0;
};

// One page per folder, at most 80 links a page; more continue on pages with
// "+" appended (Links, Links+, Links++, Links+++, then Links+4, Links+5 ...).
// Names are made unique as page names are, without regard to case (two
// folders "News" give "News" and "News+"), in time linear in the folders.
// The pages make a bookmark file Lynkor opens (kMaxFileBytes): the folders
// from the first that does not fit on are left out and counted in
// *leftOut. go, when given, is asked before each folder; when it returns
// false, the pages made so far are given.
std::vector<Page> pages(std::vector<Folder> folders, LeftOut* leftOut = nullptr, const std::function<bool()>& go = {});

// A whole bookmark file holding the pages (the engine's saved form).
QByteArray bookmarkFile(const std::vector<Page>& pages);

// The folder lines of pages, indented for the root list; dates are seconds
// since 1970.
QByteArray folderLines(const std::vector<Page>& pages, qint64 now);
// A complete new bookmark file holding the folder lines.
QByteArray newFile(const QByteArray& folders);
// An existing bookmark file with the folder lines put at the end of its root
// list, or after its last folder when its folders stand in no list (as one
// browser writes them); false when it has no list at all.
bool insertInto(QByteArray& file, const QByteArray& folders);

} // namespace NetscapeFile
