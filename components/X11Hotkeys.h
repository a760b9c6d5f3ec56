#pragma once

#include "HotkeyService.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

// Global hotkeys on X11: a key grab on the root window for each hotkey,
// repeated for the Caps Lock and Num Lock states, and a native event filter
// that turns the grabbed key presses into activated().
class X11Hotkeys : public HotkeyService, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11Hotkeys(QObject* parent = nullptr);
    ~X11Hotkeys() override;

    bool available() const override { return m_display != nullptr; }
    QString unavailableReason() const override;
    bool set(int id, const QString& key, int modifiers) override;
    void clearAll() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The X key symbol of a hotkey key text; 0 when unknown.
    static unsigned long keysymFor(const QString& key);

private:
    struct Grab
    {
        unsigned int keycode = 0;
        unsigned int modifiers = 0;
    };
    bool grab(const Grab& g);
    void ungrab(const Grab& g);

    void* m_display = nullptr; // Display*
    unsigned long m_root = 0;
    QHash<int, Grab> m_grabs;
};
