#include "Setting.h"

#include "IniFiles32.h"

QByteArray Setting::read(const TIniFile32& ini) const
{
    return ini.ReadString(sectionName(), keyName(), defaultText());
}

int Setting::readNumber(const TIniFile32& ini) const
{
    return ini.ReadInteger(sectionName(), keyName(), defaultNumber());
}

bool Setting::readOn(const TIniFile32& ini) const
{
    const QByteArray v = read(ini);
    return v != "Off" && v != "No";
}

void Setting::write(TIniFile32& ini, const QByteArray& value) const
{
    ini.WriteString(sectionName(), keyName(), value);
}

void Setting::write(TIniFile32& ini, int value) const
{
    ini.WriteInteger(sectionName(), keyName(), value);
}
