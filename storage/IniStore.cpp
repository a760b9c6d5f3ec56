#include "IniStore.h"

#include "CommandError.h"
#include "FileError.h"
#include "PathNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QByteArray IniStore::normalized(const QByteArray& path)
{
    QString p = PathNames::toQt(path);
    if (QDir::isRelativePath(p))
        p = QDir::current().absoluteFilePath(p);
    return PathNames::fromQt(QDir::cleanPath(p));
}

IniDocument IniStore::load(const QByteArray& path)
{
    return IniDocument::fromBytes(readBytes(path));
}

QByteArray IniStore::readBytes(const QByteArray& path)
{
    QFile file(PathNames::toQt(path));
    if (!file.exists())
        return {};
    // Only a regular file is read: a pipe would never end, a device never stop.
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file %1").arg(file.fileName()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError)
        throw FileError(QStringLiteral("Cannot open file %1").arg(file.fileName()));
    return bytes;
}

namespace {

// Why a file could not be written, as the user can act on it.
QString reason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("no space left on the device");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    case EROFS:
        return QStringLiteral("the file system is read-only");
    case EFBIG:
        return QStringLiteral("the file would be larger than the system allows");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("the folder does not exist");
    case EIO:
        return QStringLiteral("the device reported an input/output error");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

[[noreturn]] void cannotCreate(const QString& name, const QString& why)
{
    throw FileError(why.isEmpty() ? QStringLiteral("Cannot create file %1").arg(name)
                                  : QStringLiteral("Cannot create file %1: %2").arg(name, why));
}

} // namespace

bool IniStore::writeAtomically(const QByteArray& path, const QByteArray& bytes, const QByteArray& like)
{
    const QString name = PathNames::toQt(path);
    QFileInfo existing(name);
    // A read-only file is not replaced behind the user's back.
    if (existing.exists() && !existing.isFile())
        cannotCreate(name, QStringLiteral("it is not a file"));
    if (existing.exists() && !existing.isWritable())
        cannotCreate(name, QStringLiteral("the file is read-only"));
    struct stat old = {};
    const QByteArray model = like.isEmpty() ? path : like;
    const bool hasModel = ::stat(model.constData(), &old) == 0;
    const bool linked = like.isEmpty() && hasModel && old.st_nlink > 1;
    QSaveFile file(name);
    file.setDirectWriteFallback(false);
    // The error of the call that failed says why; Qt keeps only its text.
    auto failed = [&] { cannotCreate(name, errno != 0 ? reason(errno) : file.errorString()); };
    errno = 0;
    // Unbuffered: a write that fails (a full disk) must fail here. Kept in
    // QFileDevice's buffer it would fail only in commit's flush, which then
    // still renames the cut temporary file over the whole old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        failed();
    if (hasModel) {
        // A private file stays private: the new one gets its bits before any
        // byte is written, and its owner and group where this process may.
        ::fchmod(file.handle(), old.st_mode & 07777);
        [[maybe_unused]] const int owned = ::fchown(file.handle(), old.st_uid, old.st_gid);
    }
    errno = 0;
    if (file.write(bytes) != bytes.size())
        failed();
    errno = 0;
    if (!file.commit())
        failed();
    return linked;
}

QByteArray IniStore::damagedCopyName(const QByteArray& path)
{
    QByteArray name = path + ".damaged";
    for (int n = 2; QFileInfo::exists(PathNames::toQt(name)); ++n)
        name = path + ".damaged" + QByteArray::number(n);
    return name;
}

void IniStore::save(const QByteArray& path, IniDocument& doc)
{
    if (doc.matchesLoadedBytes() && QFileInfo::exists(PathNames::toQt(path)))
        return;
    if (doc.cutAtNul() && QFileInfo::exists(PathNames::toQt(path))) {
        // What follows the NUL is never lost: the file as it is goes aside
        // first, or nothing is saved.
        const QByteArray copy = damagedCopyName(path);
        if (!QFile::copy(PathNames::toQt(path), PathNames::toQt(copy)))
            throw FileError(QStringLiteral("Cannot create file %1").arg(PathNames::toQt(copy)));
        m_damagedCopies.push_back({path, copy});
    }
    if (writeAtomically(path, doc.toBytes()))
        m_splitLinks << path;
    doc.markSaved();
    ++m_writes;
}

IniStore::Handle IniStore::open(const QByteArray& path)
{
    if (!m_batches.isEmpty()) {
        const QByteArray key = normalized(path);
        auto it = m_batches.find(key);
        if (it != m_batches.end()) {
            if (!it->doc)
                it->doc = std::make_shared<IniDocument>(load(path));
            return {it->doc, key};
        }
    }
    return {std::make_shared<IniDocument>(load(path)), {}};
}

void IniStore::changed(const QByteArray& path, IniDocument& doc, const QByteArray& batchKey)
{
    if (!batchKey.isEmpty()) {
        auto it = m_batches.find(batchKey);
        if (it != m_batches.end()) {
            it->pending = true;
            return;
        }
    }
    save(path, doc);
}

void IniStore::beginBatch(const QByteArray& path)
{
    ++m_batches[normalized(path)].depth;
}

void IniStore::endBatch(const QByteArray& path)
{
    const QByteArray key = normalized(path);
    auto it = m_batches.find(key);
    if (it == m_batches.end())
        return;
    if (--it->depth > 0)
        return;
    Batch batch = *it;
    m_batches.erase(it);
    if (batch.pending && batch.doc)
        save(path, *batch.doc);
}
