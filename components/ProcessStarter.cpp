#include "ProcessStarter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <csignal>
#include <sys/wait.h>

bool ProcessStarter::running(qint64 pid) const
{
    if (pid <= 0)
        return false;
    // A detached child is reaped by Qt's helper; kill(0) says whether it lives.
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

QStringList ProcessStarter::splitArguments(const QString& text)
{
    return QProcess::splitCommand(text);
}

ProcessStarter::Result ProcessStarter::start(const QString& program, const QStringList& arguments,
                                             const QString& folder, const QString& identifier)
{
    const QString key = program + QLatin1Char('\n') + identifier;
    if (running(m_started.value(key, 0)))
        return {false, QStringLiteral("%1 is already running.").arg(program)};
    qint64 pid = 0;
    if (!QProcess::startDetached(program, arguments, folder.isEmpty() ? QDir::currentPath() : folder, &pid))
        return {false, QStringLiteral("Cannot start %1").arg(program)};
    m_started.insert(key, pid);
    return {true, {}};
}

ProcessStarter::Result ProcessStarter::openDocument(const QString& target)
{
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl(target);
    if (!url.isValid() || !QDesktopServices::openUrl(url))
        return {false, QStringLiteral("Cannot open %1").arg(target)};
    return {true, {}};
}
