#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The removable volumes that are mounted now: the folders the desktop mounts
// them under (/media/<user>/ and /run/media/<user>/). LYNKOR_MEDIA_ROOT names
// another folder whose subfolders stand in for volumes.
class RemovableVolumes
{
public:
    struct Volume
    {
        QString name;    // its label, as the folder is named
        QByteArray path; // its top folder, without a trailing "/"
        bool operator==(const Volume&) const = default;
    };

    static QList<Volume> mounted();
    // Whether the volume is still there and can be written to.
    static bool answers(const QByteArray& path);
};
