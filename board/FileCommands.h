#pragma once

#include <QByteArray>

class Board;

// The File menu's commands on whole bookmark files: create, open (converting
// old files), save as, rename, delete, merge, and the copy of the program and
// its data to a removable volume.
class FileCommands
{
public:
    explicit FileCommands(Board& board) : m_board(board) {}

    void MFNewClick();
    void MFOpenClick();
    // Opening a file once its name is known: an old ".KVK" file is
    // converted, a file from another folder may be copied into the data folder.
    void openPath(const QByteArray& path);
    // "Save File As", or "Rename File As" (the old file goes).
    enum class Keep { Both, NewOnly };
    void MFSaveAsClick(Keep keep);
    void MFDeleteClick();
    void MFMergeClick();

    // Makes path the current bookmark file: the page passwords of the
    // outgoing file are written and those of the new one read, the settings
    // remember it, and the board shows its first page. The file must exist or
    // be new; one that cannot be read as a bookmark file changes nothing.
    enum class Outgoing { Write, AlreadyWritten };
    void switchTo(const QByteArray& path, Outgoing outgoing = Outgoing::Write);
    // Whether path names the open bookmark file (through any link).
    bool isCurrent(const QByteArray& path) const;

    // The removable volumes mounted now, with the chosen one.
    void refreshVolumes();
    // A volume chosen from the menu; the copy follows at once.
    void MADriveClick(const QByteArray& volume);
    void DiskButtonClick();

    static constexpr int kHelpOpen = 48;

private:
    // stem + ".lyk", or the existing file of that stem whatever the case of
    // its extension.
    static QByteArray bookmarkFileOf(const QByteArray& chosen);

    Board& m_board;
};
