#include "ManualUrlList.h"

#include "IniStore.h"
#include "PathNames.h"

#include <QFile>

void ManualUrlList::load()
{
    m_items.clear();
    QFile f(PathNames::toQt(m_file));
    if (!PathNames::fileExists(m_file) || !f.open(QIODevice::ReadOnly))
        return;
    QByteArray text = f.readAll();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        if (m_items.size() >= kKept)
            break;
        m_items << line;
    }
}

void ManualUrlList::save() const
{
    QByteArray text;
    for (const QByteArray& item : m_items)
        text += item + "\r\n";
    IniStore::writeAtomically(m_file, text);
}

bool ManualUrlList::add(const QByteArray& item)
{
    if (item.isEmpty() || m_items.contains(item))
        return false;
    m_items.prepend(item);
    while (m_items.size() > kKept)
        m_items.removeLast();
    return true;
}

void ManualUrlList::removeAt(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items.removeAt(index);
}
