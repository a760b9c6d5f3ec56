#pragma once

#include <QString>
#include <functional>

class QObject;

// The desktop's screen saver.
class ScreenSaver
{
public:
    virtual ~ScreenSaver() = default;
    // Asks the desktop to start its screen saver; the answer comes later,
    // with why it failed.
    using Done = std::function<void(bool ok, const QString& why)>;
    virtual void activate(QObject* context, Done done) = 0;
};
