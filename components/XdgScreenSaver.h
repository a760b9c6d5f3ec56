#pragma once

#include "ScreenSaver.h"

#include <QString>

// xdg-screensaver activate.
class XdgScreenSaver : public ScreenSaver
{
public:
    explicit XdgScreenSaver(QString command = QStringLiteral("xdg-screensaver")) : m_command(std::move(command)) {}
    void activate(QObject* context, Done done) override;

private:
    QString m_command;
};
