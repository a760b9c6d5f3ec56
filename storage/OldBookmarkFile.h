#pragma once

#include <QByteArray>

class IniStore;

// Bookmark files of the old format (".KVK"): one section per field, keyed by
// a button number that runs over all pages, 40 buttons a page.
namespace OldBookmarkFile {

inline const QByteArray kPages = "Pages";
inline const QByteArray kPageTab = "PageTab";
inline const QByteArray kInfo = "Info";
constexpr int kSlotsPerPage = 40;

// The converted file's name: the old file's stem + ".LYK".
QByteArray ConvertedName(const QByteArray& oldPath);

// Writes the old file's bookmarks as a new bookmark file at newPath, which it
// replaces whole (atomically). Throws when the old file cannot be read or the
// new one cannot be written.
void OldToNew(IniStore& store, const QByteArray& oldPath, const QByteArray& newPath);

} // namespace OldBookmarkFile
