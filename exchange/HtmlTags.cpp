#include "HtmlTags.h"

#include "AnsiText.h"
#include "HtmlText.h"

#include <cstring>

namespace HtmlTags {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

} // namespace

// The stored form of text without tags whose characters are ASCII or Latin
// letters in UTF-8 and whose references are the basic ones: what the general
// path below gives, without going through Qt strings. Empty optional for any
// other text.
std::optional<QByteArray> latinText(const char* d, qsizetype n)
{
    // The result is never longer than the text.
    QByteArray out(n, Qt::Uninitialized);
    char* const begin = out.data();
    char* o = begin;
    bool blank = true; // at the start, or after a blank: blanks are dropped
    bool high = false;
    for (qsizetype i = 0; i < n; ++i) {
        uchar c = uchar(d[i]);
        if (c == '&') {
            const char* semi = static_cast<const char*>(memchr(d + i, ';', size_t(std::min<qsizetype>(n - i, 8))));
            if (!semi)
                return std::nullopt;
            const QByteArrayView name(d + i + 1, semi - d - i - 1);
            if (name == "amp")
                c = '&';
            else if (name == "lt")
                c = '<';
            else if (name == "gt")
                c = '>';
            else if (name == "quot")
                c = '"';
            else if (name == "apos" || name == "#39")
                c = '\'';
            else
                return std::nullopt;
            i = semi - d;
        } else if (c >= 0x80) {
            // Latin-1 letters only (C3 xx); anything else the general path.
            if (c != 0xC3 || i + 1 >= n || (uchar(d[i + 1]) & 0xC0) != 0x80)
                return std::nullopt;
            *o++ = char(0xC0 | (uchar(d[i + 1]) & 0x3F));
            ++i;
            high = true;
            blank = false;
            continue;
        } else if (c < 0x20 || c == 0x7F) {
            if (c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f')
                return std::nullopt;
            c = ' ';
        }
        if (c == ' ') {
            if (!blank)
                *o++ = ' ';
            blank = true;
            continue;
        }
        *o++ = char(c);
        blank = false;
    }
    if (o > begin && o[-1] == ' ')
        --o;
    out.truncate(o - begin);
    // Stored in Windows-1252 unless those bytes would read back as UTF-8.
    if (high && AnsiText::showsAsUtf8(out))
        return std::nullopt;
    return out;
}

// Whether the text at `at` begins with the lower-case word, in any case.
bool startsWithWord(const QByteArray& s, qsizetype at, const char* word)
{
    const qsizetype n = qsizetype(std::strlen(word));
    if (at + n > s.size())
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (lower(s[at + i]) != word[i])
            return false;
    // A tag name ends at a blank, "/" or ">".
    if (at + n == s.size())
        return true;
    const char next = s[at + n];
    return uchar(next) <= ' ' || next == '>' || next == '/';
}

// The end of a tag that begins at `at` ("<"): after its ">", quotes honoured.
// A quote left open (none closes it before the line ends or another tag
// begins) quotes nothing: the tag then ends at its first ">", so one
// missing quote does not swallow the rest of the file.
qsizetype tagEnd(const QByteArray& s, qsizetype at)
{
    const char* d = s.constData();
    const qsizetype n = s.size();
    for (qsizetype i = at + 1; i < n; ++i) {
        const char c = d[i];
        if (c == '>')
            return i + 1;
        if (c != '"' && c != '\'')
            continue;
        qsizetype close = i + 1;
        while (close < n && d[close] != c && d[close] != '\n' && d[close] != '<')
            ++close;
        if (close < n && d[close] == c) {
            i = close;
            continue;
        }
        if (close >= n)
            return n;
        for (qsizetype k = i + 1; k < n; ++k) {
            if (d[k] == '>')
                return k + 1;
            if (d[k] == '<')
                return k;
        }
        return n;
    }
    return n;
}

// The value of an attribute of the tag text (between "<" and ">"), any case,
// quoted or not; found is false when the tag has none.
QByteArrayView attributeView(QByteArrayView tag, const char* name, bool* found)
{
    *found = false;
    const qsizetype n = qsizetype(std::strlen(name));
    qsizetype i = 1;
    // Past the tag's name.
    while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '>')
        ++i;
    while (i < tag.size()) {
        while (i < tag.size() && (uchar(tag[i]) <= ' ' || tag[i] == '/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '=' && tag[i] != '>')
            ++i;
        const qsizetype nameEnd = i;
        while (i < tag.size() && uchar(tag[i]) <= ' ')
            ++i;
        bool same = nameEnd - nameStart == n;
        for (qsizetype k = 0; k < n && same; ++k)
            same = lower(tag[nameStart + k]) == name[k];
        // Only the value asked for is taken out.
        qsizetype valueStart = i;
        qsizetype valueEnd = i;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && uchar(tag[i]) <= ' ')
                ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i++];
                const qsizetype end = tag.indexOf(quote, i);
                valueStart = i;
                // A quote left open runs to the end of the tag, without its ">".
                valueEnd = end >= 0 ? end : tag.endsWith('>') ? tag.size() - 1 : tag.size();
                i = end >= 0 ? end + 1 : tag.size();
            } else {
                valueStart = i;
                while (i < tag.size() && uchar(tag[i]) > ' ' && tag[i] != '>')
                    ++i;
                valueEnd = i;
            }
        }
        if (same) {
            *found = true;
            return tag.sliced(valueStart, valueEnd - valueStart);
        }
        if (nameEnd == nameStart)
            ++i;
    }
    return {};
}

