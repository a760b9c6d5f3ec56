#pragma once

#include "Desktop.h"

// A desktop whose facts never change, so no run depends on the machine.
class FixedDesktop : public Desktop
{
public:
    QString todayText() const override { return QStringLiteral("12/10/26"); }
    int screenHeight() const override { return 768; }
    std::vector<QByteArray> installedBrowsers() const override { return {}; }
};
