#pragma once

#include "BoardFixture.h"
#include "Exchange.h"
#include "FakeClipboard.h"
#include "Launcher.h"
#include "RecordingMailTransport.h"
#include "RecordingStarter.h"
#include "ScriptedConversation.h"
#include "ScriptedHttp.h"

// A board with its launching layer on a scripted browser link, and its
// exchange commands on a clipboard and mail transport that only record and
// HTTP answered from a table.
struct LaunchFixture : BoardFixture
{
    ScriptedConversation conversation;
    RecordingStarter starter;
    Launcher launcher{*board, conversation, starter};
    FakeClipboard clipboard;
    RecordingMailTransport mail;
    ScriptedHttp http;
    Exchange exchange{*board, clipboard, mail, http};

    LaunchFixture() { board->setLauncher(&launcher); }
};
