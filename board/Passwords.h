#pragma once

#include <QByteArray>

class Board;

// Password protection of the open file and of its pages.
class Passwords
{
public:
    explicit Passwords(Board& board) : m_board(board) {}

    // TPassForm: the typed password ("" when nothing was typed). Checking
    // dialogs mask the input.
    QByteArray ask(bool masked);

    // Sets the file password; the file is locked from its next opening.
    void MProgPassClick();
    // Unlocks the locked board, offering to remove the protection.
    void ProgramProtected(const QByteArray& storedValue);
    void ProgPassButtonClick();

    // Sets or removes the password of the current page.
    void MPagePassClick();
    // Before a tab change: a protected page opens only with its password.
    bool enterPage(const QByteArray& page);
    // The page passwords of the open file, read into PagePassBox.
    void readPagePasswords();

    static constexpr const char* kInvalid = "Invalid Password!";

private:
    void protectPage(const QByteArray& page);
    void unprotectPage(const QByteArray& page);

    Board& m_board;
};
