#include "ProgramDirLocator.h"

#include "PathNames.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

QByteArray withSlash(QByteArray dir)
{
    return dir.endsWith('/') ? dir : dir + '/';
}

bool holdsSettings(const QByteArray& folder, const QByteArray& stem)
{
    for (const QByteArray& name :
         {stem + SettingsFile::kExtension, SettingsFile::kDefaultFileName, SettingsFile::kLegacyFileName})
        if (QFileInfo(PathNames::toQt(PathNames::findNoCase(folder, name))).isFile())
            return true;
    return false;
}

} // namespace

QByteArray ProgramDirLocator::locate() const
{
    QByteArray dir;
    if (!lynkorHome.isEmpty()) {
        dir = withSlash(lynkorHome);
    } else if (!programFolder.isEmpty() && holdsSettings(withSlash(programFolder), stem)) {
        return withSlash(programFolder);
    } else {
        QByteArray data = xdgDataHome;
        if (data.isEmpty() || !data.startsWith('/'))
            data = withSlash(home) + ".local/share";
        dir = withSlash(data) + "lynkor/";
    }
    if (!QDir().mkpath(PathNames::toQt(dir)))
        return {};
    return PathNames::fromQt(QDir(PathNames::toQt(dir)).absolutePath()) + '/';
}

ProgramDirLocator ProgramDirLocator::fromEnvironment(const QByteArray& programFolder, const QByteArray& stem)
{
    ProgramDirLocator l;
    l.lynkorHome = qgetenv("LYNKOR_HOME");
    l.programFolder = programFolder;
    l.xdgDataHome = qgetenv("XDG_DATA_HOME");
    l.home = qgetenv("HOME");
    if (l.home.isEmpty())
        l.home = PathNames::fromQt(QDir::homePath());
    l.stem = stem;
    return l;
}
