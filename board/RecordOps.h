#pragma once

#include "BookmarkRecord.h"

#include <QByteArray>
#include <QList>
#include <optional>

class Board;

// The operations that carry whole bookmarks between slots: reading a slot
// into the carrier BookmarkBox, writing it into a slot, putting it down at a
// button with the shifting of occupied slots, copying one slot to another and
// erasing a slot; placing a moved or copied bookmark; the whole-file copy,
// the auto backup and the undo.
class RecordOps
{
public:
    explicit RecordOps(Board& board) : m_board(board) {}

    // BookmarkBox: the carried record, one field per line, or other lists
    // that commands keep there while they run.
    QList<QByteArray>& BookmarkBox() { return m_box; }
    void setRecord(const BookmarkRecord& record);
    BookmarkRecord record() const;

    void StoreButton(const QByteArray& file, const QByteArray& page, const QByteArray& slot);
    void WriteButton(const QByteArray& page, const QByteArray& slot);
    // Returns whether the record was placed (false: the page was full from
    // the target on and BookmarkBox keeps the record).
    bool PutButton(const QByteArray& buttonName);
    void MoveButtons(const QByteArray& fromPage, const QByteArray& toPage, const QByteArray& toSlot,
                     const QByteArray& fromSlot);
    // KeepIcon: never offers to delete, and never deletes, the slot's web icon
    // file (the source of a move keeps it).
    enum class WebIconFile { MayDelete, Keep };
    void EraseButton(const QByteArray& page, const QByteArray& slot, WebIconFile icon = WebIconFile::MayDelete);

    // Placing: after the dialog's Move or Copy the record waits for a press on
    // a bookmark button of any page. A moved bookmark stays in its slot while
    // it waits; the put-down takes it from there and writes the target in one
    // save. A bookmark that cannot be placed, or whose placing is cancelled,
    // simply stays where it is: nothing carried is ever lost.
    bool placing() const { return m_origin.has_value(); }
    QByteArray placingTitle() const { return m_origin ? m_origin->title : QByteArray(); }
    void beginPlacing(const QByteArray& page, const QByteArray& slot, bool move);
    void placeAt(const QByteArray& buttonName);
    // Escape, closing the window, opening another file or another command.
    void cancelPlacing();
    // A record taken from a slot that could not be put down goes back there.
    void putBack(const QByteArray& page, const QByteArray& slot);

    static void FileCopy(const QByteArray& source, const QByteArray& destination);
    static QByteArray backupName(const QByteArray& bookmarkFile);
    // The auto backup, taken before a command modifies the file; a failing
    // copy ends the command before it changes anything.
    void takeBackup();
    void MBackupClick();
    void MUndoClick();

    static QString fullPageText(const QByteArray& title);

    // The bulk choice of a result list, "Move, Copy or Erase Bookmarks.".
    enum class BulkAction { Move, Copy, Erase, Ignore };
    BulkAction askBulkAction();
    // Moves or copies bookmarks, in order, onto new pages named base, then
    // base+, base++ ... as one page fills; the pages are added to the page
    // list and the first or last of them is shown. An entry without a page
    // leaves a blank slot (never at the top of a page). Each one's notes end
    // with " " + the page it came from.
    struct Listed
    {
        QByteArray page;
        QByteArray slot;
    };
    enum class Show { First, Last };
    void carryToNewPages(const QByteArray& base, const QList<Listed>& bookmarks, bool move, Show show);

private:
    struct Origin
    {
        QByteArray file;
        QByteArray page;
        QByteArray slot;
        QByteArray title;
        QByteArray url;
        bool move = false;
    };
    void endPlacing();
    // The first slot from n on (of the page shown) that PutButton can use:
    // blank, or freed, which is taken before it; 0 when there is none.
    int blankFrom(int n, int freed = 0) const;
    // Why the backup beside the file may not be restored over it ("" when it may).
    QString foreignBackup(const QByteArray& file) const;

    Board& m_board;
    QList<QByteArray> m_box;
    std::optional<Origin> m_origin;
    QByteArray m_backupOf; // the file the last backup was taken of, once known
};
