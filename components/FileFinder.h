#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// FindFile1: searches a folder and all its subfolders for files whose names
// match a pattern (letter case ignored), hidden files and folders left out.
// keepGoing is asked at the start and every few hundred entries; returning
// false cancels the search. At most `most` files are returned.
QStringList findFiles(const QString& folder, const QString& pattern, const std::function<bool()>& keepGoing, int most);
