#pragma once

#include <QString>

// TPassForm: the input is always masked. A new password is typed twice.
struct PasswordRequest
{
    QString purpose;          // "Password for the page \"Work\":"
    bool newPassword = false; // setting one ("Save Password"), or checking one ("OK")
};
