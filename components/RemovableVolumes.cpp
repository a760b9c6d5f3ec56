#include "RemovableVolumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

QStringList roots(bool* standIn)
{
    const QByteArray override = qgetenv("LYNKOR_MEDIA_ROOT");
    *standIn = !override.isEmpty();
    if (*standIn)
        return {QFile::decodeName(override)};
    const QString user = QString::fromLocal8Bit(qgetenv("USER"));
    return {QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user};
}

} // namespace

QList<RemovableVolumes::Volume> RemovableVolumes::mounted()
{
    QList<Volume> volumes;
    bool standIn = false;
    for (const QString& root : roots(&standIn)) {
        const QDir dir(root);
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString path = entry.absoluteFilePath();
            // Only a folder that is a mount point of its own is a volume.
            if (!standIn && QStorageInfo(path).rootPath() != path)
                continue;
            volumes.push_back({entry.fileName(), QFile::encodeName(path)});
        }
    }
    return volumes;
}

bool RemovableVolumes::answers(const QByteArray& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(QFile::decodeName(path));
    if (!info.isDir() || !info.isWritable())
        return false;
    const QStorageInfo storage(info.absoluteFilePath());
    return storage.isValid() && storage.isReady() && !storage.isReadOnly();
}
