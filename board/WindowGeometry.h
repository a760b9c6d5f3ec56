#pragma once

#include "SettingsFile.h"

// The main window's place and size, as the settings file keeps them.
struct WindowGeometry
{
    int left = 0;
    int top = 0;
    int width = SettingsFile::Width.defaultNumber();
    int height = SettingsFile::kNormalHeight;
    bool operator==(const WindowGeometry&) const = default;
};
