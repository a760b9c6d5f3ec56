#include "BoardFixture.h"

#include "IniFiles32.h"
#include "PathNames.h"

#include <QFile>

BoardFixture::BoardFixture()
{
    files.setProgramDir(PathNames::fromQt(dir.path()));
    board = std::make_unique<Board>(files, state, ui, desktop, Platform{&hotkeys, &autostart, &screenSaver});
}

QByteArray BoardFixture::programDir() const
{
    return PathNames::fromQt(dir.path()) + '/';
}

void BoardFixture::writeFile(const QByteArray& name, const QByteArray& text) const
{
    QFile f(PathNames::toQt(path(name)));
    f.open(QIODevice::WriteOnly);
    f.write(text);
}

QByteArray BoardFixture::readFile(const QByteArray& name) const
{
    QFile f(PathNames::toQt(path(name)));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void BoardFixture::start(const QStringList& arguments)
{
    board->FormCreate(arguments);
}

QByteArray BoardFixture::key(const QByteArray& file, const QByteArray& section, const QByteArray& key)
{
    TIniFile32 ini(store, path(file));
    return ini.ReadString(section, key, {});
}
