#pragma once

#include <QByteArray>

// The light scrambling of addresses and passwords: a position-dependent byte
// shift that hides them from a casual look. It is not encryption.
namespace PassText {

// Byte i (from 1) raised by i div 2, modulo 256.
QByteArray scramble(const QByteArray& text);
QByteArray unscramble(const QByteArray& text);

inline constexpr char kUrlMark = '\xB6';   // between address and password
inline constexpr char kEntryMark = '\xA7'; // after each page-password entry

// scramble(text) + B6 + scramble(password).
QByteArray Encrypt(const QByteArray& text, const QByteArray& password);
// Where the mark of a protected value is: the first B6 that is not part of a
// UTF-8 character ("ö" is C3 B6, "ж" D0 B6: letters of text stored as UTF-8,
// not marks); -1 when there is none.
qsizetype markPosition(const QByteArray& stored);
inline bool isProtected(const QByteArray& stored)
{
    return markPosition(stored) >= 0;
}
// unscramble of the bytes before the mark; empty without one.
QByteArray Decrypt(const QByteArray& stored);
// unscramble of the bytes after the mark (the bookmark's password).
QByteArray StoredPassword(const QByteArray& stored);

// Whether the protected form of text + password reads back exactly from the
// file. Scrambling can give a mark byte before the real mark (which would cut
// the address short) or swallow the mark into a UTF-8 character,
// a line break or a NUL (which would end the file's text), or a blank at an end
// of the value (which reading trims).
bool EncryptRoundTrips(const QByteArray& text, const QByteArray& password);
// The same for one page-password entry (A7 ends an entry).
bool EntryRoundTrips(const QByteArray& entry);

} // namespace PassText
