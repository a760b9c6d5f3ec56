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

QByteArray IpAddressUrl(const QByteArray& url, const QByteArray& ipAddress)
{
    const int from = DNSExt(url);
    // Without a path after the host there is nothing to keep.
    const QByteArray path = from > 0 ? url.mid(from - 1) : QByteArray("/");
    return "http://" + ipAddress + path;
}

bool isWebAddress(const QByteArray& text)
{
    return text.contains("http") || text.contains("www.");
}

} // namespace LaunchText
