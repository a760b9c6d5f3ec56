#include "PagePasswords.h"

#include "PassText.h"

int PagePasswords::lastEntryOf(const QByteArray& page) const
{
    for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i)
        if (m_entries[i].startsWith(page))
            return i;
    return -1;
}

bool PagePasswords::PageProtected(const QByteArray& page) const
{
    return lastEntryOf(page) >= 0;
}

QByteArray PagePasswords::GetPagePass(const QByteArray& page) const
{
    const int i = lastEntryOf(page);
    return i < 0 ? QByteArray() : m_entries[i].mid(page.size());
}

void PagePasswords::PagePassMove(const QByteArray& oldName, const QByteArray& newName)
{
    const int i = lastEntryOf(oldName);
    if (i < 0)
        return;
    const QByteArray password = m_entries[i].mid(oldName.size());
    m_entries.removeAt(i);
    if (newName != oldName)
        m_entries << newName + password;
}

bool PagePasswords::remove(const QByteArray& page)
{
    const int i = lastEntryOf(page);
    if (i < 0)
        return false;
    m_entries.removeAt(i);
    return true;
}

void PagePasswords::ReadPagePass(const QByteArray& stored)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype mark = stored.indexOf(PassText::kEntryMark, start);
        if (mark < 0)
            break;
        m_entries << PassText::unscramble(stored.mid(start, mark - start));
        start = mark + 1;
    }
}

QByteArray PagePasswords::WritePagePass() const
{
    QByteArray out;
    for (const QByteArray& e : m_entries)
        out += PassText::scramble(e) + PassText::kEntryMark;
    return out;
}
