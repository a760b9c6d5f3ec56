#pragma once

#include <QByteArray>

// What the file system says of a file at one moment: which file a path names
// and when it last changed. Two stamps of the same path differ once the file
// was written in place or replaced (a save renames a new file over it).
struct FileStamp
{
    QByteArray path;
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds
    qint64 changed = 0;  // status change, nanoseconds

    static FileStamp of(const QByteArray& path);
    bool operator==(const FileStamp&) const = default;
};
