#pragma once

#include <QByteArray>
#include <QString>

// Paths are kept as bytes, as they are stored in the files.
namespace PathNames {

QString toQt(const QByteArray& path);
QByteArray fromQt(const QString& path);

// Folder part including the trailing "/" (empty when the path has none).
QByteArray folder(const QByteArray& path);
// The file's own name, without its folder.
QByteArray fileName(const QByteArray& path);
// Everything before the first "." of the file's own name. Folder names are
// never cut: hidden folders such as ~/.local would otherwise make two files
// share one backup and write outside their folder.
QByteArray stem(const QByteArray& path);
// The text after the first "." of the file's own name ("" when none).
QByteArray extension(const QByteArray& path);
bool nameHasDot(const QByteArray& path);
bool hasFolderPart(const QByteArray& path);

// The entry of folder whose name equals name without regard to letter case
// (an exact match wins); when there is none, folder + name as given.
QByteArray findNoCase(const QByteArray& folderWithSlash, const QByteArray& name);
bool existsNoCase(const QByteArray& folderWithSlash, const QByteArray& name);

bool fileExists(const QByteArray& path);

} // namespace PathNames
