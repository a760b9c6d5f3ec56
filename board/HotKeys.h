#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

class TIniFile32;

// The six global hotkeys: key, modifiers and enabled flag of each, as the
// settings file holds them (section HotKey: Key<n>, Shift<n>, D<n>).
struct HotKeys
{
    enum Action { AddBookmark, HideLynkor, ShowLynkor, SearchNet, WebImport, OpenFile };
    static constexpr int kCount = 6;
    // Modifier bits.
    static constexpr int kShift = 1;
    static constexpr int kAlt = 2;
    static constexpr int kCtrl = 4;

    struct Entry
    {
        QByteArray key; // "A" .. "Z", "0" .. "9", "F1" .. "F12", "Up", "Page up", ...
        int modifiers = 0;
        bool enabled = false;
        bool operator==(const Entry&) const = default;
    };
    std::array<Entry, kCount> entries;

    void read(const TIniFile32& settings);
    void write(TIniFile32& settings) const;

    // The modifier text of the settings file ("Ctrl", "Ctrl,Alt", ...).
    static QByteArray StateToStr(int bits);
    static int StrToState(const QByteArray& text);
    static const QStringList& keyTexts();
    static QString itemName(int n); // AddBookmark, HideLynkor, ...
    static QString label(int n);    // "=  Add Bookmark", ...
};
