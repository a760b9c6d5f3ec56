#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where each browser looks for the native messaging hosts of the user, and
// the manifest that names Lynkor's browser host and lets only Lynkor's
// extension start it.
namespace MessagingHosts {

struct Browser
{
    QString name;   // "Chromium", "Firefox", ...
    QString folder; // the user's folder of host manifests
    bool firefox = false;
};

// home: the user's home; configHome: $XDG_CONFIG_HOME ("" for ~/.config).
QList<Browser> knownBrowsers(const QString& home, const QString& configHome);
QByteArray manifest(const QString& hostPath, bool firefox);

struct Result
{
    QStringList written; // browser names
    QStringList failed;  // "name: why"
};
// Writes the manifest into every browser's folder (making the folder).
Result install(const QString& hostPath, const QString& home, const QString& configHome);

} // namespace MessagingHosts
