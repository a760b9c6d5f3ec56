#pragma once

#include <QByteArray>
#include <QString>

// What a bookmark takes from its web page: the site's icon address and the
// page's description. Every pass over the page is linear in its length, so a
// hostile page costs no more than its bytes.
namespace PageScan {

// The most a page is read for (its head is at its start).
constexpr qint64 kMaxPageBytes = 2 * 1024 * 1024;
// The most a description keeps, in characters.
constexpr int kMaxDescription = 300;

// The icon address a page names: its icon meta tag (a later one wins), else
// the best of its icon links (rel "icon" or "shortcut icon"; "apple-touch-icon"
// only when there is no other; the size nearest the button's, SVG last), else
// the site's favicon.ico; relative addresses resolved against the page.
// extension receives the address's extension, declared whether the page
// named an icon.
QByteArray iconAddress(const QByteArray& page, const QByteArray& link, QByteArray* extension, bool* declared);

// The content of the first description meta tag, its line breaks dropped;
// found is false when there is none.
QByteArray description(const QByteArray& page, bool* found);

// A description as the bookmark's notes text: entities decoded, line breaks
// made blanks, at most kMaxDescription characters.
QString descriptionText(const QByteArray& raw);

// The text of the page's first <title>: entities decoded, blanks and line
// breaks made one blank each, at most kMaxTitle characters; "" without one.
constexpr int kMaxTitle = 255;
QString title(const QByteArray& page);

// "No" (usable), "Yes" (an error page or empty: unusable) or "GIF".
QByteArray iconStatus(const QByteArray& iconFileBytes);

} // namespace PageScan
