#include "PathNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace PathNames {

QString toQt(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QByteArray fromQt(const QString& path)
{
    return QFile::encodeName(path);
}

QByteArray folder(const QByteArray& path)
{
    int slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

QByteArray fileName(const QByteArray& path)
{
    int slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QByteArray stem(const QByteArray& path)
{
    int start = path.lastIndexOf('/') + 1;
    int dot = path.indexOf('.', start);
    return dot < 0 ? path : path.left(dot);
}

QByteArray extension(const QByteArray& path)
{
    int start = path.lastIndexOf('/') + 1;
    int dot = path.indexOf('.', start);
    return dot < 0 ? QByteArray() : path.mid(dot + 1);
}

bool nameHasDot(const QByteArray& path)
{
    return path.indexOf('.', path.lastIndexOf('/') + 1) >= 0;
}

bool hasFolderPart(const QByteArray& path)
{
    return path.contains('/');
}

QByteArray findNoCase(const QByteArray& folderWithSlash, const QByteArray& name)
{
    const QByteArray exact = folderWithSlash + name;
    if (QFileInfo::exists(toQt(exact)))
        return exact;
    QDir dir(toQt(folderWithSlash.isEmpty() ? QByteArray(".") : folderWithSlash));
    const QString wanted = toQt(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return folderWithSlash + fromQt(entry);
    return exact;
}

bool existsNoCase(const QByteArray& folderWithSlash, const QByteArray& name)
{
    return QFileInfo::exists(toQt(findNoCase(folderWithSlash, name)));
}

bool fileExists(const QByteArray& path)
{
    QFileInfo info(toQt(path));
    return info.exists() && info.isFile();
}

} // namespace PathNames
