#pragma once

#include <QByteArray>

// Chooses the data folder: LYNKOR_HOME when set; else the program's own folder
// when it already holds a settings file (a portable installation); else
// $XDG_DATA_HOME/lynkor/ (normally ~/.local/share/lynkor/), created here.
struct ProgramDirLocator
{
    QByteArray lynkorHome; // $LYNKOR_HOME
    QByteArray programFolder;
    QByteArray xdgDataHome; // $XDG_DATA_HOME
    QByteArray home;        // $HOME
    QByteArray stem = "LYK";

    // Always ends with "/". Returns empty when the folder cannot be created.
    QByteArray locate() const;
    static ProgramDirLocator fromEnvironment(const QByteArray& programFolder, const QByteArray& stem);
};
