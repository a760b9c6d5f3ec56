#include "NotesText.h"

#include "AnsiText.h"

namespace NotesText {

QByteArray RemoveReturn(const QByteArray& text)
{
    QByteArray out = text;
    for (char& c : out) {
        if (c == '\r')
            c = '|';
        else if (c == '\n')
            c = '~';
    }
    return out;
}

QByteArray AddReturn(const QByteArray& text)
{
    QByteArray out = text;
    for (char& c : out) {
        if (c == '|')
            c = '\r';
        else if (c == '~')
            c = '\n';
    }
    return out;
}

QByteArray ClearReturn(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '|')
            out.append(' ');
        else if (c != '~')
            out.append(c);
    }
    return out;
}

QByteArray RemoveReturnDesc(const QByteArray& text)
{
    QByteArray out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

QByteArray Wrap(const QByteArray& text)
{
    // Columns count characters: in text shown as UTF-8 the continuation bytes
    // of a character do not advance the column.
    const bool utf8 = AnsiText::showsAsUtf8(text);
    QByteArray out = text;
    int column = 1;
    for (char& c : out) {
        if (utf8 && (static_cast<unsigned char>(c) & 0xC0) == 0x80)
            continue;
        if (c == '\r') {
            column = 1;
        } else if (c == ' ' && column >= 56) {
            c = '\r';
            column = 1;
        }
        ++column;
    }
    return out;
}

QByteArray RemoveSpaces(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out.append(c);
    return AnsiText::toLower(out);
}

} // namespace NotesText
