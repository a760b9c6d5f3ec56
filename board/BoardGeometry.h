#pragma once

#include <QByteArray>

// Layout of the bookmark buttons: 20 rows, each column filled from the top.
namespace BoardGeometry {

constexpr int kRows = 20;
constexpr int kButtonHeight = 19;
constexpr int kPanelHeight = kRows * kButtonHeight;
constexpr int kNormalMargin = 1;
constexpr int kSelectedMargin = 30;

// w = (client width div columns) - 1.
int buttonWidth(int clientWidth, int columns);
// Left edge of the column (0-based) holding slot n: 1, w + 2, then + w + 1.
int columnLeft(int column, int buttonWidth);
struct Rect
{
    int left, top, width, height;
};
Rect slotRect(int slot, int clientWidth, int columns);
// Height of the board panel: 380, less when the window is too low.
int panelHeight(int clientHeight, int tabStripHeight, int toolBarHeight);

} // namespace BoardGeometry
