#pragma once

#include <QByteArray>
#include <QString>

// One message to hand to a mail server.
struct SmtpJob
{
    // As the user gave it: "host", "host:port", "smtp://host:port" or
    // "smtps://host:port".
    QByteArray server;
    QByteArray sender;
    QByteArray recipient;
    // The whole message, headers and body, lines ended by CR LF; a line
    // holding only "." is escaped on the way.
    QByteArray message;
    // How long the server may take for any one reply, and for the whole exchange.
    int replyTimeoutSeconds = 15;
    int totalTimeoutSeconds = 60;
};
