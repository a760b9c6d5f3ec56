#pragma once

#include "Board.h"
#include "BoardState.h"
#include "FakeAutostart.h"
#include "FakeDesktop.h"
#include "FakeHotkeys.h"
#include "FakeScreenSaver.h"
#include "IniStore.h"
#include "ProgramFiles.h"
#include "ScriptedPrompter.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

// A board on a fresh data folder, driven headless with scripted answers.
struct BoardFixture
{
    QTemporaryDir dir;
    IniStore store;
    ProgramFiles files{store};
    BoardState state;
    ScriptedPrompter ui;
    FakeDesktop desktop;
    FakeHotkeys hotkeys;
    FakeAutostart autostart;
    FakeScreenSaver screenSaver;
    std::unique_ptr<Board> board;

    BoardFixture();
    QByteArray programDir() const;
    QByteArray path(const QByteArray& name) const { return programDir() + name; }
    // Writes a file of the data folder; lines are joined with CR LF.
    void writeFile(const QByteArray& name, const QByteArray& text) const;
    QByteArray readFile(const QByteArray& name) const;
    // Runs start-up with these command-line arguments.
    void start(const QStringList& arguments = {});
    // Reads one key of a file of the data folder.
    QByteArray key(const QByteArray& file, const QByteArray& section, const QByteArray& key);
};
