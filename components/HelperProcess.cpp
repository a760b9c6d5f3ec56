#include "HelperProcess.h"

#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace HelperProcess {

void run(const QString& program, const QStringList& arguments, QObject* context, Done done)
{
    const QPointer<QObject> target(context);
    auto answer = [target, done](bool ok, const QString& why) {
        if (target)
            done(ok, why);
    };
    // Not owned by anyone: deleting a running QProcess would kill the program
    // the helper opened the document with.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(process, &QProcess::errorOccurred, process, [process, program, answer](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        process->deleteLater();
        answer(false, QStringLiteral("%1 could not be started (is it installed?).").arg(program));
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, program, answer](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status == QProcess::NormalExit && code == 0) {
                             answer(true, {});
                             return;
                         }
                         QString why = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                         if (why.isEmpty())
                             why = status == QProcess::NormalExit
                                       ? QStringLiteral("%1 ended with exit code %2.").arg(program).arg(code)
                                       : QStringLiteral("%1 crashed.").arg(program);
                         answer(false, why);
                     });
    process->start();
}

} // namespace HelperProcess
