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

// The face of one bookmark button: display copies built from the file.
struct ButtonFace
{
    QByteArray name; // "B01" .. "B80"; characters 2-3 are the slot key
    int left = 1;
    int top = 0;
    int width = 0;
    int height = 19;
    QByteArray caption;
    QByteArray hint; // tool tip; lines separated by CR
    int color = 0;   // caption colour, 0x00BBGGRR
    IconRef glyph;
    int margin = 1; // 30 marks the keyboard selection
    bool handCursor = false;
    bool enabled = true;

    QByteArray slotKey() const { return name.mid(1, 2); }
    bool operator==(const ButtonFace&) const = default;
};
