#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

// Turns image and icon files into the small glyphs shown on bookmark buttons.
// Theme icons are drawn through QPixmap, so these run in the GUI thread.
namespace IconLoader {

enum class Filter { Hermite, Lanczos3 };

// source rescaled to width x height by a separable filter over premultiplied pixels;
// null for a null source or an empty size.
QImage resample(const QImage& source, int width, int height, Filter filter);

// First frame of a GIF at 15 x 15; null when the file is missing or unreadable.
QImage GIFLoad(const QString& file);
// A JPEG at 15 x 15; null when the file is missing or unreadable.
QImage JPEGLoad(const QString& file);

// Icon number index of file on the button face, (buttonHeight - 4) pixels square; null
// when the file is missing or has no such icon. An invalid face is the palette's button
// colour.
QImage IconSmallBtn(const QString& file, int index, int buttonHeight = 19, const QColor& face = QColor());
// The first icon of file at 15 x 15 on the button colour. The file need not exist: a
// program name finds its theme icon.
QImage IconSmall(const QString& file);
// GIFs and JPEGs through their loaders, everything else through IconSmallBtn.
QImage IconSmallBtnTest(const QString& file, int index);

// How many icons file holds: icon groups of a program or library, 1 for an icon file
// or an image, 0 when it has none.
int iconCount(const QString& file);
// Every icon of file at 15 x 15, entry i being icon i (null where it cannot be decoded).
QList<QImage> fileImages(const QString& file);

} // namespace IconLoader
