#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

// Prints lines of text one below the other in one font, page after page,
// as a plain list on paper (or into a PDF file).
namespace LinePrinter {

// False with the reason when the printer could not be used.
bool print(QPrinter& printer, const QStringList& lines, const QFont& font, const QColor& color, QString* error);

} // namespace LinePrinter
