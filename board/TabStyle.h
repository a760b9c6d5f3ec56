#pragma once

#include "SettingsFile.h"

#include <QByteArray>

// How the page tabs look: their font and the colours of the chosen and the
// other tabs.
struct TabStyle
{
    QByteArray fontName = SettingsFile::TabFontName.defaultText();
    int fontSize = SettingsFile::TabFontSize.defaultNumber();
    int fontColor = SettingsFile::TabFontColor.defaultNumber();
    int selectedColor = SettingsFile::TabSelectedColor.defaultNumber();
    int unselectedColor = SettingsFile::TabUnselectedColor.defaultNumber();
    bool operator==(const TabStyle&) const = default;
};
