#pragma once

#include "ButtonFace.h"

#include <QHash>
#include <QPixmap>
#include <QVector>

// The pictures of the board: the two internal icon lists, the blank and empty
// glyphs, and 15 x 15 images of icon, image and program files.
class IconLibrary
{
public:
    static constexpr int kSize = 15;

    IconLibrary();

    int firstListSize() const { return m_list1.size(); }
    int secondListSize() const { return m_list2.size() + 1; } // + BlankIcon at its end
    QPixmap internal(int index) const;
    QPixmap defaultIcon(const IconRef& defaultIcon);
    QPixmap blank() const { return m_blank; }

    // The glyph a face names; a missing image gives the default icon.
    QPixmap glyph(const IconRef& ref, const IconRef& defaultIcon);
    // Icon number `index` of a file, reduced to 15 x 15; null when none.
    QPixmap fileIcon(const QByteArray& file, int index);

private:
    QVector<QPixmap> loadList(const QString& listFile) const;

    QVector<QPixmap> m_list1;
    QVector<QPixmap> m_list2;
    QPixmap m_blank;
    struct Cached
    {
        qint64 modified = 0;
        QPixmap pixmap;
    };
    QHash<QString, Cached> m_fileCache;
};
