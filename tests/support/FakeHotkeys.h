#pragma once

#include "HotkeyService.h"

#include <QMap>
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
