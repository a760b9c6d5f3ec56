#include "PassText.h"

namespace PassText {

QByteArray scramble(const QByteArray& text)
{
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + (i + 1) / 2);
    return out;
}

QByteArray unscramble(const QByteArray& text)
{
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) - (i + 1) / 2);
    return out;
}

QByteArray Encrypt(const QByteArray& text, const QByteArray& password)
{
    return scramble(text) + kUrlMark + scramble(password);
}

namespace {

// The length of the UTF-8 character that begins at p, 0 when none does.
qsizetype utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned char c = *p;
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
    if (end - p < n)
        return 0;
    for (qsizetype i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

} // namespace

qsizetype markPosition(const QByteArray& stored)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(stored.constData());
    const auto* end = begin + stored.size();
    for (const unsigned char* p = begin; p < end;) {
        if (*p == static_cast<unsigned char>(kUrlMark))
            return p - begin;
        const qsizetype n = *p >= 0xC2 ? utf8Length(p, end) : 0;
        p += n > 0 ? n : 1;
    }
    return -1;
}

QByteArray Decrypt(const QByteArray& stored)
{
    const qsizetype mark = markPosition(stored);
    return mark < 0 ? QByteArray() : unscramble(stored.left(mark));
}

QByteArray StoredPassword(const QByteArray& stored)
{
    const qsizetype mark = markPosition(stored);
    return mark < 0 ? QByteArray() : unscramble(stored.mid(mark + 1));
}

namespace {

bool breaksALine(const QByteArray& bytes)
{
    return bytes.contains('\0') || bytes.contains('\r') || bytes.contains('\n');
}

} // namespace

bool EncryptRoundTrips(const QByteArray& text, const QByteArray& password)
{
    const QByteArray stored = Encrypt(text, password);
    if (breaksALine(stored) || static_cast<unsigned char>(stored.front()) <= 32 ||
        static_cast<unsigned char>(stored.back()) <= 32)
        return false;
    return Decrypt(stored) == text && StoredPassword(stored) == password;
}

bool EntryRoundTrips(const QByteArray& entry)
{
    const QByteArray s = scramble(entry);
    return !s.isEmpty() && !s.contains(kEntryMark) && !breaksALine(s) && static_cast<unsigned char>(s.front()) > 32;
}

} // namespace PassText
