#include "PageScan.h"

#include "HtmlText.h"
#include "LaunchText.h"

#include <QList>
#include <QUrl>
#include <functional>
#include <limits>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

struct Attribute
{
    QByteArray name; // lower case
    QByteArray value;
};

QByteArray lower(QByteArray text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return text;
}

// Calls found(tag, attributes) for every <meta> and <link> tag of the page,
// in order; stops when found returns false. One pass, nothing read twice.
void scanTags(const QByteArray& html, const std::function<bool(const QByteArray&, const QList<Attribute>&)>& found)
{
    const char* p = html.constData();
    const char* const end = p + html.size();
    while (p < end) {
        p = static_cast<const char*>(memchr(p, '<', end - p));
        if (!p)
            return;
        ++p;
        const char* nameStart = p;
        while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
            ++p;
        const QByteArray tag = lower(QByteArray(nameStart, p - nameStart));
        if (tag != "meta" && tag != "link")
            continue;
        QList<Attribute> attributes;
        while (p < end && *p != '>') {
            if (isSpace(*p) || *p == '/') {
                ++p;
                continue;
            }
            const char* attrStart = p;
            while (p < end && !isSpace(*p) && *p != '=' && *p != '>' && *p != '/')
                ++p;
            Attribute a{lower(QByteArray(attrStart, p - attrStart)), {}};
            while (p < end && isSpace(*p))
                ++p;
            if (p < end && *p == '=') {
                ++p;
                while (p < end && isSpace(*p))
                    ++p;
                if (p < end && (*p == '"' || *p == '\'')) {
                    const char quote = *p++;
                    const char* valueStart = p;
                    const void* close = memchr(p, quote, end - p);
                    p = close ? static_cast<const char*>(close) : end;
                    a.value = QByteArray(valueStart, p - valueStart);
                    if (p < end)
                        ++p;
                } else {
                    const char* valueStart = p;
                    while (p < end && !isSpace(*p) && *p != '>')
                        ++p;
                    a.value = QByteArray(valueStart, p - valueStart);
                }
            }
            if (!a.name.isEmpty())
                attributes << a;
            else if (p < end && *p != '>')
                ++p; // a stray character: step over it
        }
        if (!found(tag, attributes))
            return;
    }
}

QByteArray value(const QList<Attribute>& attributes, const QByteArray& name)
{
    for (const Attribute& a : attributes)
        if (a.name == name)
            return a.value;
    return {};
}

bool hasToken(const QByteArray& list, const QByteArray& token)
{
    for (const QByteArray& t : lower(list).simplified().split(' '))
        if (t == token)
            return true;
    return false;
}

// How well an icon link fits a button of 15 pixels; lower is better.
int fit(const QList<Attribute>& attributes)
{
    const QByteArray href = lower(value(attributes, "href"));
    // Vector images cannot be shown here.
    const bool vector = lower(value(attributes, "type")).contains("svg") || href.contains(".svg");
    int best = 50; // no sizes given: often a favicon with several sizes
    const QByteArray sizes = lower(value(attributes, "sizes")).simplified();
    if (sizes == "any") {
        best = 60;
    } else if (!sizes.isEmpty()) {
        best = std::numeric_limits<int>::max();
        for (const QByteArray& size : sizes.split(' ')) {
            const int d = size.left(size.indexOf('x')).toInt();
            if (d <= 0)
                continue;
            const int score = d >= 16 ? d - 16 : 100 + (16 - d);
            best = std::min(best, score);
        }
    }
    return vector ? best + 1000 : best;
}

QByteArray extensionOf(const QUrl& address)
{
    const QString path = address.path();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    QByteArray extension = dot > slash ? path.mid(dot).toLatin1() : QByteArray(".ico");
    // Only plain file extensions make it into a file name.
    for (char c : extension.mid(1))
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return ".ico";
    return extension == "." ? QByteArray(".ico") : extension;
}

} // namespace

