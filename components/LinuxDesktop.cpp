#include "LinuxDesktop.h"

#include "BrowserDiscovery.h"

#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

QString LinuxDesktop::todayText() const
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

int LinuxDesktop::screenHeight() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 768;
}

std::vector<QByteArray> LinuxDesktop::installedBrowsers() const
{
    return BrowserDiscovery().find();
}
