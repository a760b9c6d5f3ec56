#pragma once

#include "TabStyle.h"

#include <QString>

class Board;

// TCountForm, "Bookmark Count": how many slots of all pages hold a link.
class BookmarkCount
{
public:
    explicit BookmarkCount(Board& board) : m_board(board) {}

    QString caption = QStringLiteral("Bookmark Count");
    QString label = QStringLiteral("You have 0 Bookmarks");
    int count = 0;
    TabStyle colors;

    // "&Count Bookmarks": counts, then shows the window.
    void MCountClick();
    // Counting, as the window opens.
    void FormActivate();

private:
    Board& m_board;
};
