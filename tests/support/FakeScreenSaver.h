#pragma once

#include "ScreenSaver.h"

#include <QTimer>

// A screen saver that answers on the next turn of the event loop.

class FakeScreenSaver : public ScreenSaver
{
public:
    int activations = 0;
    bool works = true;
    void activate(QObject* context, Done done) override
    {
        ++activations;
        const bool ok = works;
        QTimer::singleShot(0, context,
                           [done, ok] { done(ok, ok ? QString() : QStringLiteral("No screen saver is running.")); });
    }
};
