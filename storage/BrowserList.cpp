#include "BrowserList.h"

#include "IniFiles32.h"
#include "SettingsFile.h"

using namespace SettingsFile;

BrowserList BrowserList::read(const TIniFile32& settings)
{
    BrowserList list;
    const int count = std::min(BrowserCount.readNumber(settings), kMost);
    for (int n = 1; n <= count; ++n)
        list.paths << path(settings, n);
    list.selected = BrowserSelected.readNumber(settings);
    return list;
}

QByteArray BrowserList::path(const TIniFile32& settings, int n)
{
    return settings.ReadString(kBrowser, QByteArray::number(n), {});
}

void BrowserList::select(TIniFile32& settings, int n)
{
    BrowserSelected.write(settings, n);
}

void BrowserList::seed(TIniFile32& settings, const std::vector<QByteArray>& found)
{
    for (size_t i = 0; i < found.size(); ++i)
        settings.WriteString(kBrowser, QByteArray::number(static_cast<int>(i) + 1), found[i]);
    BrowserCount.write(settings, static_cast<int>(found.size()));
    // The seeded path is entry 1; the selection must say so, or the next
    // start would find a stale entry and seed again.
    select(settings, 1);
}

int BrowserList::add(TIniFile32& settings, const QByteArray& path)
{
    const int n = BrowserCount.readNumber(settings) + 1;
    settings.WriteString(kBrowser, QByteArray::number(n), path);
    BrowserCount.write(settings, n);
    select(settings, n);
    return n;
}

void BrowserList::removeSelected(TIniFile32& settings)
{
    // Missing numbers read as 0 here: nothing selected, nothing listed.
    const int count = settings.ReadInteger(kBrowser, BrowserCount.keyName(), 0);
    const int selected = settings.ReadInteger(kBrowser, BrowserSelected.keyName(), 0);
    BrowserCount.write(settings, std::max(0, count - 1));
    select(settings, 1);
    settings.DeleteKey(kBrowser, QByteArray::number(selected));
    // Renumber without gaps: every remaining path moves to the next free number.
    int next = 1;
    for (int n = 1; n <= count; ++n) {
        const QByteArray value = path(settings, n);
        if (value.isEmpty())
            continue;
        if (n != next) {
            settings.WriteString(kBrowser, QByteArray::number(next), value);
            settings.DeleteKey(kBrowser, QByteArray::number(n));
        }
        ++next;
    }
}
