#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The web links of a page or of a text: what "Import from Web Page" and
// "Import from Clipboard" add as bookmarks.
namespace WebLinks {

struct Link
{
    QByteArray url;   // stored form
    QByteArray title; // stored form; never empty
};

// Longest title taken from a link's text, in characters.
constexpr int kMaxTitle = 255;
// Longer addresses are no links anyone could have meant.
constexpr int kMaxUrl = 64 * 1024;

// Every web link of an HTML page, in the page's order, each address once:
// the anchors (whatever the line layout), addresses relative to the page
// (or to its <base>) made absolute, and addresses written out in the
// page's text. Scripts, styles and comments are skipped. An anchor's title
// is its text (entities decoded), else its title attribute or its picture's
// alt text, else made from the host. pageUrl may be empty: relative
// addresses are then left out. Anchors to addresses that may not become
// bookmarks from the web (see BookmarkAddress: mail, scripts, files of this
// computer...) are left out and counted in *skipped.
std::vector<Link> fromHtml(const QByteArray& html, const QByteArray& pageUrl, int* skipped = nullptr);

// The web addresses written in a plain text, each once: an address ends at
// a blank, a quote or an angle bracket; a final full stop, comma, colon,
// semicolon, "!" or "?", and a closing bracket without its opening one, are
// punctuation of the text around it.
std::vector<Link> fromText(const QString& text);

// Whether an address is one of a web page: "http://" or "https://", any case.
bool isWebAddress(const QString& address);

// A title made from an address: its host without "www.", up to its first
// "." ("http://www.example.com/a" gives "example"); a host that is a
// numeric address, or has no ".", as it is.
QByteArray hostTitle(const QByteArray& url);

} // namespace WebLinks
