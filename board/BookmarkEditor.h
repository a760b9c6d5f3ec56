#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>

class Board;
class QMimeData;

// Everything the user does to one bookmark with the mouse: pressing and
// dragging buttons, the bookmark dialog and its result, placing a moved or
// copied bookmark, files and links dropped onto the board, the default icon,
// and bookmarking the browser's current page.
class BookmarkEditor
{
public:
    explicit BookmarkEditor(Board& board) : m_board(board) {}

    enum class MouseButton { Left, Right };
    // True when a drag of this button starts (the window then runs it).
    bool BitBtn1MouseDown(const QByteArray& buttonName, MouseButton button);
    // A dragged bookmark button dropped on another one (or on itself: a click).
    void ButtonDragDrop(const QByteArray& target, const QByteArray& source);
    // Right-click: the bookmark dialog and what it asked for.
    void SetButtonParams(const QByteArray& buttonName);
    void BFontChange(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot);

    void MNewDlgClick();
    void MWebDlgClick();
    void MDBIconClick();

    // A blank "Local File" slot clicked: a program or file is chosen for it.
    void chooseLocalFile(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot);

    // Files or links dropped at a point of the board (relative to its top-left
    // corner); only the first one counts.
    struct Dropped
    {
        QByteArray path; // a local file, or
        QByteArray url;  // a web link
        QByteArray title;
    };
    void FilesDropped(const Dropped& item, QPoint at, int boardWidth);
    // The first file or link of a drop; a link's title is its text when the
    // drop carries it (empty when not).
    static Dropped droppedFrom(const QMimeData& mime);
    // The slot under a point of the board; 0 outside the rows.
    int slotAt(QPoint at, int boardWidth) const;

    // "Bookmark current Web Page": the browser's page into the first blank slot.
    void AddBookmarkClick();

    // The store page: the page a waiting move or copy came from.
    QByteArray StorePage;

private:
    Board& m_board;
};
