#include "ProcessStarter.h"

#include "HelperProcess.h"

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
    if (!identifier.isEmpty() && running(m_started.value(key, 0)))
        return {false, QStringLiteral("%1 is already running.").arg(program)};
    qint64 pid = 0;
    if (!QProcess::startDetached(program, arguments, folder.isEmpty() ? QDir::currentPath() : folder, &pid))
        return {false, QStringLiteral("Cannot start %1").arg(program)};
    if (!identifier.isEmpty())
        m_started.insert(key, pid);
    return {true, {}};
}

void ProcessStarter::openDocument(const QString& target, QObject* context, Opened done)
{
    // An existing file goes as a file address, so that no name can be taken
    // for one of the opener's options.
    const QString what =
        QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()).toString() : target;
    HelperProcess::run(QStringLiteral("xdg-open"), {what}, context, [target, done](bool ok, const QString& why) {
        done(ok ? Result{true, {}} : Result{false, QStringLiteral("Cannot open %1\n%2").arg(target, why)});
    });
}
