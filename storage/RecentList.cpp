#include "RecentList.h"

#include "IniBatch.h"
#include "IniFiles32.h"

namespace {
const QByteArray kSection = "MRU";
}

void RecentList::add(const QByteArray& item)
{
    m_items.removeAll(item);
    m_items.prepend(item);
    while (m_items.size() > m_kept)
        m_items.removeLast();
}

void RecentList::blank(const QByteArray& item)
{
    for (QByteArray& i : m_items)
        if (i == item)
            i.clear();
}

void RecentList::load(IniStore& store)
{
    m_items.clear();
    if (m_file.isEmpty())
        return;
    TIniFile32 ini(store, m_file);
    const int count = std::min(ini.ReadInteger(kSection, "Count", 0), m_kept);
    for (int i = 1; i <= count; ++i)
        m_items << ini.ReadString(kSection, QByteArray::number(i), {});
}

void RecentList::save(IniStore& store) const
{
    if (m_file.isEmpty())
        return;
    // The section is rewritten in place: erasing it and appending it again
    // would leave one more empty line in the file at every change.
    IniBatch batch(store, m_file);
    TIniFile32 ini(store, m_file);
    const int before = ini.ReadInteger(kSection, "Count", 0);
    const int count = static_cast<int>(m_items.size());
    ini.WriteInteger(kSection, "Count", count);
    for (int i = 0; i < count; ++i)
        ini.WriteString(kSection, QByteArray::number(i + 1), m_items[i]);
    for (int i = count + 1; i <= std::max(before, m_kept); ++i)
        ini.DeleteKey(kSection, QByteArray::number(i));
    batch.commit();
}
