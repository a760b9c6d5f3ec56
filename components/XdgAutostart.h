#pragma once

#include "Autostart.h"

#include <QByteArray>
#include <QString>

// The freedesktop autostart entry ~/.config/autostart/lynkor.desktop.
class XdgAutostart : public Autostart
{
public:
    // folder: the autostart folder; program: what the entry starts.
    XdgAutostart(QString folder, QString program, QByteArray lynkorHome = {});
    static XdgAutostart forThisProgram();

    bool setEnabled(bool enabled) override;
    bool isEnabled() const override;
    QString entryPath() const;

private:
    QString m_folder;
    QString m_program;
    QByteArray m_home;
};
