#pragma once

#include <QByteArray>

class Board;
class Clipboard;

// The user information commands of the main window: the profile dialog, and
// the tray menu's copies of profile fields, bookmark fields and text files.
class UserInfo
{
public:
    UserInfo(Board& board, Clipboard& clipboard) : m_board(board), m_clipboard(clipboard) {}

    // The tool-bar button and "Change &User Info": the profile dialog.
    void UserButton1Click();
    // "Copy '...' to Clipboard": the User key named like the entry, or
    // First + " " + Last for "Full".
    void FirstClick(const QByteArray& name);
    // The current button's Notes ("UserID1", line breaks restored) or raw
    // ExtraInfo ("WebPass").
    void UserID1Click(const QByteArray& name);
    // "Copy Text File to Clipboard".
    void TextClick();

    // A text file larger than this is not put on the clipboard.
    static constexpr qint64 kMaxTextFile = 32 * 1024 * 1024;

private:
    void copy(const QString& text);

    Board& m_board;
    Clipboard& m_clipboard;
};
