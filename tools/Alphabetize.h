#pragma once

#include "BookmarkRecord.h"

#include <vector>

class Board;

// "Alphabetize Bookmarks": sorts the bookmarks of a range of pages together
// by title and puts them back into the blank slots of the range, page after
// page; a colour filter keeps the bookmarks of other colours in place.
class Alphabetize
{
public:
    explicit Alphabetize(Board& board) : m_board(board) {}

    void AlphaButtonClick();

    // The order of the sort: titles, then addresses, then the other fields,
    // each in the platform's case-insensitive order. Stable.
    static void sortByTitle(std::vector<BookmarkRecord>& records);

private:
    Board& m_board;
};
