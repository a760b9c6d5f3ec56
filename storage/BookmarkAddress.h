#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Which addresses may become bookmarks. A bookmark is handed to a browser,
// the desktop or a program start: an address that makes a browser run what
// it holds (javascript:) or show a document it carries (data:) is none, nor
// is a file of this computer named by a web page or server.
namespace BookmarkAddress {

enum class Origin {
    // A web page, the clipboard, a server's answer: web and FTP addresses.
    Web,
    // The user's own files (a bookmark file, shortcuts, a drop): also file:
    // and mailto: addresses, and paths of files and programs.
    Own,
};

// The scheme as a browser reads it, in lower case: blanks and control
// characters around the address and tabs and line breaks inside it are
// ignored ("" when the address has none, as a path has none).
QByteArray scheme(QByteArrayView url);

bool mayBecomeBookmark(QByteArrayView url, Origin origin);

// "count what(s) were skipped: ..." with the rule of the origin.
QString skippedText(qsizetype count, const QString& what, Origin origin);
// "\"url\" makes no bookmark: ..." with the rule of the origin.
QString refusedText(const QByteArray& url, Origin origin);

} // namespace BookmarkAddress
