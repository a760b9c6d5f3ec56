#include "XdgScreenSaver.h"

#include "HelperProcess.h"

void XdgScreenSaver::activate(QObject* context, Done done)
{
    HelperProcess::run(m_command, {QStringLiteral("activate")}, context, std::move(done));
}
