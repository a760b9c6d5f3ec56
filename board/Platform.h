#pragma once

class Autostart;
class HotkeyService;
class ScreenSaver;

// The platform services the board drives: app/ hands in the real ones,
// tests hand in fakes. None may be left out.
struct Platform
{
    HotkeyService* hotkeys = nullptr;
    Autostart* autostart = nullptr;
    ScreenSaver* screenSaver = nullptr;
};
