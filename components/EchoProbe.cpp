#include "EchoProbe.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace EchoProbe {

namespace {

class Socket
{
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

std::atomic<quint16> g_sequence{0};

quint16 checksum(const unsigned char* data, size_t n)
{
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < n; i += 2)
        sum += quint32(data[i] << 8 | data[i + 1]);
    if (n & 1)
        sum += quint32(data[n - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

bool isV6(const QHostAddress& address)
{
    return address.protocol() == QAbstractSocket::IPv6Protocol;
}

socklen_t socketAddress(const QHostAddress& address, int port, sockaddr_storage* out)
{
    std::memset(out, 0, sizeof *out);
    if (!isV6(address)) {
        auto* in = reinterpret_cast<sockaddr_in*>(out);
        in->sin_family = AF_INET;
        in->sin_port = htons(quint16(port));
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        return sizeof(sockaddr_in);
    }
    auto* in6 = reinterpret_cast<sockaddr_in6*>(out);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(quint16(port));
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
    return sizeof(sockaddr_in6);
}

// Waits until fd has one of events, the time is up or the caller cancels:
// the events that came, 0 for neither, -1 on an error.
int waitFor(int fd, short events, const QElapsedTimer& clock, int timeoutMs, const std::atomic<bool>* cancel)
{
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || (cancel && cancel->load()))
            return 0;
        pollfd p{fd, events, 0};
        // Short slices, so a cancel is seen soon.
        const int r = ::poll(&p, 1, int(std::min<qint64>(left, 100)));
        if (r > 0)
            return p.revents;
        if (r < 0 && errno != EINTR)
            return -1;
    }
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

Result echoOn(int fd, bool raw, const QHostAddress& address, const Options& o, const std::atomic<bool>* cancel)
{
    const bool v6 = isV6(address);
    Result r;
    r.measure = raw ? Measure::IcmpRaw : Measure::IcmpDatagram;
    int ttl = o.ttl;
    if (v6)
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_UNICAST_HOPS, &ttl, sizeof ttl);
    else
        ::setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    // A datagram socket's identifier is the kernel's; a raw one's is ours.
    const quint16 id = quint16(::getpid() ^ 0x4C59);
    const quint16 sequence = ++g_sequence;
    std::vector<unsigned char> packet(size_t(8 + std::max(0, o.payloadBytes)), 0);
    packet[0] = v6 ? 128 : 8; // echo request
    packet[4] = uchar(id >> 8);
    packet[5] = uchar(id);
    packet[6] = uchar(sequence >> 8);
    packet[7] = uchar(sequence);
    for (size_t i = 8; i < packet.size(); ++i)
        packet[i] = uchar('a' + (i - 8) % 26);
    // ICMPv6 checksums are the kernel's (they cover the addresses).
    if (!v6) {
        const quint16 sum = checksum(packet.data(), packet.size());
        packet[2] = uchar(sum >> 8);
        packet[3] = uchar(sum);
    }
    sockaddr_storage to;
    const socklen_t toLength = socketAddress(address, 0, &to);
    QElapsedTimer clock;
    clock.start();
    if (::sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to), toLength) < 0) {
        r.error = systemError(errno);
        return r;
    }
    unsigned char buffer[2048];
    for (;;) {
        const int events = waitFor(fd, POLLIN, clock, o.timeoutMs, cancel);
        if (events <= 0)
            return r;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            r.error = systemError(errno);
            return r;
        }
        const unsigned char* icmp = buffer;
        ssize_t length = n;
        // A raw IPv4 socket hands over the IP header too.
        if (raw && !v6) {
            const ssize_t header = (buffer[0] & 0x0F) * 4;
            icmp += header;
            length -= header;
        }
        if (length < 8 || icmp[0] != (v6 ? 129 : 0))
            continue; // not an echo reply (our own request on loopback, other traffic)
        if (quint16(icmp[6] << 8 | icmp[7]) != sequence)
            continue;
        if (raw && quint16(icmp[4] << 8 | icmp[5]) != id)
            continue;
        r.replied = true;
        r.ms = double(clock.nsecsElapsed()) / 1e6;
        return r;
    }
}

} // namespace

Result icmpEcho(const QHostAddress& address, const Options& options, const std::atomic<bool>* cancel)
{
    const int family = isV6(address) ? AF_INET6 : AF_INET;
    const int protocol = isV6(address) ? int(IPPROTO_ICMPV6) : int(IPPROTO_ICMP);
    {
        const Socket datagram(::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, protocol));
        if (datagram.fd() >= 0)
            return echoOn(datagram.fd(), false, address, options, cancel);
    }
    const Socket raw(::socket(family, SOCK_RAW | SOCK_CLOEXEC, protocol));
    if (raw.fd() >= 0)
        return echoOn(raw.fd(), true, address, options, cancel);
    Result r;
    r.error = systemError(errno);
    return r;
}

Result tcpConnect(const QHostAddress& address, int port, int timeoutMs, const std::atomic<bool>* cancel)
{
    Result r;
    r.measure = Measure::TcpConnect;
    r.port = port;
    const Socket s(::socket(isV6(address) ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (s.fd() < 0) {
        r.measure = Measure::None;
        r.error = systemError(errno);
        return r;
    }
    sockaddr_storage to;
    const socklen_t toLength = socketAddress(address, port, &to);
    QElapsedTimer clock;
    clock.start();
    if (::connect(s.fd(), reinterpret_cast<sockaddr*>(&to), toLength) < 0 && errno != EINPROGRESS) {
        r.error = systemError(errno);
        return r;
    }
    if (waitFor(s.fd(), POLLOUT, clock, timeoutMs, cancel) <= 0)
        return r;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
        r.error = systemError(error);
        return r;
    }
    r.replied = true;
    r.ms = double(clock.nsecsElapsed()) / 1e6;
    return r;
}

Result echo(const QHostAddress& address, const Options& options, const std::atomic<bool>* cancel)
{
    Result r = icmpEcho(address, options, cancel);
    if (r.measure != Measure::None)
        return r;
    // No ICMP here: how long the site takes to accept a connection.
    QElapsedTimer clock;
    clock.start();
    r = tcpConnect(address, 443, options.timeoutMs, cancel);
    if (r.replied || (cancel && cancel->load()))
        return r;
    const int left = int(options.timeoutMs - clock.elapsed());
    return left > 0 ? tcpConnect(address, 80, left, cancel) : r;
}

} // namespace EchoProbe
