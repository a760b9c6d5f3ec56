#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// Runs a desktop helper program (xdg-open, xdg-screensaver) and reports,
// later on the user-interface thread, whether it did its job: a helper that
// is missing, fails to start or ends with an error is reported with why. A
// helper still running when Lynkor ends is left to finish on its own.
namespace HelperProcess {

using Done = std::function<void(bool ok, const QString& why)>;
void run(const QString& program, const QStringList& arguments, QObject* context, Done done);

} // namespace HelperProcess
