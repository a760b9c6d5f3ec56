#pragma once

#include "Desktop.h"

// Fixed desktop facts for tests.
class FakeDesktop : public Desktop
{
public:
    QString today = QStringLiteral("12/10/26");
    int height = 768;
    std::vector<QByteArray> browsers;

    QString todayText() const override { return today; }
    int screenHeight() const override { return height; }
    std::vector<QByteArray> installedBrowsers() const override { return browsers; }
};
