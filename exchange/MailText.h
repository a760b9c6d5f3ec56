#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The text of an e-mail as it goes to the server, and the checks on what the
// user typed into its header fields.
namespace MailText {

// One address of the form name@domain in printable ASCII: no blanks, no line
// break, no list, no display name.
bool isSingleAddress(const QString& text);
bool hasLineBreak(const QString& text);

// A bookmark that goes with the text.
struct Link
{
    QString url;
    QString title;
};

struct Message
{
    QString from;
    QString to;
    QString subject;
    QStringList lines; // the body
    QDateTime date;
    QList<Link> links; // after the body
};

// A link as plain text shows it: "Url > Title <".
QString PlainLine(const Link& link);

// Headers From, To, Subject, Date, Message-ID and Mime-Version, then the
// body; lines end in CR LF. Without links the body is one text/plain part.
// With links it is multipart/alternative: the text with each link as its
// plain line, and an HTML part with the same text and the links as links,
// so a mail program shows either form whole. The charset is iso-8859-1 when
// every character has a byte there, else utf-8; a part that is not 7-bit
// ASCII in lines of at most 998 bytes is sent quoted-printable, so nothing
// is cut; a subject that is not plain ASCII is sent as encoded words
// (RFC 2047).
QByteArray Compose(const Message& message);
// The lines of the HTML part: the text escaped, then the links.
QStringList HtmlLines(const QStringList& lines, const QList<Link>& links, const QByteArray& charset);

// The header value of a subject (encoded words when needed, folded).
QByteArray EncodeSubject(const QString& subject);
// Quoted-printable text of body lines joined with CR LF (RFC 2045).
QByteArray QuotedPrintable(const QList<QByteArray>& lines);
// The charset a body is sent in: "iso-8859-1" or "utf-8".
QByteArray CharsetFor(const QStringList& lines);

} // namespace MailText
