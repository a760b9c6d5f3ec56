#include "PassText.h"

#include "AnsiText.h"

#include <algorithm>

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

qsizetype markPosition(const QByteArray& stored)
{
    const char* begin = stored.constData();
    const char* end = begin + stored.size();
    for (const char* p = begin; p < end;) {
        if (*p == kUrlMark)
            return p - begin;
        p += std::max<qsizetype>(1, AnsiText::utf8Length(p, end));
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
