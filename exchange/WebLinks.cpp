#include "WebLinks.h"

#include "AnsiText.h"
#include "BookmarkAddress.h"
#include "HtmlTags.h"
#include "HtmlText.h"

#include <QHostAddress>
#include <QSet>
#include <QUrl>
#include <cstring>
#include <functional>

namespace WebLinks {

namespace {

using namespace HtmlTags;

// Where "http://" or "https://" begins at or after from, in any case; -1
// when nowhere. schemeLength receives the length of what was found.
qsizetype schemeAt(const QString& text, qsizetype from, int* schemeLength)
{
    for (qsizetype i = text.indexOf(QLatin1String("http"), from, Qt::CaseInsensitive); i >= 0;
         i = text.indexOf(QLatin1String("http"), i + 4, Qt::CaseInsensitive)) {
        const QStringView rest = QStringView(text).mid(i + 4);
        if (rest.startsWith(QLatin1String("://"))) {
            *schemeLength = 7;
            return i;
        }
        if (rest.startsWith(QLatin1String("s://"), Qt::CaseInsensitive)) {
            *schemeLength = 8;
            return i;
        }
    }
    return -1;
}

bool endsAddress(QChar c)
{
    return c.isSpace() || c.unicode() < 0x20 || c == QLatin1Char('<') || c == QLatin1Char('>') ||
           c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`');
}

// Every address written in the text, as it stands.
void addressesIn(const QString& text, const std::function<void(const QString&)>& found)
{
    int schemeLength = 0;
    for (qsizetype i = schemeAt(text, 0, &schemeLength); i >= 0; i = schemeAt(text, i, &schemeLength)) {
        qsizetype end = i + schemeLength;
        while (end < text.size() && !endsAddress(text[end]))
            ++end;
        QString address = text.mid(i, end - i);
        // Punctuation of the sentence the address stands in is no part of it.
        for (bool cut = true; cut && address.size() > schemeLength;) {
            const QChar last = address.back();
            cut = QStringLiteral(".,:;!?").contains(last) ||
                  (last == QLatin1Char(')') && address.count(QLatin1Char('(')) < address.count(QLatin1Char(')'))) ||
                  (last == QLatin1Char(']') && address.count(QLatin1Char('[')) < address.count(QLatin1Char(']')));
            if (cut)
                address.chop(1);
        }
        if (address.size() > schemeLength)
            found(address);
        i = end;
    }
}

QByteArray shortTitle(const QByteArray& title)
{
    if (title.size() <= kMaxTitle)
        return title;
    const QString shown = AnsiText::toUi(title);
    return shown.size() <= kMaxTitle ? title : AnsiText::fromUi(shown.left(kMaxTitle).trimmed());
}

// The links found, each address once.
class Found
{
public:
    explicit Found(std::vector<Link>& out) : m_out(out) {}
    void add(const QString& address, const QByteArray& title)
    {
        if (address.size() > kMaxUrl)
            return;
        QByteArray url = AnsiText::fromUi(address);
        if (m_seen.contains(url))
            return;
        m_seen.insert(url);
        QByteArray t = shortTitle(title);
        if (t.isEmpty())
            t = hostTitle(url);
        m_out.push_back({std::move(url), std::move(t)});
    }

private:
    std::vector<Link>& m_out;
    QSet<QByteArray> m_seen;
};

// The address an anchor points at, absolute; empty when it is none that
// may become a bookmark (then *refused is set, unless it was no address at
// all: a place in the page, a relative one without a page to start from).
QString target(const QByteArray& href, const QUrl& base, bool* refused)
{
    *refused = false;
    QString address = HtmlText::decode(href).trimmed();
    // Browsers drop line breaks and tabs inside an address.
    address.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char('\t'));
    if (address.isEmpty() || address.startsWith(QLatin1Char('#')))
        return {};
    if (isWebAddress(address))
        return address;
    const QUrl given(address);
    if (base.isEmpty() && given.scheme().isEmpty())
        return {};
    const QUrl resolved = base.isEmpty() ? given : base.resolved(given);
    if (!resolved.isValid())
        return {};
    const QString absolute = resolved.toString(QUrl::FullyEncoded);
    if (!BookmarkAddress::mayBecomeBookmark(absolute.toUtf8(), BookmarkAddress::Origin::Web)) {
        *refused = true;
        return {};
    }
    return absolute;
}

} // namespace

bool isWebAddress(const QString& address)
{
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

std::vector<Link> fromHtml(const QByteArray& html, const QByteArray& pageUrl, int* skipped)
{
    std::vector<Link> out;
    if (skipped)
        *skipped = 0;
    Found found(out);
    QUrl base(HtmlText::decode(pageUrl).trimmed());
    if (!isWebAddress(base.toString()))
        base.clear();
    bool baseSet = false;
    // Addresses written in the page's text.
    auto scanText = [&](qsizetype from, qsizetype to) {
        if (to <= from || !QByteArrayView(html).sliced(from, to - from).contains("://"))
            return;
        addressesIn(HtmlText::decode(html.mid(from, to - from)),
                    [&](const QString& address) { found.add(address, {}); });
    };
    const char* d = html.constData();
    qsizetype pos = 0;
    while (pos < html.size()) {
        const void* p = memchr(d + pos, '<', size_t(html.size() - pos));
        const qsizetype at = p ? static_cast<const char*>(p) - d : html.size();
        scanText(pos, at);
        if (at >= html.size())
            break;
        if (html.size() - at >= 4 && memcmp(d + at, "<!--", 4) == 0) {
            const qsizetype end = html.indexOf("-->", at + 4);
            pos = end < 0 ? html.size() : end + 3;
            continue;
        }
        const qsizetype end = tagEnd(html, at);
        if (startsWithWord(html, at + 1, "script") || startsWithWord(html, at + 1, "style")) {
            const char* name = startsWithWord(html, at + 1, "script") ? "script" : "style";
            pos = textEnd(html, end, name, {});
        } else if (startsWithWord(html, at + 1, "base")) {
            bool has = false;
            const QByteArray href = attribute(view(html, at, end), "href", &has);
            if (has && !baseSet) {
                baseSet = true;
                const QUrl named = base.resolved(QUrl(HtmlText::decode(href).trimmed()));
                if (isWebAddress(named.toString()))
                    base = named;
            }
            pos = end;
        } else if (startsWithWord(html, at + 1, "a")) {
            const QByteArray tag = view(html, at, end);
            const qsizetype close = textEnd(html, end, "a", {"a"});
            pos = close;
            bool has = false;
            bool refused = false;
            const QString address = target(attribute(tag, "href", &has), base, &refused);
            if (refused && skipped)
                ++*skipped;
            if (!has || address.isEmpty())
                continue;
            const QByteArray inner = view(html, end, close);
            QByteArray title = text(inner);
            if (title.isEmpty())
                title = text(attribute(tag, "title", &has));
            // A picture as the link: its alt text.
            for (qsizetype i = inner.indexOf('<'); title.isEmpty() && i >= 0; i = inner.indexOf('<', i + 1))
                if (startsWithWord(inner, i + 1, "img"))
                    title = text(attribute(view(inner, i, tagEnd(inner, i)), "alt", &has));
            found.add(address, title);
        } else {
            pos = end;
        }
    }
    return out;
}

std::vector<Link> fromText(const QString& text)
{
    std::vector<Link> out;
    Found found(out);
    addressesIn(text, [&](const QString& address) { found.add(address, {}); });
    return out;
}

QByteArray hostTitle(const QByteArray& url)
{
    const QString address = AnsiText::toUi(url);
    QString host = QUrl(address).host();
    if (host.isEmpty()) {
        const qsizetype start = address.indexOf(QLatin1String("//"));
        host = start < 0 ? address : address.mid(start + 2).section(QLatin1Char('/'), 0, 0);
    }
    if (host.isEmpty())
        return url;
    if (!QHostAddress(host).isNull())
        return AnsiText::fromUi(host);
    if (host.startsWith(QLatin1String("www."), Qt::CaseInsensitive) && host.size() > 4)
        host = host.mid(4);
    const qsizetype dot = host.indexOf(QLatin1Char('.'));
    return AnsiText::fromUi(dot > 0 ? host.left(dot) : host);
}

} // namespace WebLinks
