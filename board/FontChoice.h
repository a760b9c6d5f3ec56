#pragma once

#include <QString>

// A font as the font dialog shows and returns it.
struct FontChoice
{
    QString name;
    int size = 9;
    int color = 0; // 0x00BBGGRR
    bool operator==(const FontChoice&) const = default;
};
