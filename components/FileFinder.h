#pragma once

#include <QString>
#include <functional>

// FindFile1: searches a folder and all its subfolders for a name pattern.
// keepGoing is asked at the start and every few hundred entries; returning
// false cancels the search.
QString findFirstFile(const QString& folder, const QString& pattern,
                      const std::function<bool()>& keepGoing);
