#pragma once

#include "HotkeyService.h"

// Hotkeys that do nothing: the benchmarks only load and save.
class NullHotkeys : public HotkeyService
{
public:
    bool available() const override { return false; }
    QString unavailableReason() const override { return {}; }
    bool set(int, const QString&, int) override { return false; }
    void clearAll() override {}
};
