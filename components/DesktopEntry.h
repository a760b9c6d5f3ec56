#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The [Desktop Entry] group of a freedesktop .desktop launcher, ready to start without
// a shell: Exec is unquoted into a program and its arguments, field codes removed.
struct DesktopEntry
{
    QString name; // Name[xx] for the current locale when the file has it
    QString program;
    QStringList arguments;
    QString workingDir;
    QString icon; // a theme name or an absolute path
    QString type;
    QString url; // Type=Link
    bool terminal = false;

    // Nothing when the file has no [Desktop Entry] group, when an application has no
    // usable Exec (missing, badly quoted, an unknown field code) or a link no URL.
    static std::optional<DesktopEntry> read(const QString& file);
    // Every field of the [Desktop Entry] group, whether or not the entry could
    // be started (an icon is an icon even when Exec is unusable).
    static std::optional<DesktopEntry> readFields(const QString& file);
};
