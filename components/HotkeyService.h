#pragma once

#include <QObject>
#include <QString>

// Global hotkeys: a key with modifiers that works whichever window is active.
class HotkeyService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Modifier bits.
    static constexpr int kShift = 1;
    static constexpr int kAlt = 2;
    static constexpr int kCtrl = 4;

    virtual bool available() const = 0;
    // Why hotkeys cannot work here ("" when they can).
    virtual QString unavailableReason() const = 0;
    // Registers hotkey id for key ("A", "F10", "Page up", ...) with modifier
    // bits; an empty key clears it. False when the key cannot be had (another
    // program holds it, or hotkeys are unavailable).
    virtual bool set(int id, const QString& key, int modifiers) = 0;
    virtual void clearAll() = 0;

signals:
    void activated(int id);
};
