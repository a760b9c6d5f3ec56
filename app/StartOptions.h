#pragma once

#include <QString>
#include <QStringList>

// The options read before anything starts (no window, no display, no
// single-instance check): --help, --version, and options Lynkor does not
// know. Qt's own options pass, and "--" ends the options.
struct StartOptions
{
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    QString refused; // the unknown option, for Refuse

    static StartOptions parse(const QStringList& arguments);
    static QString usage();
};
