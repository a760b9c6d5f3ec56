#pragma once

#include "DesktopServices.h"
#include "HotkeyService.h"

// Platform services that do nothing: the benchmarks only load and save.
class NullHotkeys : public HotkeyService
{
public:
    bool available() const override { return false; }
    QString unavailableReason() const override { return {}; }
    bool set(int, const QString&, int) override { return false; }
    void clearAll() override {}
};

class NullAutostart : public Autostart
{
public:
    bool setEnabled(bool) override { return false; }
    bool isEnabled() const override { return false; }
};

class NullScreenSaver : public ScreenSaver
{
public:
    void activate(QObject*, Done) override {}
};
