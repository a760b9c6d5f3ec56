#include "IconLibrary.h"

#include "IconLoader.h"
#include "PathNames.h"

#include <QFile>
#include <QFileInfo>

IconLibrary::IconLibrary()
{
    Q_INIT_RESOURCE(icons);
    m_list1 = loadList(QStringLiteral(":/icons/list1.txt"));
    m_list2 = loadList(QStringLiteral(":/icons/list2.txt"));
    m_blank = QPixmap(kSize, kSize);
    m_blank.fill(Qt::transparent);
}

QVector<QPixmap> IconLibrary::loadList(const QString& listFile) const
{
    QVector<QPixmap> icons;
    QFile f(listFile);
    if (!f.open(QIODevice::ReadOnly))
        return icons;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QByteArray name = line.trimmed();
        if (name.isEmpty())
            continue;
        QPixmap p(QStringLiteral(":/icons/silk/%1.png").arg(QString::fromLatin1(name)));
        icons.push_back(p.scaled(kSize, kSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return icons;
}

QPixmap IconLibrary::internal(int index) const
{
    if (index >= 0 && index < m_list1.size())
        return m_list1[index];
    return {};
}

QPixmap IconLibrary::defaultIcon(const IconRef& defaultIcon)
{
    QPixmap p;
    if (defaultIcon.kind == IconRef::Internal)
        p = internal(defaultIcon.index);
    else if (defaultIcon.kind == IconRef::File)
        p = fileIcon(defaultIcon.file, defaultIcon.index);
    return p.isNull() ? internal(120) : p;
}

QPixmap IconLibrary::glyph(const IconRef& ref, const IconRef& defaultRef)
{
    QPixmap p;
    switch (ref.kind) {
    case IconRef::Blank:
        return m_blank;
    case IconRef::NoIcon:
        return {};
    case IconRef::Default:
        break;
    case IconRef::Internal:
        p = internal(ref.index);
        break;
    case IconRef::Second:
        if (ref.index == m_list2.size())
            return m_blank;
        if (ref.index >= 0 && ref.index < m_list2.size())
            p = m_list2[ref.index];
        break;
    case IconRef::File:
        p = fileIcon(ref.file, ref.index);
        break;
    }
    return p.isNull() ? defaultIcon(defaultRef) : p;
}

QPixmap IconLibrary::fileIcon(const QByteArray& file, int index)
{
    const QString path = PathNames::toQt(file);
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const QString key = path + QLatin1Char('\n') + QString::number(index);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    auto it = m_fileCache.find(key);
    if (it != m_fileCache.end() && it->modified == modified)
        return it->pixmap;

    const QImage image = IconLoader::IconSmallBtnTest(path, index);
    QPixmap result;
    if (!image.isNull())
        result = QPixmap::fromImage(image);
    m_fileCache.insert(key, {modified, result});
    return result;
}
