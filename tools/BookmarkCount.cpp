#include "BookmarkCount.h"

#include "Board.h"
#include "BoardState.h"
#include "BookmarkIndex.h"

void BookmarkCount::MCountClick()
{
    FormActivate();
    m_board.ui().bookmarkCount(*this);
}

void BookmarkCount::FormActivate()
{
    Board& b = m_board;
    colors = b.state().tabStyle();
    // A slot counts when its link is not empty, whatever else it holds; a
    // page with two tabs counts once.
    BookmarkIndex index;
    index.build(b.store(), b.files().BookmarkFileName(), b.vars().Columns);
    count = index.size();
    caption = QStringLiteral("Counting: %1").arg(count);
    label = QStringLiteral("You have %1 Bookmarks.").arg(count);
}
