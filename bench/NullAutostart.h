#pragma once

#include "Autostart.h"

// Autostart that is never on.

class NullAutostart : public Autostart
{
public:
    bool setEnabled(bool) override { return false; }
    bool isEnabled() const override { return false; }
};
