#pragma once

#include "Prompter.h"

#include <QByteArray>
#include <QString>
#include <optional>

class Board;

// Password protection of the open file and of its pages.
class Passwords
{
public:
    explicit Passwords(Board& board) : m_board(board) {}

    // TPassForm: the typed password ("" when nothing was typed).
    QByteArray ask(const PasswordRequest& request);
    // What a password is asked for.
    static PasswordRequest forFile(const QByteArray& path, bool newPassword = false);
    static PasswordRequest forPage(const QByteArray& page, bool newPassword = false);
    static PasswordRequest forBookmark(const QByteArray& title, bool newPassword = false);

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

    // The form an address is stored in on a page: enciphered with the page's
    // password on a protected page, as it is elsewhere. Nothing (and a message
    // naming the bookmark) when its enciphered form would not read back.
    std::optional<QByteArray> storedUrl(const QByteArray& page, const QByteArray& url, const QByteArray& title);
    static QString cannotProtectText(const QString& title);

    static constexpr const char* kInvalid = "Invalid Password!";

private:
    void protectPage(const QByteArray& page);
    void unprotectPage(const QByteArray& page);

    Board& m_board;
};
