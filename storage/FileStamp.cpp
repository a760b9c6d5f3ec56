#include "FileStamp.h"

#include <sys/stat.h>

FileStamp FileStamp::of(const QByteArray& path)
{
    FileStamp stamp;
    stamp.path = path;
    struct stat st = {};
    if (::stat(path.constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}
