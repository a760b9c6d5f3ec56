#pragma once

// The Internet search window, as the bookmark tools provide it (for the
// SearchNet hotkey and the window's button).
class NetSearcher
{
public:
    virtual ~NetSearcher() = default;
    virtual void SearchNetButtonClick() = 0;
};
