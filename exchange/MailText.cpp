#include "MailText.h"

#include "HtmlText.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUuid>

namespace MailText {

namespace {

constexpr qsizetype kMaxLine = 998; // octets, without CR LF
constexpr qsizetype kQpLine = 76;

bool isLatin1(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xff)
            return false;
    return true;
}

bool isAsciiText(const QByteArray& bytes)
{
    for (const char c : bytes)
        if (uchar(c) > 0x7f)
            return false;
    return true;
}

QByteArray hexByte(uchar c)
{
    static const char digits[] = "0123456789ABCDEF";
    return QByteArray("=") + digits[c >> 4] + digits[c & 15];
}

struct Part
{
    QByteArray encoding; // "7bit" or "quoted-printable"
    QByteArray body;     // without the CR LF that ends it
};

Part encoded(const QStringList& lines, const QByteArray& charset)
{
    QList<QByteArray> bytes;
    bool plain = true;
    for (const QString& line : lines) {
        QByteArray b = charset == "utf-8" ? line.toUtf8() : line.toLatin1();
        if (!isAsciiText(b) || b.size() > kMaxLine)
            plain = false;
        bytes << b;
    }
    if (plain)
        return {"7bit", bytes.join("\r\n")};
    return {"quoted-printable", QuotedPrintable(bytes)};
}

QByteArray typeHeaders(const QByteArray& type, const QByteArray& charset, const QByteArray& encoding)
{
    return "Content-Type: " + type + "; charset=\"" + charset + "\"\r\nContent-Transfer-Encoding: " + encoding + "\r\n";
}

// Only addresses a mail program opens as they are become links; anything
// else (a program, a script) is shown as text.
bool linkable(const QString& url)
{
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                     QStringLiteral("mailto")};
    const QUrl parsed(url);
    return parsed.isValid() && schemes.contains(parsed.scheme().toLower());
}

// Text as HTML shows it: escaped, its blanks kept.
QString htmlText(const QString& text)
{
    QString out = HtmlText::escape(text);
    out.replace(QStringLiteral("  "), QStringLiteral(" &nbsp;"));
    if (out.startsWith(QLatin1Char(' ')))
        out.replace(0, 1, QStringLiteral("&nbsp;"));
    return out;
}

} // namespace

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool isSingleAddress(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[!#-'*+\\-/-9=?A-Z^-~.]+@[A-Za-z0-9.\\-\\[\\]:]+$"));
    return !text.isEmpty() && form.match(text).hasMatch() && !text.startsWith(QLatin1Char('@')) &&
           !text.endsWith(QLatin1Char('@'));
}

QByteArray CharsetFor(const QStringList& lines)
{
    for (const QString& line : lines)
        if (!isLatin1(line))
            return "utf-8";
    return "iso-8859-1";
}

QByteArray QuotedPrintable(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray& line = lines[n];
        QByteArray encoded;
        qsizetype column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const uchar c = uchar(line[i]);
            const bool last = i == line.size() - 1;
            QByteArray piece;
            // A blank at the end of a line would be dropped on the way; a dot
            // opening a line is a mail transfer's end mark.
            if ((c == ' ' || c == '\t') && last)
                piece = hexByte(c);
            else if (c == '.' && column == 0)
                piece = hexByte(c);
            else if (c == ' ' || c == '\t' || (c >= 33 && c <= 126 && c != '='))
                piece = QByteArray(1, char(c));
            else
                piece = hexByte(c);
            // Soft line break: "=" ends a line that goes on.
            if (column + piece.size() > kQpLine - 1) {
                encoded += "=\r\n";
                column = 0;
                if (piece == ".")
                    piece = hexByte('.');
            }
            encoded += piece;
            column += piece.size();
        }
        out += encoded;
        if (n < lines.size() - 1)
            out += "\r\n";
    }
    return out;
}

QByteArray EncodeSubject(const QString& subject)
{
    const QByteArray ascii = subject.toUtf8();
    if (isAsciiText(ascii) && ascii.size() <= 900)
        return ascii;
    // Encoded words of whole characters, each at most 75 octets, one per
    // folded line.
    QByteArray out;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < subject.size(); ++i) {
        qsizetype len = subject[i].isHighSurrogate() && i + 1 < subject.size() ? 2 : 1;
        const QByteArray character = subject.mid(i, len).toUtf8();
        i += len - 1;
        // 12 octets of "=?UTF-8?B??="; 45 octets give 60 of base64.
        if (chunk.size() + character.size() > 45)
            flush();
        chunk += character;
    }
    flush();
    return out;
}

QString PlainLine(const Link& link)
{
    return QStringLiteral("%1 > %2 <").arg(link.url, link.title);
}

QStringList HtmlLines(const QStringList& lines, const QList<Link>& links, const QByteArray& charset)
{
    QStringList out{QStringLiteral("<!DOCTYPE html>"),
                    QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\">"
                                   "</head>")
                        .arg(QString::fromLatin1(charset)),
                    QStringLiteral("<body>")};
    for (const QString& line : lines)
        out << htmlText(line) + QStringLiteral("<br>");
    for (const Link& link : links) {
        const QString shown = htmlText(link.title.isEmpty() ? link.url : link.title);
        if (linkable(link.url))
            out << QStringLiteral("<a href=\"%1\">%2</a><br>").arg(HtmlText::escape(link.url), shown);
        else
            out << htmlText(PlainLine(link)) + QStringLiteral("<br>");
    }
    out << QStringLiteral("</body></html>");
    return out;
}

QByteArray Compose(const Message& message)
{
    QStringList text = message.lines;
    for (const Link& link : message.links)
        text << PlainLine(link);
    const QByteArray charset = CharsetFor(text);
    const Part plain = encoded(text, charset);
    const QByteArray from = message.from.toLatin1();
    const QString domain = message.from.section(QLatin1Char('@'), -1);
    const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" + domain.toLatin1();

    QByteArray out;
    out += "From: " + from + "\r\n";
    out += "To: " + message.to.toLatin1() + "\r\n";
    out += "Subject: " + EncodeSubject(message.subject) + "\r\n";
    out += "Date: " + message.date.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    out += "Message-ID: <" + id + ">\r\n";
    out += "Mime-Version: 1.0\r\n";
    if (message.links.isEmpty()) {
        out += typeHeaders("text/plain", charset, plain.encoding);
        out += "\r\n" + plain.body + "\r\n";
        return out;
    }
    const Part html = encoded(HtmlLines(message.lines, message.links, charset), charset);
    // A quoted-printable part never holds "=_"; a 7-bit one could, if the
    // user typed it, so the boundary is checked against both.
    QByteArray boundary;
    do
        boundary = "=_lynkor_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    while (plain.body.contains(boundary) || html.body.contains(boundary));
    out += "Content-Type: multipart/alternative; boundary=\"" + boundary + "\"\r\n";
    out += "\r\n";
    // Each part ends with a line break of its own; the one before a boundary
    // belongs to the boundary.
    out += "--" + boundary + "\r\n" + typeHeaders("text/plain", charset, plain.encoding) + "\r\n" + plain.body +
           "\r\n\r\n";
    out +=
        "--" + boundary + "\r\n" + typeHeaders("text/html", charset, html.encoding) + "\r\n" + html.body + "\r\n\r\n";
    out += "--" + boundary + "--\r\n";
    return out;
}

} // namespace MailText
