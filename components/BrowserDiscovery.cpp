#include "BrowserDiscovery.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QByteArray BrowserDiscovery::queryXdgSettings()
{
    QProcess p;
    p.start(QStringLiteral("xdg-settings"), {QStringLiteral("get"), QStringLiteral("default-web-browser")});
    if (!p.waitForStarted(2000))
        return {};
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput().trimmed();
}

QStringList BrowserDiscovery::defaultApplicationDirs()
{
    QStringList dirs;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    dirs << dataHome + QStringLiteral("/applications");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& d : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs << d + QStringLiteral("/applications");
    return dirs;
}

QStringList BrowserDiscovery::defaultPathDirs()
{
    return qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

const QStringList& BrowserDiscovery::knownBrowsers()
{
    static const QStringList names = {
        QStringLiteral("firefox"),       QStringLiteral("firefox-esr"),
        QStringLiteral("chromium"),      QStringLiteral("chromium-browser"),
        QStringLiteral("google-chrome"), QStringLiteral("google-chrome-stable"),
        QStringLiteral("brave-browser"), QStringLiteral("microsoft-edge"),
        QStringLiteral("vivaldi"),       QStringLiteral("opera"),
        QStringLiteral("librewolf"),     QStringLiteral("epiphany-browser"),
        QStringLiteral("epiphany"),      QStringLiteral("falkon"),
        QStringLiteral("konqueror"),     QStringLiteral("qutebrowser"),
        QStringLiteral("midori"),        QStringLiteral("seamonkey"),
    };
    return names;
}

QString BrowserDiscovery::execProgram(const QByteArray& desktopFile)
{
    const std::optional<DesktopEntry> entry = DesktopEntry::read(QFile::decodeName(desktopFile));
    return entry ? entry->program : QString();
}

QString BrowserDiscovery::resolve(const QString& program) const
{
    if (program.isEmpty())
        return {};
    if (program.contains(QLatin1Char('/'))) {
        QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    for (const QString& dir : pathDirs) {
        QFileInfo info(QDir(dir).filePath(program));
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return {};
}

std::vector<QByteArray> BrowserDiscovery::find() const
{
    std::vector<QByteArray> found;
    QStringList seen; // canonical paths, so links to one program count once
    auto add = [&](const QString& path) {
        if (path.isEmpty())
            return;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (seen.contains(canonical))
            return;
        seen << canonical;
        found.push_back(QFile::encodeName(path));
    };
    const QByteArray id = defaultBrowserId ? defaultBrowserId() : QByteArray();
    if (id.endsWith(".desktop") && !id.contains('/')) {
        for (const QString& dir : applicationDirs) {
            const QString file = QDir(dir).filePath(QString::fromUtf8(id));
            if (QFileInfo::exists(file)) {
                add(resolve(execProgram(QFile::encodeName(file))));
                break;
            }
        }
    }
    for (const QString& name : knownBrowsers())
        add(resolve(name));
    return found;
}
