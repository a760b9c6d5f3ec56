#include "ProgramFiles.h"

#include "IniFiles32.h"
#include "PathNames.h"
#include "SettingsFile.h"

#include <QFileInfo>

void ProgramFiles::setProgramDir(const QByteArray& dir)
{
    m_programDir = dir.endsWith('/') ? dir : dir + '/';
    m_settingsPath.clear();
}

void ProgramFiles::setSettingsStem(const QByteArray& stem)
{
    m_settingsStem = stem;
    m_settingsPath.clear();
}

QByteArray ProgramFiles::fixedFile(const QByteArray& name) const
{
    return PathNames::findNoCase(m_programDir, name);
}

QByteArray ProgramFiles::settingsPath() const
{
    if (!m_settingsPath.isEmpty() && QFileInfo::exists(PathNames::toQt(m_settingsPath)))
        return m_settingsPath;
    const bool isDefault = m_settingsStem.compare(SettingsFile::kDefaultStem, Qt::CaseInsensitive) == 0;
    const QByteArray name = isDefault ? SettingsFile::kDefaultFileName : m_settingsStem + SettingsFile::kExtension;
    QByteArray path = PathNames::findNoCase(m_programDir, name);
    if (QFileInfo::exists(PathNames::toQt(path)))
        m_settingsPath = path;
    return path;
}

QByteArray ProgramFiles::userFilePath() const
{
    const bool isDefault = m_settingsStem.compare(SettingsFile::kDefaultStem, Qt::CaseInsensitive) == 0;
    return PathNames::findNoCase(m_programDir, isDefault ? SettingsFile::kUserFileName : m_settingsStem + ".USE");
}

QByteArray ProgramFiles::recentFilesPath() const
{
    return fixedFile(SettingsFile::kDefaultFileName);
}

QByteArray ProgramFiles::read(const Setting& setting)
{
    TIniFile32 ini(m_store, settingsPath());
    return setting.read(ini);
}

int ProgramFiles::readNumber(const Setting& setting)
{
    TIniFile32 ini(m_store, settingsPath());
    return setting.readNumber(ini);
}

bool ProgramFiles::readOn(const Setting& setting)
{
    TIniFile32 ini(m_store, settingsPath());
    return setting.readOn(ini);
}

void ProgramFiles::write(const Setting& setting, const QByteArray& value)
{
    TIniFile32 ini(m_store, settingsPath());
    setting.write(ini, value);
}

void ProgramFiles::write(const Setting& setting, int value)
{
    TIniFile32 ini(m_store, settingsPath());
    setting.write(ini, value);
}

void ProgramFiles::WriteToIniS(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    TIniFile32 ini(m_store, settingsPath());
    ini.WriteString(section, key, value);
}

void ProgramFiles::WriteToIniI(const QByteArray& section, const QByteArray& key, int value)
{
    TIniFile32 ini(m_store, settingsPath());
    ini.WriteInteger(section, key, value);
}

QByteArray ProgramFiles::ReadFromIniS(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue)
{
    TIniFile32 ini(m_store, settingsPath());
    return ini.ReadString(section, key, defaultValue);
}

int ProgramFiles::ReadFromIniI(const QByteArray& section, const QByteArray& key, int defaultValue)
{
    TIniFile32 ini(m_store, settingsPath());
    return ini.ReadInteger(section, key, defaultValue);
}

void ProgramFiles::WriteToIniSLYK(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    TIniFile32 ini(m_store, m_bookmarkFileName);
    ini.WriteString(section, key, value);
}

void ProgramFiles::WriteToIniILYK(const QByteArray& section, const QByteArray& key, int value)
{
    TIniFile32 ini(m_store, m_bookmarkFileName);
    ini.WriteInteger(section, key, value);
}

QByteArray ProgramFiles::ReadFromIniSLYK(const QByteArray& section, const QByteArray& key,
                                         const QByteArray& defaultValue)
{
    TIniFile32 ini(m_store, m_bookmarkFileName);
    return ini.ReadString(section, key, defaultValue);
}

int ProgramFiles::ReadFromIniILYK(const QByteArray& section, const QByteArray& key, int defaultValue)
{
    TIniFile32 ini(m_store, m_bookmarkFileName);
    return ini.ReadInteger(section, key, defaultValue);
}
