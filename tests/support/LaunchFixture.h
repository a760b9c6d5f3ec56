#pragma once

#include "BoardFixture.h"
#include "Launcher.h"
#include "RecordingStarter.h"
#include "ScriptedConversation.h"

// A board with its launching layer on a scripted browser link.
struct LaunchFixture : BoardFixture
{
    ScriptedConversation conversation;
    RecordingStarter starter;
    Launcher launcher{*board, conversation, starter};

    LaunchFixture() { board->setLauncher(&launcher); }
};
