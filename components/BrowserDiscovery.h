#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <vector>

// Finds the browser programs of this machine: the desktop's default browser
// (xdg-settings -> its .desktop file -> Exec), then the usual browsers on PATH.
struct BrowserDiscovery
{
    // Answers "xdg-settings get default-web-browser" ("" when it fails).
    std::function<QByteArray()> defaultBrowserId = &BrowserDiscovery::queryXdgSettings;
    QStringList applicationDirs = defaultApplicationDirs();
    QStringList pathDirs = defaultPathDirs();

    std::vector<QByteArray> find() const;

    static QByteArray queryXdgSettings();
    static QStringList defaultApplicationDirs();
    static QStringList defaultPathDirs();
    static const QStringList& knownBrowsers();
    // The program of a .desktop file's Exec line (first word, unquoted).
    static QString execProgram(const QByteArray& desktopFile);

private:
    QString resolve(const QString& program) const;
};
