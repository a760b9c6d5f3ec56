#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

// What the command line asks for: up to two arguments.
struct CommandLine
{
    // "/_" + installation folder: the first run after installation.
    bool firstRun = false;
    QByteArray installFolder;
    // Settings stem: "LYK" unless the first argument has no extension.
    QByteArray stem = "LYK";
    // Bookmark files named on the command line, first then second (the last wins).
    std::vector<QByteArray> bookmarkFiles;

    static CommandLine parse(const QStringList& arguments);
};
