#pragma once

#include <QString>

// How handing over one message ended.
struct SmtpResult
{
    bool sent = false; // the server accepted the message
    bool timedOut = false;
    bool cancelled = false;
    int replyCode = 0; // the server's last reply code, 0 when none came
    QString reply;     // the server's last reply line ("550 5.1.1 No such user")
    QString error;     // why it failed, in words for the user
};
