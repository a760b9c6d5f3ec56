#pragma once

#include "BookmarkRecord.h"

#include <QByteArray>
#include <functional>
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

    // The order of the sort: titles, then the other fields (address first),
    // each in the platform's case-insensitive order. Stable.
    static std::vector<size_t> sortOrder(size_t count, const std::function<const QByteArray&(size_t)>& title,
                                         const std::function<QByteArray(size_t, int)>& field);

private:
    Board& m_board;
};
