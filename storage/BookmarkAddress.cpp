#include "BookmarkAddress.h"

#include "AnsiText.h"

namespace BookmarkAddress {

namespace {

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

QString ruleOf(Origin origin)
{
    return origin == Origin::Web ? QStringLiteral("from the web only web and FTP addresses")
                                 : QStringLiteral("only web, FTP, file and program addresses");
}

QString notOf(Origin origin)
{
    return origin == Origin::Web ? QStringLiteral("(not javascript:, data:, file: and the like)")
                                 : QStringLiteral("(not javascript:, data: and the like)");
}

} // namespace

QByteArray scheme(QByteArrayView url)
{
    qsizetype begin = 0;
    while (begin < url.size() && uchar(url[begin]) <= ' ')
        ++begin;
    QByteArray out;
    for (qsizetype i = begin; i < url.size(); ++i) {
        const char c = url[i];
        if (c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c == ':') {
            // "host:8080/..." names a port, not a scheme.
            qsizetype digits = i + 1;
            while (digits < url.size() && url[digits] >= '0' && url[digits] <= '9')
                ++digits;
            const bool port = digits > i + 1 && (digits == url.size() || url[digits] == '/');
            return port ? QByteArray() : out;
        }
        const bool first = out.isEmpty();
        if (!(isAlpha(c) || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))))
            return {};
        out += char(c | 0x20);
    }
    return {};
}

bool mayBecomeBookmark(QByteArrayView url, Origin origin)
{
    const QByteArray s = scheme(url);
    if (s == "http" || s == "https" || s == "ftp" || s == "ftps")
        return true;
    if (origin == Origin::Web)
        return false;
    // A letter and a colon: a drive of a path kept from Windows (C:\...).
    return s.isEmpty() || s.size() == 1 || s == "file" || s == "mailto";
}

QString skippedText(qsizetype count, const QString& what, Origin origin)
{
    return QStringLiteral("%1 %2(s) were skipped: %3 become bookmarks %4.")
        .arg(count)
        .arg(what, ruleOf(origin), notOf(origin));
}

QString refusedText(const QByteArray& url, Origin origin)
{
    return QStringLiteral("\"%1\" makes no bookmark: %2 do %3.")
        .arg(AnsiText::toUiStart(url, 200), ruleOf(origin), notOf(origin));
}

} // namespace BookmarkAddress
