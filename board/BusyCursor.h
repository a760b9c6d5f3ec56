#pragma once

#include "Prompter.h"

// The hourglass for the length of a scope: restored however the scope ends,
// an error included.
class BusyCursor
{
public:
    explicit BusyCursor(Prompter& ui) : m_ui(ui) { m_ui.setCursor(ScreenCursor::HourGlass); }
    ~BusyCursor() { m_ui.setCursor(ScreenCursor::Default); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Prompter& m_ui;
};
