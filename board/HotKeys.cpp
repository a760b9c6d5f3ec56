#include "HotKeys.h"

#include "IniFiles32.h"
#include "SettingsFile.h"

namespace {

struct Named
{
    int bits;
    const char* text;
};

// The order of the texts matters for reading: the first text of a set wins.
constexpr Named kModifierTexts[] = {
    {4, "Ctrl"},      {1, "Shift"},          {2, "Alt"}, {6, "Ctrl,Alt"}, {5, "Ctrl,Shift"},
    {3, "Alt,Shift"}, {7, "Ctrl,Alt,Shift"}, {0, ""},
};

QByteArray n(const char* prefix, int i)
{
    return QByteArray(prefix) + QByteArray::number(i);
}

} // namespace

QByteArray HotKeys::StateToStr(int bits)
{
    for (const Named& m : kModifierTexts)
        if (m.bits == (bits & 7))
            return m.text;
    return {};
}

int HotKeys::StrToState(const QByteArray& text)
{
    for (const Named& m : kModifierTexts)
        if (text == m.text)
            return m.bits;
    // Any other spelling of a set ("Shift,Ctrl") still means its keys.
    int bits = 0;
    for (const QByteArray& part : text.split(',')) {
        const QByteArray p = part.trimmed();
        if (p == "Ctrl")
            bits |= kCtrl;
        else if (p == "Alt")
            bits |= kAlt;
        else if (p == "Shift")
            bits |= kShift;
    }
    return bits;
}

const QStringList& HotKeys::keyTexts()
{
    static const QStringList texts = [] {
        QStringList t;
        for (char c = 'A'; c <= 'Z'; ++c)
            t << QString(QLatin1Char(c));
        for (char c = '1'; c <= '9'; ++c)
            t << QString(QLatin1Char(c));
        t << QStringLiteral("0");
        for (int i = 1; i <= 12; ++i)
            t << QStringLiteral("F%1").arg(i);
        t << QStringLiteral("Up") << QStringLiteral("Down") << QStringLiteral("Left") << QStringLiteral("Right")
          << QStringLiteral("Tab") << QStringLiteral("Insert") << QStringLiteral("Delete") << QStringLiteral("Home")
          << QStringLiteral("End") << QStringLiteral("Page up") << QStringLiteral("Page down");
        return t;
    }();
    return texts;
}

QString HotKeys::itemName(int i)
{
    static const char* names[kCount] = {"AddBookmark", "HideLynkor", "ShowLynkor",
                                        "SearchNet",   "WebImport",  "OpenFile"};
    return QString::fromLatin1(names[i]);
}

QString HotKeys::label(int i)
{
    static const char* labels[kCount] = {"=  Add Bookmark", "=  Hide Lynkor",     "=  Show Lynkor",
                                         "=  Show Search",  "=  Import Web Page", "=  Open Lynkor File"};
    return QString::fromLatin1(labels[i]);
}

void HotKeys::read(const TIniFile32& s)
{
    using namespace SettingsFile;
    for (int i = 0; i < kCount; ++i) {
        Entry& e = entries[i];
        const bool two = i == ShowLynkor;
        e.key = s.ReadString(kHotKey, n("Key", i), two ? "F10" : "");
        e.modifiers = StrToState(s.ReadString(kHotKey, n("Shift", i), two ? "Ctrl" : ""));
        e.enabled = s.ReadString(kHotKey, n("D", i), Off) != Off;
    }
}

void HotKeys::write(TIniFile32& s) const
{
    using namespace SettingsFile;
    for (int i = 0; i < kCount; ++i) {
        const Entry& e = entries[i];
        s.WriteString(kHotKey, n("Key", i), e.key);
        s.WriteString(kHotKey, n("Shift", i), StateToStr(e.modifiers));
        s.WriteString(kHotKey, n("D", i), onOff(e.enabled));
    }
}
