#pragma once

#include "BookmarkRecord.h"

#include <QByteArray>
#include <QList>

class Board;

// The operations that carry whole bookmarks between slots: reading a slot
// into the carrier BookmarkBox, writing it into a slot, putting it down at a
// button with the shifting of occupied slots, copying one slot to another and
// erasing a slot; the whole-file copy, the auto backup and the undo.
class RecordOps
{
public:
    explicit RecordOps(Board& board) : m_board(board) {}

    // BookmarkBox: the carried record, one field per line, or other lists
    // that commands keep there while they run.
    QList<QByteArray>& BookmarkBox() { return m_box; }
    void setRecord(const BookmarkRecord& record);

    void StoreButton(const QByteArray& file, const QByteArray& page, const QByteArray& slot);
    void WriteButton(const QByteArray& page, const QByteArray& slot);
    // Returns whether the record was placed (false: the page was full from
    // the target on and BookmarkBox keeps the record).
    bool PutButton(const QByteArray& buttonName);
    void MoveButtons(const QByteArray& fromPage, const QByteArray& toPage, const QByteArray& toSlot,
                     const QByteArray& fromSlot);
    void EraseButton(const QByteArray& page, const QByteArray& slot);

    // While false, erasing never offers to delete, and never deletes, a web
    // icon file (moves erase their source this way).
    bool IconKeepingErase = true;

    static void FileCopy(const QByteArray& source, const QByteArray& destination);
    static QByteArray backupName(const QByteArray& bookmarkFile);
    // The auto backup, taken before a command modifies the file; a failing
    // copy ends the command before it changes anything.
    void takeBackup();
    void MBackupClick();
    void MUndoClick();

private:
    Board& m_board;
    QList<QByteArray> m_box;
};
