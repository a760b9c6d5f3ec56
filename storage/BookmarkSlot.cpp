#include "BookmarkSlot.h"

#include "BookmarkFile.h"
#include "IniFiles32.h"

BookmarkSlot::BookmarkSlot(TIniFile32& ini, QByteArray page, QByteArray slotKey)
    : m_read(ini), m_write(&ini), m_page(std::move(page)), m_slot(std::move(slotKey))
{
}

BookmarkSlot::BookmarkSlot(const TIniFile32& ini, QByteArray page, QByteArray slotKey)
    : m_read(ini), m_page(std::move(page)), m_slot(std::move(slotKey))
{
}

QByteArray BookmarkSlot::get(Field field) const
{
    return m_read.ReadString(m_page, BookmarkFile::FieldKey(m_slot, field), {});
}

void BookmarkSlot::set(Field field, const QByteArray& value)
{
    Q_ASSERT(m_write);
    m_write->WriteString(m_page, BookmarkFile::FieldKey(m_slot, field), value);
}

void BookmarkSlot::erase(Field field)
{
    Q_ASSERT(m_write);
    m_write->DeleteKey(m_page, BookmarkFile::FieldKey(m_slot, field));
}

int BookmarkSlot::color(int fallback) const
{
    return m_read.ReadInteger(m_page, BookmarkFile::FieldKey(m_slot, Field::Color), fallback);
}
