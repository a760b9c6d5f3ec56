#include "BoardGeometry.h"

#include <algorithm>

namespace BoardGeometry {

int buttonWidth(int clientWidth, int columns)
{
    return clientWidth / columns - 1;
}

int columnLeft(int column, int w)
{
    if (column == 0)
        return 1;
    return (w + 2) + (column - 1) * (w + 1);
}

Rect slotRect(int slot, int clientWidth, int columns)
{
    const int w = buttonWidth(clientWidth, columns);
    const int column = (slot - 1) / kRows;
    const int row = (slot - 1) % kRows;
    return {columnLeft(column, w), row * kButtonHeight, w, kButtonHeight};
}

int panelHeight(int clientHeight, int tabStripHeight, int toolBarHeight)
{
    if (kPanelHeight + tabStripHeight + toolBarHeight > clientHeight)
        return std::max(0, clientHeight - tabStripHeight - toolBarHeight);
    return kPanelHeight;
}

} // namespace BoardGeometry
