#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

class TIniFile32;

// The browser list of the settings file: the programs under "1" .. Count of
// section Browser, and the number of the one in use (Selected).
struct BrowserList
{
    QList<QByteArray> paths;
    int selected = 1;

    // A list longer than this is a damaged file.
    static constexpr int kMost = 100;

    static BrowserList read(const TIniFile32& settings);
    // The path under number n ("" when none).
    static QByteArray path(const TIniFile32& settings, int n);
    static void select(TIniFile32& settings, int n);
    // A new list: the found browsers, the first one selected.
    static void seed(TIniFile32& settings, const std::vector<QByteArray>& found);
    // Appends a browser and selects it; returns its number.
    static int add(TIniFile32& settings, const QByteArray& path);
    // Removes the selected browser; the rest close up and the first is selected.
    static void removeSelected(TIniFile32& settings);
};
