#pragma once

#include <QByteArray>

// Where a bookmark file keeps the icons fetched from web sites, and the names
// they get.
namespace WebIconFiles {

// The bookmark file's path without its extension, then "webicons/":
// Disk.LYK -> Diskwebicons/.
QByteArray folder(const QByteArray& bookmarkFile);
// The link from its host on (scheme and a leading "www." dropped) with \ / : *
// ? " < > | . , each replaced by "_": a name that never leaves the folder.
QByteArray strippedLink(const QByteArray& link);
// The site name an icon file of a bookmark must carry: the link from the
// position TrimHTTP gives, after its last "\" or ":", characters replaced.
QByteArray siteName(const QByteArray& url);
// Whether iconFile is the web icon made for url (its name up to the first
// "." is the site name).
bool belongsTo(const QByteArray& iconFile, const QByteArray& url);

} // namespace WebIconFiles
