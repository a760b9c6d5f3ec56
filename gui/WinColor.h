#pragma once

#include <QColor>

struct TabStyle;
class QWidget;

// Colours are stored as Windows colour values: 0x00BBGGRR, or a system colour
// (high bit set, low byte = the system colour's number).
namespace WinColor {

QColor toQColor(int colorRef);
int fromQColor(const QColor& color);
// The six hexadecimal digits of the custom colour keys ("FFFFFF" = white),
// in the same BBGGRR order.
QColor fromHex(const QString& hex);
QString toHex(const QColor& color);

// A dialog that takes the page tabs' look: the chosen tab's colour as its
// background, the tabs' font colour for its text.
void paintLikeTabs(QWidget* dialog, const TabStyle& tabs);

} // namespace WinColor
