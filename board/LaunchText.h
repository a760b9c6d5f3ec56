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
// An "IP" bookmark's address: "http://" + IpAddress + the path of the Url.
QByteArray IpAddressUrl(const QByteArray& url, const QByteArray& ipAddress);
bool isWebAddress(const QByteArray& text);

} // namespace LaunchText
