#pragma once

#include "IniStore.h"
#include "Setting.h"

#include <QByteArray>

// Where the program's files are: the data folder, the settings stem and the
// current bookmark file, with the one-call conveniences that open the settings
// or bookmark file for exactly one operation.
class ProgramFiles
{
public:
    explicit ProgramFiles(IniStore& store) : m_store(store) {}

    IniStore& store() { return m_store; }

    // The data folder, always with a trailing "/".
    const QByteArray& ProgramDir() const { return m_programDir; }
    void setProgramDir(const QByteArray& dir);
    const QByteArray& SettingsStem() const { return m_settingsStem; }
    void setSettingsStem(const QByteArray& stem);
    const QByteArray& BookmarkFileName() const { return m_bookmarkFileName; }
    void setBookmarkFileName(const QByteArray& path) { m_bookmarkFileName = path; }

    // ProgramDir + SettingsStem + ".INI", found without regard to letter case;
    // a new default file is spelled "lyk.ini".
    QByteArray settingsPath() const;
    // The user information and mail addresses: ProgramDir + SettingsStem +
    // ".USE", found without regard to letter case; a new default file is
    // spelled "lyk.use".
    QByteArray userFilePath() const;
    // The recent-file list always lives in "lyk.ini", whatever the stem.
    QByteArray recentFilesPath() const;
    // A file of the data folder whose name the program fixes.
    QByteArray fixedFile(const QByteArray& name) const;

    // One key of the settings file, read or written in one call.
    QByteArray read(const Setting& setting);
    int readNumber(const Setting& setting);
    bool readOn(const Setting& setting);
    void write(const Setting& setting, const QByteArray& value);
    void write(const Setting& setting, int value);

    void WriteToIniS(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void WriteToIniI(const QByteArray& section, const QByteArray& key, int value);
    QByteArray ReadFromIniS(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue);
    int ReadFromIniI(const QByteArray& section, const QByteArray& key, int defaultValue);

    void WriteToIniSLYK(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void WriteToIniILYK(const QByteArray& section, const QByteArray& key, int value);
    QByteArray ReadFromIniSLYK(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue);
    int ReadFromIniILYK(const QByteArray& section, const QByteArray& key, int defaultValue);

private:
    IniStore& m_store;
    QByteArray m_programDir;
    QByteArray m_settingsStem = "LYK";
    QByteArray m_bookmarkFileName;
    mutable QByteArray m_settingsPath; // resolved spelling, once the file exists
};
