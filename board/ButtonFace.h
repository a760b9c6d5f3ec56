#pragma once

#include "IconRef.h"

#include <QByteArray>

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
