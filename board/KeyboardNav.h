#pragma once

#include <QByteArray>
#include <QString>

class Board;

// Moving around the board from the keyboard while the key catcher `Keys` has
// the focus.
class KeyboardNav
{
public:
    // Space acts as Enter on the selected button; Menu (also Shift+F10) opens
    // its bookmark dialog; Escape puts a bookmark waiting to be placed back.
    enum class Key {
        F1,
        F7,
        F9,
        Left,
        Right,
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        Enter,
        Space,
        Menu,
        Escape,
        Other
    };

    explicit KeyboardNav(Board& board) : m_board(board) {}

    // A character: the next page whose name begins with it (case ignored).
    void KeysKeyPress(const QString& text);
    // Returns whether the key was handled.
    bool KeysKeyDown(Key key);
    // The keyboard's selection goes to this button (assistive technology
    // moved the focus there).
    void SelectButton(const QByteArray& buttonName);

private:
    void moveSelection(int to);

    Board& m_board;
};
