#pragma once

#include <QByteArray>

class Board;

// "Import Netscape Bookmarks" and "Export Bookmarks to Netscape": the HTML
// bookmark file of every browser.
class NetscapeCommands
{
public:
    explicit NetscapeCommands(Board& board) : m_board(board) {}

    static constexpr const char* kImportName = "Netscape.lyk";

    // A new bookmark file ProgramDir + "Netscape.lyk", one page per folder,
    // written at once and then opened.
    void MImportNSClick();
    // One folder per page (all pages, or the page shown) into a bookmark
    // file: a new one, or the root list of an existing one.
    void MExportNSClick(bool allPages);

private:
    Board& m_board;
};
