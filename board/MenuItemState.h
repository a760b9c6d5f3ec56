#pragma once

// The state the board keeps for one menu item or tool-bar control.
struct MenuItemState
{
    bool checked = false;
    bool enabled = true;
    bool visible = true;
};
