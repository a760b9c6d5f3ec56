#pragma once

#include <QByteArray>

// Notes are stored on one line: each CR as "|" and each LF as "~".
namespace NotesText {

QByteArray RemoveReturn(const QByteArray& text);     // CR -> "|", LF -> "~"
QByteArray AddReturn(const QByteArray& text);        // "|" -> CR, "~" -> LF
QByteArray ClearReturn(const QByteArray& text);      // "|" -> blank, "~" dropped
QByteArray RemoveReturnDesc(const QByteArray& text); // CR and LF -> blank
// Tool-tip wrapping: a blank met at column 56 or later becomes a CR.
QByteArray Wrap(const QByteArray& text);
QByteArray RemoveSpaces(const QByteArray& text); // blanks dropped, then lower case

} // namespace NotesText
