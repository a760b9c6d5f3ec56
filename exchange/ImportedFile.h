#pragma once

#include "NetscapeFile.h"

#include <QByteArray>
#include <functional>
#include <optional>
#include <vector>

class Board;
class WorkFeed;

// What the import and export commands share: the new bookmark file an import
// makes in the data folder, and the bookmarks an export takes.
namespace ImportedFile {

constexpr int kOverwriteHelp = 67;

// ProgramDir + name, when it may be written: a file already there only
// after the user's Yes.
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
// slot order; a protected address is no address a browser could open.
std::vector<NetscapeFile::Page> pagesOf(Board& board, bool allPages);

} // namespace ImportedFile
