#pragma once

// Starting with the desktop session.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // Creates or removes the start entry named "Lynkor"; false when it fails.
    virtual bool setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};
