#pragma once

#include "DesktopServices.h"
#include "HotkeyService.h"

#include <QMap>
#include <QTimer>
#include <QStringList>

// Hotkeys that record what was registered.
class FakeHotkeys : public HotkeyService
{
public:
    bool isAvailable = true;
    QStringList taken; // "F10" etc.: keys another program holds
    struct Reg
    {
        QString key;
        int modifiers = 0;
    };
    QMap<int, Reg> registered;

    bool available() const override { return isAvailable; }
    QString unavailableReason() const override
    {
        return isAvailable ? QString() : QStringLiteral("Global hotkeys need an X11 session.");
    }
    bool set(int id, const QString& key, int modifiers) override
    {
        registered.remove(id);
        if (key.isEmpty())
            return true;
        if (!isAvailable || taken.contains(key))
            return false;
        registered.insert(id, {key, modifiers});
        return true;
    }
    void clearAll() override { registered.clear(); }
    void press(int id) { emit activated(id); }
};

class FakeAutostart : public Autostart
{
public:
    bool enabled = false;
    bool fails = false;
    int calls = 0;
    bool setEnabled(bool on) override
    {
        ++calls;
        if (fails)
            return false;
        enabled = on;
        return true;
    }
    bool isEnabled() const override { return enabled; }
};

class FakeScreenSaver : public ScreenSaver
{
public:
    int activations = 0;
    bool works = true;
    void activate(QObject* context, Done done) override
    {
        ++activations;
        const bool ok = works;
        QTimer::singleShot(0, context, [done, ok] {
            done(ok, ok ? QString() : QStringLiteral("No screen saver is running."));
        });
    }
};
