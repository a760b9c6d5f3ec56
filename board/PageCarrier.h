#pragma once

#include <QByteArray>
#include <QList>

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
    // A page or selected bookmarks wait for their target tab.
    bool carrying() const { return carryingPage() || carryingBookmarks(); }
    bool carryingPage() const { return m_carry != Carry::None; }
    QByteArray carriedPage() const { return m_storePage; }
    // A right-click on a tab while something is carried puts it down there
    // (bookmarks first).
    void putDown(int index);

    // "Move/Copy Selected Bookmarks": the bookmarks of the slots keys (in list
    // order) of page in the open file wait for a right-click on a tab. A move
    // takes them from their slots only once they are put down.
    void pickUpBookmarks(bool move, const QByteArray& page, const QList<QByteArray>& keys);
    bool carryingBookmarks() const { return m_bookmarks != Carry::None; }
    int carriedBookmarks() const { return static_cast<int>(m_slots.size()); }
    QByteArray bookmarksPage() const { return m_bookmarksPage; }
    // Puts the carried bookmarks on the blank slots of the page at index,
    // in order; when they do not all fit, none moves.
    void putDownBookmarks(int index);
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
    Carry m_bookmarks = Carry::None;
    QList<QByteArray> m_slots;
    QByteArray m_bookmarksPage;
    QByteArray m_bookmarksFile;
    void endBookmarks();
    QByteArray m_storePage;
    QByteArray m_sourceFile;
    int m_fromIndex = 0;
};
