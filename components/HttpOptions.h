#pragma once

#include <QByteArray>
#include <QtGlobal>

// How one HTTP request is made.
struct HttpOptions
{
    QByteArray userAgent;
    QByteArray accept;
    QByteArray cookie;
    int timeoutMs = 0; // 0 = none
    bool followRedirects = true;
    // A job keeps at most this much of the body (0 = all of it); the rest is
    // not read, and the result says it was cut.
    qint64 maxBodyBytes = 0;
    // A job keeps the header lines of every hop and stops where the last
    // hop's body would begin: nothing of the document is downloaded.
    bool headersOnly = false;
};
