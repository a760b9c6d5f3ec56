#pragma once

#include "BookmarkFile.h"
#include "IniFiles32.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <vector>

// Small bookmark files for tests, and what a test reads back from one.
namespace BookmarkText {

// "[Tabs]" with the page names, then one section per page body given.
inline QByteArray file(const QList<QByteArray>& names, const QList<QPair<QByteArray, QByteArray>>& bodies = {})
{
    QByteArray text = "[Tabs]\r\nCount=" + QByteArray::number(names.size()) + "\r\n";
    for (int i = 0; i < names.size(); ++i)
        text += "Tab" + QByteArray::number(i + 1) + "=" + names[i] + "\r\n";
    for (const auto& [page, body] : bodies)
        text += "[" + page + "]\r\n" + body;
    return text;
}

// A bookmark in slot n: its title and an address made from it.
inline QByteArray mark(int n, const QByteArray& title, const QByteArray& more = {})
{
    const QByteArray k = BookmarkFile::SlotKey(n);
    return k + "N=" + title + "\r\n" + k + "U=http://" + title.toLower() + ".example/\r\n" + more;
}

inline QStringList names(const std::vector<QByteArray>& tabs)
{
    QStringList out;
    for (const QByteArray& t : tabs)
        out << QString::fromLatin1(t);
    return out;
}

// The page list of a file.
inline QStringList tabs(IniStore& store, const QByteArray& path)
{
    TIniFile32 ini(store, path);
    return names(BookmarkFile::ReadPageList(ini));
}

// The filled slots of a page, as "slot:title".
inline QStringList titles(IniStore& store, const QByteArray& path, const QByteArray& page)
{
    QStringList out;
    TIniFile32 ini(store, path);
    for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
        const QByteArray k = BookmarkFile::SlotKey(n);
        if (!ini.ReadString(page, k + "U", {}).isEmpty())
            out << QString::fromLatin1(k + ":" + ini.ReadString(page, k + "N", {}));
    }
    return out;
}

} // namespace BookmarkText
