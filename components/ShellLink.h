#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A Windows shell link (.lnk) read from its binary layout. Windows paths stay as text;
// on Linux they are simply not found, which the callers already handle.
struct ShellLink
{
    // Where the target came from, in the order Windows asks: LinkInfo, the
    // environment-variable block, the item-ID list, the relative path.
    enum class Source { None, LinkInfo, Environment, IdList, Relative };

    QString target; // a local or network path; the relative path only when nothing else names one
    Source source = Source::None;
    // A shortcut to a shell namespace item (a Control Panel page and the
    // like): no file or folder, so no target.
    bool namespaceItem = false;
    QString arguments;
    QString workingDir;
    QString description;
    QString iconLocation;
    int iconIndex = 0;

    // Nothing for a file that cannot be opened or parsed. A relative target is
    // resolved against the shortcut's own folder (a drive or network path stored
    // as the relative one stays as it is).
    static std::optional<ShellLink> read(const QString& file);
    // Every offset and size is checked against bytes. A damaged link gives what could be
    // read before the damage, or nothing when no target could be read (a namespace
    // item gives a link without a target, marked as such). Unknown or damaged
    // extra-data blocks and dates are never fatal.
    static std::optional<ShellLink> parse(const QByteArray& bytes);
};