namespace PageScan {

QByteArray iconAddress(const QByteArray& page, const QByteArray& link, QByteArray* extension, bool* declared)
{
    QByteArray meta;
    QByteArray icon;
    int iconFit = std::numeric_limits<int>::max();
    QByteArray touch;
    int touchFit = std::numeric_limits<int>::max();
    scanTags(page, [&](const QByteArray& tag, const QList<Attribute>& attributes) {
        if (tag == "meta") {
            if (lower(value(attributes, "name")) == "icon" && !value(attributes, "content").trimmed().isEmpty())
                meta = value(attributes, "content"); // a later one wins
            return true;
        }
        const QByteArray href = value(attributes, "href").trimmed();
        if (href.isEmpty())
            return true;
        const QByteArray rel = value(attributes, "rel");
        const int f = fit(attributes);
        if (hasToken(rel, "icon")) {
            if (f < iconFit) {
                icon = href;
                iconFit = f;
            }
        } else if (hasToken(rel, "apple-touch-icon") || hasToken(rel, "apple-touch-icon-precomposed")) {
            if (f < touchFit) {
                touch = href;
                touchFit = f;
            }
        }
        return true;
    });
    QByteArray address = !meta.isEmpty() ? meta : !icon.isEmpty() ? icon : touch;
    *declared = !address.isEmpty();
    if (address.isEmpty()) {
        *extension = ".ico";
        return link.left(LaunchText::hostRange(link).end) + "/favicon.ico";
    }
    // Entities such as &amp; in the address are the page's way of writing it.
    address = HtmlText::decode(address.trimmed()).toUtf8();
    // A relative address is meant relative to the page.
    const QUrl resolved = QUrl::fromEncoded(link).resolved(QUrl::fromEncoded(address));
    *extension = extensionOf(resolved);
    return resolved.toEncoded();
}

QByteArray description(const QByteArray& page, bool* found)
{
    *found = false;
    QByteArray text;
    scanTags(page, [&](const QByteArray& tag, const QList<Attribute>& attributes) {
        if (tag != "meta" || lower(value(attributes, "name")) != "description")
            return true;
        *found = true;
        text = value(attributes, "content");
        return false;
    });
    // The lines of a description that runs over several are joined as they stand.
    text.replace("\r", "").replace("\n", "");
    return text;
}

QString descriptionText(const QByteArray& raw)
{
    QString text = HtmlText::decode(raw.left(kMaxDescription * 12));
    // Decoded references can bring back any character: controls become blanks.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text.left(kMaxDescription);
}

QString title(const QByteArray& page)
{
    // Where a tag of that name begins ("<title" or "</title"), from from on; -1 when none.
    auto tagAt = [&page](const QByteArray& name, qsizetype from) {
        const char* const begin = page.constData();
        const char* const end = begin + page.size();
        for (const char* p = begin + from; p < end;) {
            p = static_cast<const char*>(memchr(p, '<', end - p));
            if (!p)
                return qsizetype(-1);
            const qsizetype at = p - begin;
            const qsizetype after = at + name.size();
            if (lower(page.mid(at, name.size())) == name &&
                (after >= page.size() || isSpace(page[after]) || page[after] == '>'))
                return at;
            ++p;
        }
        return qsizetype(-1);
    };
    const qsizetype open = tagAt("<title", 0);
    if (open < 0)
        return {};
    const qsizetype start = page.indexOf('>', open);
    if (start < 0)
        return {};
    const qsizetype close = tagAt("</title", start);
    const QByteArray raw = page.mid(start + 1, (close < 0 ? page.size() : close) - start - 1).left(kMaxTitle * 12);
    QString text = HtmlText::decode(raw);
    // Decoded references can bring back any character: controls become blanks.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text.simplified().left(kMaxTitle);
}

QByteArray iconStatus(const QByteArray& bytes)
{
    QByteArray status = "No";
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');
    if (bytes.isEmpty() || lines.front().isEmpty())
        status = "Yes";
    for (const QByteArray& line : lines) {
        const QByteArray l = lower(line);
        if (line.contains("404") || l.contains("html") || l.contains("http") || l.contains("error") ||
            l.contains("not ") || l.contains("missing"))
            status = "Yes";
        if (line.startsWith("GIF8"))
            status = "GIF";
    }
    return status;
}

} // namespace PageScan
