#pragma once

#include "NetscapeFile.h"

#include <QByteArray>
#include <optional>
#include <vector>

class Board;

// What the import and export commands share: the new bookmark file an import
// makes in the data folder, and the bookmarks an export takes.
namespace ImportedFile {

constexpr int kOverwriteHelp = 67;

// ProgramDir + name, when it may be written: a file already there only
// after the user's Yes.
std::optional<QByteArray> target(Board& board, const char* name);
// The pages written as that file at once (an import never leaves half a
// file), then opened.
void writeAndOpen(Board& board, const QByteArray& target, const std::vector<NetscapeFile::Page>& pages);

// The pages to export (all, or the page shown) with their web bookmarks in
// slot order; a protected address is no address a browser could open.
std::vector<NetscapeFile::Page> pagesOf(Board& board, bool allPages);

} // namespace ImportedFile
