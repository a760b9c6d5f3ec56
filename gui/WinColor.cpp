#include "WinColor.h"

#include "TabStyle.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace WinColor {

QColor toQColor(int colorRef)
{
    const auto v = static_cast<quint32>(colorRef);
    if (v & 0x80000000u) {
        const QPalette p = QApplication::palette();
        switch (v & 0xFF) {
        case 5: // window
            return p.color(QPalette::Base);
        case 8:  // window text
        case 18: // button text
            return p.color(QPalette::WindowText);
        case 13:
            return p.color(QPalette::Highlight);
        case 14:
            return p.color(QPalette::HighlightedText);
        case 15: // button face
            return p.color(QPalette::Button);
        case 17:
            return p.color(QPalette::Disabled, QPalette::WindowText);
        case 23:
            return p.color(QPalette::ToolTipText);
        case 24:
            return p.color(QPalette::ToolTipBase);
        default:
            return p.color(QPalette::WindowText);
        }
    }
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

int fromQColor(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QColor fromHex(const QString& hex)
{
    bool ok = false;
    const uint v = hex.toUInt(&ok, 16);
    return ok ? toQColor(static_cast<int>(v & 0xFFFFFF)) : QColor(Qt::white);
}

QString toHex(const QColor& c)
{
    return QStringLiteral("%1").arg(fromQColor(c), 6, 16, QLatin1Char('0')).toUpper();
}

void paintLikeTabs(QWidget* dialog, const TabStyle& tabs)
{
    QPalette colors = dialog->palette();
    colors.setColor(QPalette::Window, toQColor(tabs.selectedColor));
    colors.setColor(QPalette::WindowText, toQColor(tabs.fontColor));
    dialog->setPalette(colors);
    dialog->setAutoFillBackground(true);
}

} // namespace WinColor
