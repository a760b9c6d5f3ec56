#pragma once

#include <QByteArray>
#include <QString>

// The files are 8-bit text. The core keeps bytes; these functions are the
// only crossing into Unicode. A stored value is shown as UTF-8 when it is valid
// UTF-8 and holds a byte above 127, else as Windows-1252. Typed text is stored
// as Windows-1252 when every character fits and its bytes would read back as
// the same text, else as UTF-8: what is typed is what is shown.
namespace AnsiText {

QString toUi(const QByteArray& bytes);
// The start of a value as toUi shows it, at most maxChars characters, for
// places that show only a start (captions, tool tips, the title bar): the
// rest is neither copied nor decoded. "…" marks a cut.
QString toUiStart(const QByteArray& bytes, qsizetype maxChars);
QByteArray fromUi(const QString& text);

bool isAscii(const QByteArray& bytes);
bool isValidUtf8(const QByteArray& bytes);
// The length of the UTF-8 character that begins at `at` (1 for ASCII), 0 when
// no valid one does.
qsizetype utf8Length(const char* at, const char* end);
// True when the bytes are shown as UTF-8 (valid UTF-8 with a byte above 127).
bool showsAsUtf8(const QByteArray& bytes);

QString decode1252(const QByteArray& bytes);
// Empty optional-like result: ok is false when some character has no 1252 byte.
QByteArray encode1252(const QString& text, bool* ok);

// Case folding used for section names: ASCII, Windows-1252 letters, or full
// Unicode folding for text shown as UTF-8. Two names match without regard to
// case exactly when their folds are equal.
// Lower case in the text's own encoding.
QByteArray toLower(const QByteArray& bytes);

QByteArray foldCase(const QByteArray& bytes);

// Text from files, the clipboard or the network made one line: every
// control character becomes a blank.
QByteArray oneLine(const QByteArray& bytes);
bool equalsNoCase(const QByteArray& a, const QByteArray& b);

} // namespace AnsiText
