#pragma once

#include <QHostAddress>
#include <QString>
#include <atomic>

// One echo to a host, as the ping test measures a site's speed: an ICMP echo
// request on an unprivileged ICMP datagram socket, on a raw socket where that
// is refused and the process may open one, and where neither works the time
// a TCP connection to the site's port 443 (else 80) takes. IPv4 and IPv6.
// The call blocks for at most the time-out: run it away from the window.
namespace EchoProbe {

struct Options
{
    int payloadBytes = 56;
    int timeoutMs = 4000;
    int ttl = 64;
};

enum class Measure {
    None,         // nothing could be sent
    IcmpDatagram, // ICMP echo, unprivileged socket
    IcmpRaw,      // ICMP echo, raw socket
    TcpConnect    // the time to open a TCP connection
};

struct Result
{
    bool replied = false;
    double ms = 0; // round-trip time, when replied
    Measure measure = Measure::None;
    int port = 0; // the TCP port, for TcpConnect
    QString error;
};

// cancel, when given, ends the wait early (the result then has no reply).
Result echo(const QHostAddress& address, const Options& options = {}, const std::atomic<bool>* cancel = nullptr);

// The ICMP ways only, or the TCP way only (for tests and for a caller that
// knows which works here).
Result icmpEcho(const QHostAddress& address, const Options& options, const std::atomic<bool>* cancel);
Result tcpConnect(const QHostAddress& address, int port, int timeoutMs, const std::atomic<bool>* cancel);

} // namespace EchoProbe
