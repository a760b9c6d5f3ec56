#pragma once

#include "BookmarkRecord.h"

#include <QByteArray>

// A bookmark file of the size a heavy user reaches, made up on the spot so the
// bench needs no fixture. Every value follows from its position alone, so a
// write can pick a value that surely differs from the one on disk.
namespace SampleBookmarks {

constexpr int kPages = 200;
constexpr int kSlots = 80;

QByteArray pageName(int page);
// variant 0 is the value in the file; any other variant gives a value of the
// same shape that differs from it.
QByteArray field(int page, int slot, BookmarkRecord::Field f, int variant = 0);
// The whole file in the engine's saved form (CR LF after every line), of
// 200 pages or as many as asked.
QByteArray file(int pages = kPages);

} // namespace SampleBookmarks
