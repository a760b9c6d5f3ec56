#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <memory>

class QFile;

// Icons stored in the resources of a Windows PE file (.exe, .dll; 32- and 64-bit).
// Every offset and size read from the file is checked against it, so a truncated or
// hostile file gives fewer icons or none, never a read past its end.
class PeIcons
{
public:
    explicit PeIcons(const QByteArray& data);
    // Maps the file (or reads it whole); a missing or non-PE file has no icons.
    static PeIcons fromFile(const QString& file);

    // Icon groups in the order Windows numbers them: named entries first, then ids.
    int count() const { return int(m_groups.size()); }
    // Group index rebuilt as a stand-alone .ico file; empty when it holds no usable image.
    QByteArray icoFile(int index) const;
    // The best image of group index; null when none decodes.
    QImage image(int index) const;

    // The best image of an .ico file's bytes: the largest, then the one with the most
    // colours. Images over 256 pixels (no real icon is) are ignored unread.
    static QImage bestImage(const QByteArray& icoFile);

private:
    struct Span
    {
        qint64 offset = 0;
        qint64 size = 0;
    };

    void parse();

    std::shared_ptr<QFile> m_mapped; // keeps m_data's memory alive when it is a mapping
    QByteArray m_data;
    QList<Span> m_groups;
    QHash<quint16, Span> m_icons; // RT_ICON id -> its data
};
