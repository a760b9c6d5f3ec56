#pragma once

#include <QString>
#include <functional>

class QObject;

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
    // Asks the desktop to start its screen saver; the answer comes later,
    // with why it failed.
    using Done = std::function<void(bool ok, const QString& why)>;
    virtual void activate(QObject* context, Done done) = 0;
};
