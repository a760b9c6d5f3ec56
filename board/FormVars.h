#pragma once

#include "SettingsFile.h"

#include <QByteArray>

// The main window's own variables (everything that is not shown).
struct FormVars
{
    int Columns = SettingsFile::Columns.defaultNumber();
    int WindowWidth = SettingsFile::Width.defaultNumber();
    QByteArray ButtonFontName = SettingsFile::ButtonFontName.defaultText();
    int ButtonFontSize = SettingsFile::ButtonFontSize.defaultNumber();
    int ButtonFontColor = SettingsFile::ButtonFontColor.defaultNumber();
    QByteArray BrowserPath;
    int BrowserIndex = 1;
    QByteArray FilePasswordValue;
    bool FirstBuild = false;
    // Set while the Internet search window builds its addresses: launches
    // meanwhile stay out of the recent list.
    bool NetSearchBusy = false;

    // Start mode and launch options read at start (Location/Tray, Show/Pages).
    QByteArray TrayMode = SettingsFile::Tray.defaultText();
    QByteArray ShowPages = SettingsFile::ShowPages.defaultText();
    bool AutoRunLoad = false;

    // "B" + slot key of the button last clicked or keyboard-selected.
    QByteArray CurrentButton;
    // Slot number of the keyboard selection, 0 = none.
    int KeyboardSelection = 0;
};
