#include "X11Hotkeys.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

int s_grabError = 0;

int recordError(Display*, XErrorEvent* e)
{
    s_grabError = e->error_code;
    return 0;
}

// Caps Lock and Num Lock must not stop a hotkey.
constexpr unsigned int kIgnored[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

Display* display(void* d)
{
    return static_cast<Display*>(d);
}

} // namespace

X11Hotkeys::X11Hotkeys(QObject* parent) : HotkeyService(parent)
{
    if (auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        m_display = x11->display();
        if (m_display) {
            m_root = DefaultRootWindow(display(m_display));
            qApp->installNativeEventFilter(this);
        }
    }
}

X11Hotkeys::~X11Hotkeys()
{
    clearAll();
    if (m_display && qApp)
        qApp->removeNativeEventFilter(this);
}

QString X11Hotkeys::unavailableReason() const
{
    if (m_display)
        return {};
    return QStringLiteral("Global hotkeys need an X11 session; this desktop session does not offer "
                          "them to programs.");
}

unsigned long X11Hotkeys::keysymFor(const QString& key)
{
    if (key.size() == 1) {
        const QChar c = key.at(0).toUpper();
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            return XK_A + (c.unicode() - 'A');
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return XK_0 + (c.unicode() - '0');
        return 0;
    }
    if (key.size() >= 2 && key.at(0) == QLatin1Char('F')) {
        bool ok = false;
        const int n = key.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12)
            return XK_F1 + (n - 1);
    }
    static const QHash<QString, unsigned long> named = {
        {QStringLiteral("Up"), XK_Up},          {QStringLiteral("Down"), XK_Down},
        {QStringLiteral("Left"), XK_Left},      {QStringLiteral("Right"), XK_Right},
        {QStringLiteral("Tab"), XK_Tab},        {QStringLiteral("Insert"), XK_Insert},
        {QStringLiteral("Delete"), XK_Delete},  {QStringLiteral("Home"), XK_Home},
        {QStringLiteral("End"), XK_End},        {QStringLiteral("Page up"), XK_Prior},
        {QStringLiteral("Page down"), XK_Next},
    };
    return named.value(key, 0);
}

bool X11Hotkeys::grab(const Grab& g)
{
    Display* d = display(m_display);
    XSync(d, False);
    s_grabError = 0;
    XErrorHandler previous = XSetErrorHandler(recordError);
    for (unsigned int extra : kIgnored)
        XGrabKey(d, static_cast<int>(g.keycode), g.modifiers | extra, m_root, True, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    XSetErrorHandler(previous);
    if (s_grabError != 0) {
        ungrab(g);
        return false;
    }
    return true;
}

void X11Hotkeys::ungrab(const Grab& g)
{
    Display* d = display(m_display);
    for (unsigned int extra : kIgnored)
        XUngrabKey(d, static_cast<int>(g.keycode), g.modifiers | extra, m_root);
    XFlush(d);
}

bool X11Hotkeys::set(int id, const QString& key, int modifiers)
{
    if (!m_display)
        return false;
    if (m_grabs.contains(id))
        ungrab(m_grabs.take(id));
    if (key.isEmpty())
        return true;
    const unsigned long sym = keysymFor(key);
    if (sym == 0)
        return false;
    Grab g;
    g.keycode = XKeysymToKeycode(display(m_display), sym);
    if (g.keycode == 0)
        return false;
    if (modifiers & kShift)
        g.modifiers |= ShiftMask;
    if (modifiers & kAlt)
        g.modifiers |= Mod1Mask;
    if (modifiers & kCtrl)
        g.modifiers |= ControlMask;
    if (!grab(g))
        return false;
    m_grabs.insert(id, g);
    return true;
}

void X11Hotkeys::clearAll()
{
    if (!m_display)
        return;
    for (const Grab& g : std::as_const(m_grabs))
        ungrab(g);
    m_grabs.clear();
}

bool X11Hotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    const unsigned int state = key->state & (ShiftMask | ControlMask | Mod1Mask);
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (it->keycode == key->detail && it->modifiers == state) {
            const int id = it.key();
            // Act after the event has been handled, never inside the filter.
            QMetaObject::invokeMethod(
                this, [this, id] { emit activated(id); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}