QByteArray attribute(const QByteArray& tag, const char* name, bool* found)
{
    return attributeView(tag, name, found).toByteArray();
}

QByteArray text(const QByteArray& html)
{
    const char* d = html.constData();
    const qsizetype n = html.size();
    // Most titles are plain ASCII words: taken as they are.
    bool plainAscii = true;
    for (qsizetype i = 0; i < n && plainAscii; ++i) {
        const uchar c = uchar(d[i]);
        plainAscii =
            c >= 0x20 && c < 0x7F && c != '&' && c != '<' && !(c == ' ' && (i == 0 || i == n - 1 || d[i - 1] == ' '));
    }
    if (plainAscii)
        return QByteArray(d, n);
    QByteArray plain;
    if (!memchr(d, '<', size_t(n))) {
        if (std::optional<QByteArray> fast = latinText(d, n))
            return *fast;
        plain = html;
    } else {
        plain.reserve(n);
        for (qsizetype i = 0; i < n; ++i) {
            if (d[i] == '<') {
                i = tagEnd(html, i) - 1;
                continue;
            }
            plain += d[i];
        }
    }
    return AnsiText::fromUi(HtmlText::decode(plain).simplified());
}

// A view of part of the file, for reading without a copy.
QByteArray view(const QByteArray& s, qsizetype from, qsizetype to)
{
    return QByteArray::fromRawData(s.constData() + from, to - from);
}

qsizetype textEnd(const QByteArray& s, qsizetype from, const char* name, std::initializer_list<const char*> stops)
{
    const char* d = s.constData();
    while (from < s.size()) {
        const void* p = memchr(d + from, '<', size_t(s.size() - from));
        if (!p)
            break;
        const qsizetype at = static_cast<const char*>(p) - d;
        const bool closes = at + 1 < s.size() && s[at + 1] == '/';
        if (closes && startsWithWord(s, at + 2, name))
            return at;
        for (const char* stop : stops) {
            if (stop[0] == '/' ? closes && startsWithWord(s, at + 2, stop + 1)
                               : !closes && startsWithWord(s, at + 1, stop))
                return at;
        }
        from = at + 1;
    }
    return s.size();
}

} // namespace HtmlTags
