#pragma once

#include <QByteArray>
#include <string_view>

class TIniFile32;

// One key of a settings file: its section, its name, and what it reads as
// when missing (or, for numbers, when it is no number).
struct Setting
{
    std::string_view section;
    std::string_view key;
    std::string_view fallback;

    QByteArray sectionName() const { return QByteArray(section.data(), qsizetype(section.size())); }
    QByteArray keyName() const { return QByteArray(key.data(), qsizetype(key.size())); }
    QByteArray defaultText() const { return QByteArray(fallback.data(), qsizetype(fallback.size())); }
    // The default of a number key, known to the compiler.
    constexpr int defaultNumber() const
    {
        int n = 0;
        for (char c : fallback)
            n = n * 10 + (c - '0');
        return n;
    }

    QByteArray read(const TIniFile32& ini) const;
    int readNumber(const TIniFile32& ini) const;
    // On/off and yes/no keys: off only when the key holds exactly "Off" or "No".
    bool readOn(const TIniFile32& ini) const;
    void write(TIniFile32& ini, const QByteArray& value) const;
    void write(TIniFile32& ini, int value) const;
};
