#pragma once

#include <QByteArray>

// An Internet shortcut (".url"): an INI text whose key URL of section
// InternetShortcut is the address. Windows saves it in its code page, in
// UTF-8 with or without a byte-order mark, or in UTF-16 with one.
namespace InternetShortcut {

// A shortcut is a few lines: no more than this is read of one.
constexpr qint64 kMaxBytes = 64 * 1024;

// The address in stored form; empty when the shortcut holds none. The path
// is taken as the bytes the file system has (a name need not be UTF-8).
// Throws "Cannot open file %s" when it is no regular file that can be read
// (a pipe is never waited on).
QByteArray url(const QByteArray& path);

} // namespace InternetShortcut
