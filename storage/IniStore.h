#pragma once

#include "IniDocument.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <memory>
#include <utility>

// Where TIniFile32 instances get their lines from and save them to. Outside a
// batch every instance loads the file afresh and every change is saved at once.
// While a batch is open on a path, all instances on that path share one set of
// lines and the save is done once when the batch closes; the file is then the
// same, byte for byte, as after saving key by key.
class IniStore
{
public:
    struct Handle
    {
        std::shared_ptr<IniDocument> doc;
        QByteArray key; // the normalized path, while a batch is open on it
    };

    Handle open(const QByteArray& path);
    // Called by a change that, outside a batch, saves the file.
    void changed(const QByteArray& path, IniDocument& doc, const QByteArray& batchKey);

    void beginBatch(const QByteArray& path);
    // Saves when a change is pending. Throws FileError; the batch is closed
    // either way.
    void endBatch(const QByteArray& path);

    // Reads and splits a whole file; throws "Cannot open file %s".
    static IniDocument load(const QByteArray& path);
    // The bytes load() splits: none for a missing file.
    static QByteArray readBytes(const QByteArray& path);
    // Atomic save: a temporary file in the same folder, flushed to disk and
    // renamed over the old one. Writes nothing when the bytes on disk are
    // already these. Throws "Cannot create file %s"; the old file stays whole.
    void save(const QByteArray& path, IniDocument& doc);
    // How many times a file was written through this store.
    int writes() const { return m_writes; }
    // The files saved since the last call that had other names (hard links):
    // the save gave them a file of their own.
    QList<QByteArray> takeSplitLinks() { return std::exchange(m_splitLinks, {}); }
    // A file whose text a NUL byte cut short keeps its whole contents in a
    // copy beside it ("<name>.damaged") before the first save that drops
    // them: the files and their copies saved so since the last call.
    QList<QPair<QByteArray, QByteArray>> takeDamagedCopies() { return std::exchange(m_damagedCopies, {}); }
    static QByteArray damagedCopyName(const QByteArray& path);
    // The new file keeps the old one's permission bits, owner and group (as
    // far as the process may set them), or takes those of `like` (a copy
    // keeps its source's). Returns whether the old file had other names,
    // which keep the old contents.
    static bool writeAtomically(const QByteArray& path, const QByteArray& bytes, const QByteArray& like = {});

    static QByteArray normalized(const QByteArray& path);

private:
    struct Batch
    {
        std::shared_ptr<IniDocument> doc;
        int depth = 0;
        bool pending = false;
    };
    QHash<QByteArray, Batch> m_batches;
    int m_writes = 0;
    QList<QByteArray> m_splitLinks;
    QList<QPair<QByteArray, QByteArray>> m_damagedCopies;
};
