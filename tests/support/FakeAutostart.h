#pragma once

#include "Autostart.h"

// Autostart that records the calls and can be told to fail.

class FakeAutostart : public Autostart
{
public:
    bool enabled = false;
    bool fails = false;
    int calls = 0;
    bool setEnabled(bool on) override
    {
        ++calls;
        if (fails)
            return false;
        enabled = on;
        return true;
    }
    bool isEnabled() const override { return enabled; }
};
