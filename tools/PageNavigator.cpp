#include "PageNavigator.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "PageDisplay.h"
#include "WindowModes.h"

#include <QCollator>
#include <algorithm>

void PageNavigator::GoPageBtnClick()
{
    Board& b = m_board;
    chosen = b.state().tabIndex();
    FormActivate();
    b.ui().pageNavigator(*this);
    // Leaving mini mode's strip: the window takes its normal height and
    // leaves the top of the stack.
    b.modes().TabSet1MouseDown();
    b.pages().selectTab(chosen);
}

void PageNavigator::FormActivate()
{
    const BoardState& state = m_board.state();
    colors = state.tabStyle();
    rows.clear();
    const std::vector<QByteArray>& tabs = state.tabs();
    rows.reserve(qsizetype(tabs.size()));
    for (size_t i = 0; i < tabs.size(); ++i)
        rows.push_back({AnsiText::toUi(tabs[i]), int(i) + 1});
    if (alphabetical) {
        // The list's text sort: letter case aside; equal names by number.
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const Row& a, const Row& b) { return collator.compare(a.name, b.name) < 0; });
    }
}

void PageNavigator::CheckBox1Click(bool checked)
{
    alphabetical = checked;
    FormActivate();
}

bool PageNavigator::PageListViewClick(int row)
{
    if (row >= 0 && row < rows.size())
        chosen = rows[row].number - 1;
    return true;
}
