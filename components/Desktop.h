#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Facts about the desktop that start-up and the title need.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // Today's date in the system's short date format.
    virtual QString todayText() const = 0;
    virtual int screenHeight() const = 0;
    // Browser programs found on this machine, full paths: the desktop's
    // default browser first, then the usual browsers on PATH.
    virtual std::vector<QByteArray> installedBrowsers() const = 0;
};
