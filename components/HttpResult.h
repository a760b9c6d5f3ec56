#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// How one HTTP request ended.
struct HttpResult
{
    bool ok = false; // a complete answer arrived (any status code), or its first maxBodyBytes
    bool aborted = false;
    bool truncated = false; // the body was cut at maxBodyBytes
    bool timedOut = false;  // ended by timeoutMs; a job's body holds what came
    int statusCode = 0;     // of the last hop
    QByteArray finalUrl;    // the address of the last hop (after redirects)
    QString error;          // why it failed
    QByteArray body;        // jobs only
    // headersOnly jobs: every header line of every hop, status line first,
    // without line ends; an empty line ends a hop. At most kMaxHeaderLines.
    QList<QByteArray> headerLines;
    static constexpr int kMaxHeaderLines = 200;
    static constexpr int kMaxHeaderLine = 8192;
};
