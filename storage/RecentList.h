#pragma once

#include <QByteArray>
#include <QList>

class IniStore;

// A recent-items list kept in section "MRU" of an INI file: Count, then the
// entries under "1" .. Count, newest first.
class RecentList
{
public:
    RecentList(int kept, int shown) : m_kept(kept), m_shown(shown) {}

    void setFile(const QByteArray& path) { m_file = path; }
    const QByteArray& file() const { return m_file; }
    const QList<QByteArray>& items() const { return m_items; }
    // The newest entries that the menu shows.
    QList<QByteArray> shown() const { return m_items.mid(0, m_shown); }
    int kept() const { return m_kept; }

    // An entry goes to the top; an equal one further down is dropped.
    void add(const QByteArray& item);
    // Drops an entry (its file is gone or has another name).
    void remove(const QByteArray& item) { m_items.removeAll(item); }
    // Blanks an entry in place (its bookmark was erased).
    void blank(const QByteArray& item);
    void load(IniStore& store);
    void save(IniStore& store) const;

private:
    int m_kept;
    int m_shown;
    QByteArray m_file;
    QList<QByteArray> m_items;
};
