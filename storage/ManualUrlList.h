#pragma once

#include <QByteArray>
#include <QList>

// The manual address box's list, "ManualURL.txt": one entry per line, newest
// first, at most 15.
class ManualUrlList
{
public:
    static constexpr int kKept = 15;

    void setFile(const QByteArray& path) { m_file = path; }
    const QList<QByteArray>& items() const { return m_items; }
    void load();
    // Throws "Cannot create file %s".
    void save() const;
    // A new entry goes first (an equal one keeps its place); beyond 15 the
    // oldest go. Returns whether the list changed.
    bool add(const QByteArray& item);
    void removeAt(int index);

private:
    QByteArray m_file;
    QList<QByteArray> m_items;
};
