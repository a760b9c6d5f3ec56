#pragma once

#include <QByteArray>

// What a button shows as its glyph.
struct IconRef
{
    enum Kind {
        Blank,    // BlankIcon: a blank slot
        NoIcon,   // icons are hidden
        Default,  // DefaultIcon: the default bookmark icon
        Internal, // image `index` of the first icon list
        Second,   // image `index` of the second icon list
        File      // icon number `index` of the image or program file `file`
    };
    Kind kind = Blank;
    int index = 0;
    QByteArray file;

    static IconRef blank() { return {}; }
    static IconRef noIcon() { return {NoIcon, 0, {}}; }
    static IconRef defaultIcon() { return {Default, 0, {}}; }
    bool operator==(const IconRef&) const = default;
};
