#pragma once

#include "Desktop.h"

// The desktop facts from Qt and the freedesktop conventions.
class LinuxDesktop : public Desktop
{
public:
    QString todayText() const override;
    int screenHeight() const override;
    std::vector<QByteArray> installedBrowsers() const override;
};
