#pragma once

#include "ImportedFile.h"
#include "NetscapeFile.h"

#include <QByteArray>
#include <QString>
#include <vector>

class Board;
class WorkFeed;

// "Import Internet Explorer Bookmarks" and "Export Bookmarks to Internet
// Explorer": a folder tree of Internet shortcut files (".url").
class FavoritesCommands
{
public:
    explicit FavoritesCommands(Board& board) : m_board(board) {}

    static constexpr const char* kImportName = "IE.lyk";

    // A title made a file name: \ / : * ? " < > | . , each become "_".
    static QByteArray Strip(const QByteArray& title);
    // Where the folder dialogs start: ~/Favorites when it exists, else home.
    static QString favoritesFolder();
    // The folder and every folder below it that holds shortcuts, the folder
    // first, then the others by path; each with its shortcuts by name (names
    // as the disk has them, UTF-8 or not). A shortcut without an address is
    // counted in outcome's noAddress, one whose address may not become a
    // bookmark in its skipped; neither is taken. With a feed, the folders
    // read are reported, and reading stops when cancelled.
    static std::vector<NetscapeFile::Folder> readTree(const QString& root, ImportedFile::Outcome* outcome,
                                                      WorkFeed* feed = nullptr);

    // A new bookmark file ProgramDir + "IE.lyk", one page per folder that
    // holds shortcuts, written at once and then opened.
    void MImportIEClick();
    // One folder per page below a folder the user picks, one shortcut per
    // bookmark; nothing already there is overwritten.
    void MExportIEClick(bool allPages);

private:
    Board& m_board;
};
