#pragma once

#include <QColor>

// Colours are stored as Windows colour values: 0x00BBGGRR, or a system colour
// (high bit set, low byte = the system colour's number).
namespace WinColor {

QColor toQColor(int colorRef);
int fromQColor(const QColor& color);
// The six hexadecimal digits of the custom colour keys ("FFFFFF" = white),
// in the same BBGGRR order.
QColor fromHex(const QString& hex);
QString toHex(const QColor& color);

} // namespace WinColor
