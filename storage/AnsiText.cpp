#include "AnsiText.h"

#include <algorithm>

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 code
// point of the same value so that every byte survives a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned char fold1252(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return c + 16;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

} // namespace

namespace AnsiText {

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) > 127)
            return false;
    return true;
}

qsizetype utf8Length(const char* at, const char* end)
{
    const auto* p = reinterpret_cast<const unsigned char*>(at);
    const unsigned char c = *p;
    if (c < 0x80)
        return 1;
    qsizetype n;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (end - at < n)
        return 0;
    for (qsizetype i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are no UTF-8.
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

bool isValidUtf8(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end) {
        const qsizetype n = utf8Length(p, end);
        if (n == 0)
            return false;
        p += n;
    }
    return true;
}

bool showsAsUtf8(const QByteArray& bytes)
{
    return !isAscii(bytes) && isValidUtf8(bytes);
}

QString decode1252(const QByteArray& bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        *d++ = (c >= 0x80 && c <= 0x9F) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return out;
}

QByteArray encode1252(const QString& text, bool* ok)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar qc : text) {
        char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == u) {
                found = i;
                break;
            }
        if (found < 0) {
            if (ok)
                *ok = false;
            return {};
        }
        out.append(static_cast<char>(0x80 + found));
    }
    if (ok)
        *ok = true;
    return out;
}

QString toUi(const QByteArray& bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decode1252(bytes);
}

QString toUiStart(const QByteArray& bytes, qsizetype maxChars)
{
    // A character takes at most four bytes: more are never needed.
    if (bytes.size() <= maxChars)
        return toUi(bytes);
    const bool utf8 = showsAsUtf8(bytes);
    qsizetype cut = std::min(bytes.size(), utf8 ? maxChars * 4 : maxChars);
    if (utf8)
        // Not inside a character: continuation bytes are 10xxxxxx.
        while (cut > 0 && cut < bytes.size() && (uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;
    const QByteArray start = QByteArray::fromRawData(bytes.constData(), cut);
    // The whole value decides how it shows, not its start.
    QString text = utf8 ? QString::fromUtf8(start) : isAscii(start) ? QString::fromLatin1(start) : decode1252(start);
    if (text.size() > maxChars || cut < bytes.size()) {
        text.truncate(maxChars);
        text += QChar(0x2026);
    }
    return text;
}

QByteArray fromUi(const QString& text)
{
    // Windows-1252 only when its bytes read back as the same text: "É’"
    // gives C9 92, which is valid UTF-8 for "ɒ" and would come back changed.
    bool ok = false;
    QByteArray bytes = encode1252(text, &ok);
    return ok && !showsAsUtf8(bytes) ? bytes : text.toUtf8();
}

QByteArray toLower(const QByteArray& bytes)
{
    if (isAscii(bytes))
        return bytes.toLower();
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes).toLower().toUtf8();
    bool ok = false;
    QByteArray lowered = encode1252(decode1252(bytes).toLower(), &ok);
    return ok ? lowered : bytes;
}

QByteArray foldCase(const QByteArray& bytes)
{
    if (isAscii(bytes))
        return bytes.toLower();
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes).toCaseFolded().toUtf8();
    QByteArray out = bytes;
    for (char& c : out)
        c = static_cast<char>(fold1252(static_cast<unsigned char>(c)));
    return out;
}

QByteArray oneLine(const QByteArray& bytes)
{
    QByteArray out = bytes;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return out;
}

bool equalsNoCase(const QByteArray& a, const QByteArray& b)
{
    if (isAscii(a) && isAscii(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    return foldCase(a) == foldCase(b);
}

} // namespace AnsiText
