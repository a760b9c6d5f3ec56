#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A Windows shell link (.lnk) read from its binary layout. Windows paths stay as text;
// on Linux they are simply not found, which the callers already handle.
struct ShellLink
{
    QString target; // local path, network path, or the relative path when neither is stored
    QString arguments;
    QString workingDir;
    QString description;
    QString iconLocation;
    int iconIndex = 0;

    // Nothing for a file that cannot be opened or parsed.
    static std::optional<ShellLink> read(const QString& file);
    // Every offset and size is checked against bytes. A damaged link gives what could be
    // read before the damage, or nothing when no target could be read.
    static std::optional<ShellLink> parse(const QByteArray& bytes);
};
