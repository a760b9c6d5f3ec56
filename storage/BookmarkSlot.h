#pragma once

#include "BookmarkRecord.h"

#include <QByteArray>

class TIniFile32;

// One slot of a page, seen through an open bookmark file: its ten fields by
// name. Every read goes to the file's lines as they are now and every write
// is one key write, as the engine does them; a field missing from the file
// reads as empty.
class BookmarkSlot
{
public:
    using Field = BookmarkRecord::Field;

    BookmarkSlot(TIniFile32& ini, QByteArray page, QByteArray slotKey);
    // Read-only: the setters must not be called.
    BookmarkSlot(const TIniFile32& ini, QByteArray page, QByteArray slotKey);

    QByteArray get(Field field) const;
    void set(Field field, const QByteArray& value);
    // Deletes the field's key.
    void erase(Field field);

    QByteArray title() const { return get(Field::Title); }
    QByteArray url() const { return get(Field::Url); }
    // The caption colour; fallback when missing or no number.
    int color(int fallback) const;
    QByteArray notes() const { return get(Field::Notes); }
    QByteArray extraInfo() const { return get(Field::ExtraInfo); }
    QByteArray launchAs() const { return get(Field::LaunchAs); }
    QByteArray glyph() const { return get(Field::Glyph); }
    QByteArray iconFile() const { return get(Field::IconFile); }
    QByteArray ipAddress() const { return get(Field::IpAddress); }
    bool isFilled() const { return !url().isEmpty(); }

    void setTitle(const QByteArray& v) { set(Field::Title, v); }
    void setUrl(const QByteArray& v) { set(Field::Url, v); }
    void setColor(int v) { set(Field::Color, QByteArray::number(v)); }
    void setNotes(const QByteArray& v) { set(Field::Notes, v); }
    void setExtraInfo(const QByteArray& v) { set(Field::ExtraInfo, v); }
    void setLaunchAs(const QByteArray& v) { set(Field::LaunchAs, v); }
    void setGlyph(const QByteArray& v) { set(Field::Glyph, v); }
    void setIconFile(const QByteArray& v) { set(Field::IconFile, v); }
    void setIpAddress(const QByteArray& v) { set(Field::IpAddress, v); }

    const QByteArray& page() const { return m_page; }
    const QByteArray& slotKey() const { return m_slot; }

private:
    const TIniFile32& m_read;
    TIniFile32* m_write = nullptr;
    QByteArray m_page;
    QByteArray m_slot;
};
