#pragma once

#include <QString>

// Starting with the desktop session.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // Creates or removes the start entry named "Lynkor"; false when it fails.
    virtual bool setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

class ScreenSaver
{
public:
    virtual ~ScreenSaver() = default;
    // Asks the desktop to start its screen saver; false when nothing could be asked.
    virtual bool activate() = 0;
};
