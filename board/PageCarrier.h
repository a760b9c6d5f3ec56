#pragma once

#include <QByteArray>

class Board;

// Carrying a whole page to another place: dragging a tab onto another, and
// "Move Page" / "Copy Page", which pick the page up until a right-click on a
// tab puts it down (a copied page also into another file opened meanwhile).
// A moved page that is not put down goes back where it was: nothing carried
// is ever lost.
class PageCarrier
{
public:
    explicit PageCarrier(Board& board) : m_board(board) {}

    // The current tab was dragged onto the tab at index to.
    void TabSet1DragDrop(int to);

    void MMovePageTab1Click();
    void MCopyPageTabClick();
    bool carrying() const { return m_carry != Carry::None; }
    QByteArray carriedPage() const { return m_storePage; }
    // A right-click on a tab while a page is carried puts it down there.
    void putDown(int index);
    // Escape: a moved page goes back, a copied one is let go.
    void cancel();
    // Before any other command, another file or the window closing: a moved
    // page goes back; a copied page stays carried.
    void putBackMoved();

    static constexpr int kHelpInsertMerge = 60;

private:
    enum class Carry { None, Move, Copy };
    enum class InsertOrMerge { Insert, Merge, Neither };
    InsertOrMerge askInsertOrMerge(bool withHelp);
    void end();

    Board& m_board;
    Carry m_carry = Carry::None;
    QByteArray m_storePage;
    QByteArray m_sourceFile;
    int m_fromIndex = 0;
};
