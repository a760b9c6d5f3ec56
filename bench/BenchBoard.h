#pragma once

#include "Board.h"
#include "BoardState.h"
#include "FixedDesktop.h"
#include "IniStore.h"
#include "NullAutostart.h"
#include "NullHotkeys.h"
#include "NullPrompter.h"
#include "NullScreenSaver.h"
#include "ProgramFiles.h"

#include <QTemporaryDir>

// A board with services that do nothing, for benchmarks of the commands
// themselves; the caller names its data folder.
struct BenchServices
{
    IniStore store;
    ProgramFiles files{store};
    BoardState state;
    NullPrompter ui;
    FixedDesktop desktop;
    NullHotkeys hotkeys;
    NullAutostart autostart;
    NullScreenSaver screenSaver;
    Board board{files, state, ui, desktop, Platform{&hotkeys, &autostart, &screenSaver}};
};

// The same on a temporary data folder.
struct BenchBoard : BenchServices
{
    QTemporaryDir dir;
};
