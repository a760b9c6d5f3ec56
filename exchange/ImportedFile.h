#pragma once

#include "NetscapeFile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Board;
class WorkFeed;

// What the import and export commands share: the new bookmark file an import
// makes in the data folder, and the bookmarks an export takes.
namespace ImportedFile {

constexpr int kOverwriteHelp = 67;

// What an import left out, counted on the worker and said at the end.
struct Outcome
{
    int noAddress = 0; // shortcuts without an address
    int skipped = 0;   // addresses that may not become bookmarks
    NetscapeFile::LeftOut leftOut;
    // Said at the end of an import: nothing (the file written, nothing left
    // out; or cancelled before it was written), else what was left out
    // (what names the things read: "bookmark", "shortcut"), after nothing
    // when no file was written.
    void tell(Board& board, bool written, bool cancelled, const QString& nothing, const QString& what) const;
};

// ProgramDir + name, when it may be written: a file already there (its name
// found without regard to case, as Lynkor finds the files it names itself)
// only after the user's Yes; that file is the one replaced.
std::optional<QByteArray> target(Board& board, const char* name);
// An import as long work: make gives the pages (on a worker thread, with
// the feed for its progress; it may stop early when cancelled), which are
// written as the target file at once and only when not cancelled (an import
// never leaves half a file), and the file is then opened. after runs last,
// with whether the file was written and whether the user cancelled.
using MakePages = std::function<std::vector<NetscapeFile::Page>(WorkFeed& feed)>;
void importInBackground(Board& board, const QString& caption, const QString& text, const QByteArray& target,
                        MakePages make, std::function<void(bool written, bool cancelled)> after);

// The pages to export (all, or the page shown) with their web bookmarks in
// slot order; a protected address is no address a browser could open, and
// one that would run or show what it holds is none to hand it.
std::vector<NetscapeFile::Page> pagesOf(Board& board, bool allPages);

} // namespace ImportedFile
