#pragma once

#include <QByteArray>
#include <QList>

// The passwords of the protected pages of the open file (PagePassBox): one
// plain entry per page, the page name immediately followed by its password.
// Entries are matched by prefix, as they always were: an unprotected page Work
// beside a protected page Workshop counts as protected.
class PagePasswords
{
public:
    const QList<QByteArray>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }
    void add(const QByteArray& page, const QByteArray& password) { m_entries << page + password; }

    bool PageProtected(const QByteArray& page) const;
    // The rest of the last entry that begins with page; empty if none.
    QByteArray GetPagePass(const QByteArray& page) const;
    // A page renamed (new differs) or deleted (new equals old).
    void PagePassMove(const QByteArray& oldName, const QByteArray& newName);
    // Removes the last entry that begins with page; false when none.
    bool remove(const QByteArray& page);

    // The stored "P_ß_¶_" value: every entry scrambled and followed by "§".
    // The whole list is read, however long it is.
    void ReadPagePass(const QByteArray& stored);
    QByteArray WritePagePass() const;

private:
    int lastEntryOf(const QByteArray& page) const;
    QList<QByteArray> m_entries;
};
