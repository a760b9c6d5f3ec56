#pragma once

#include "ScreenSaver.h"

// A screen saver that never answers.

class NullScreenSaver : public ScreenSaver
{
public:
    void activate(QObject*, Done) override {}
};
