#include "LinePrinter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace LinePrinter {

bool print(QPrinter& printer, const QStringList& lines, const QFont& font, const QColor& color, QString* error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = printer.outputFileName().isEmpty()
                         ? QStringLiteral("the printer could not be opened")
                         : QStringLiteral("\"%1\" could not be written").arg(printer.outputFileName());
        return false;
    }
    painter.setFont(QFont(font, painter.device()));
    painter.setPen(color);
    const QFontMetrics metrics(painter.font(), painter.device());
    const QRect page = painter.viewport();
    const int step = metrics.lineSpacing();
    int y = metrics.ascent();
    for (const QString& line : lines) {
        if (y + metrics.descent() > page.height()) {
            if (!printer.newPage()) {
                if (error)
                    *error = QStringLiteral("the printer stopped taking pages");
                return false;
            }
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += step;
    }
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("the print job could not be finished");
        return false;
    }
    return true;
}

} // namespace LinePrinter
