#pragma once

#include <QByteArray>

namespace LaunchText {

// The completion of a typed or fetched address: "/" after a known top-level
// domain (and "http://" before "www."), except for "mailto:" addresses.
QByteArray EndSlash(const QByteArray& address);
// 1-based position where the host name proper begins: 13 for "https://www.",
// 12 for "http://www.", 9 for "https://", else 8.
int TrimHTTP(const QByteArray& address);
// 1-based position of the first "/" after the first "." (0 when none).
int DNSExt(const QByteArray& address);
// Where the host of an address is: after "scheme://" (or from the start),
// up to the first "/", "?" or "#" (or the end). 0-based, end exclusive.
struct HostRange
{
    qsizetype begin = 0;
    qsizetype end = 0;
};
HostRange hostRange(const QByteArray& url);
// The host name of an address, without user name and port.
QByteArray hostName(const QByteArray& url);
// The address with another host: scheme (http or https), the port unless the
// new host brings its own, path, query and fragment are kept.
QByteArray withHost(const QByteArray& url, const QByteArray& newHost);
// An "IP" bookmark's address: the Url with the stored IpAddress as its host.
QByteArray IpAddressUrl(const QByteArray& url, const QByteArray& ipAddress);
bool isWebAddress(const QByteArray& text);
// The title a file gets as a bookmark: its name without its extension.
QByteArray FileTitle(const QByteArray& fileName);

} // namespace LaunchText
