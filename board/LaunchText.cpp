#include "LaunchText.h"

namespace LaunchText {

QByteArray EndSlash(const QByteArray& address)
{
    if (address.startsWith("mailto:"))
        return address;
    const qsizetype dot = address.lastIndexOf('.');
    if (dot < 0)
        return address;
    static const QByteArray domains[] = {".com", ".net", ".org", ".edu", ".gov", ".mil",
                                         ".au",  ".ca",  ".de",  ".jp",  ".uk"};
    const QByteArray extension = address.mid(dot);
    for (const QByteArray& d : domains) {
        if (extension == d) {
            QByteArray result = address + "/";
            if (address.startsWith("www."))
                result = "http://" + result;
            return result;
        }
    }
    return address;
}

int TrimHTTP(const QByteArray& address)
{
    if (address.contains("https://www."))
        return 13;
    if (address.contains("http://www."))
        return 12;
    if (address.contains("https://"))
        return 9;
    return 8;
}

int DNSExt(const QByteArray& address)
{
    const qsizetype dot = address.indexOf('.');
    if (dot < 0)
        return 0;
    const qsizetype slash = address.indexOf('/', dot);
    return slash < 0 ? 0 : static_cast<int>(slash) + 1;
}

HostRange hostRange(const QByteArray& url)
{
    const qsizetype scheme = url.indexOf("://");
    HostRange r;
    r.begin = scheme < 0 ? 0 : scheme + 3;
    r.end = url.size();
    for (char c : {'/', '?', '#'}) {
        const qsizetype p = url.indexOf(c, r.begin);
        if (p >= 0 && p < r.end)
            r.end = p;
    }
    return r;
}

namespace {

// "host:port" of a host part (user name cut off); port without the colon.
void splitHost(QByteArray host, QByteArray* name, QByteArray* port)
{
    const qsizetype at = host.lastIndexOf('@');
    if (at >= 0)
        host = host.mid(at + 1);
    const qsizetype close = host.lastIndexOf(']');
    const qsizetype colon = host.lastIndexOf(':');
    if (colon > close && (host.startsWith('[') || host.count(':') == 1)) {
        *name = host.left(colon);
        *port = host.mid(colon + 1);
    } else {
        *name = host;
        port->clear();
    }
}

} // namespace

QByteArray hostName(const QByteArray& url)
{
    const HostRange r = hostRange(url);
    QByteArray name;
    QByteArray port;
    splitHost(url.mid(r.begin, r.end - r.begin), &name, &port);
    return name;
}

QByteArray withHost(const QByteArray& url, const QByteArray& newHost)
{
    const HostRange r = hostRange(url);
    QByteArray name;
    QByteArray port;
    splitHost(url.mid(r.begin, r.end - r.begin), &name, &port);
    QByteArray host = newHost;
    // An IPv6 address needs its brackets in an address.
    if (host.count(':') > 1 && !host.startsWith('['))
        host = '[' + host + ']';
    QByteArray newName;
    QByteArray newPort;
    splitHost(host, &newName, &newPort);
    if (newPort.isEmpty() && !port.isEmpty())
        host += ':' + port;
    const qsizetype sep = url.indexOf("://");
    QByteArray scheme = sep > 0 ? url.left(sep).toLower() : QByteArray("http");
    if (scheme != "http" && scheme != "https")
        scheme = "http";
    const QByteArray rest = url.mid(r.end);
    return scheme + "://" + host + (rest.isEmpty() ? QByteArray("/") : rest);
}

QByteArray IpAddressUrl(const QByteArray& url, const QByteArray& ipAddress)
{
    return withHost(url, ipAddress);
}

bool isWebAddress(const QByteArray& text)
{
    return text.contains("http") || text.contains("www.");
}

QByteArray FileTitle(const QByteArray& fileName)
{
    // "report.html", "notes.md" and "archive.tar.gz" alike lose only their
    // last extension; a hidden file's leading dot is not one.
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

} // namespace LaunchText
