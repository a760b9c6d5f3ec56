#include "WindowModes.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkEditor.h"
#include "BookmarkFile.h"
#include "FileCommands.h"
#include "HotKeys.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "NotesText.h"
#include "PageDisplay.h"
#include "Passwords.h"
#include "SettingsFile.h"

using namespace SettingsFile;

namespace {

const QString kNoTray =
    QStringLiteral("This desktop has no notification area (system tray), so Lynkor cannot minimize to it.");
const QString kNoWayBack =
    QStringLiteral("Stealth mode needs a working hotkey to show Lynkor again: enable hotkey \"Show Lynkor\" "
                   "under Setup, HotKeys.");

} // namespace

QByteArray WindowModes::storedValue(std::optional<MenuItem> item)
{
    for (const Mode& m : kModes)
        if (item == m.item)
            return m.stored;
    return No;
}

void WindowModes::setMode(std::optional<MenuItem> item)
{
    BoardState& state = m_board.state();
    for (const Mode& m : kModes)
        state.setChecked(m.item, item == m.item);
}

void WindowModes::setMini(bool on)
{
    BoardState& state = m_board.state();
    state.requestSize(state.geometry().width, on ? kMiniHeight : kNormalHeight);
    state.setAlwaysOnTop(on);
}

void WindowModes::TabSet1MouseDown()
{
    if (m_board.state().checked(MenuItem::MMini))
        setMini(false);
}

void WindowModes::hideWindow()
{
    m_board.state().setVisible(false);
}

void WindowModes::MStartSmallClick(MenuItem item)
{
    Board& b = m_board;
    BoardState& state = b.state();
    const bool wasChecked = state.checked(item);
    const std::optional<MenuItem> toggled = wasChecked ? std::nullopt : std::optional<MenuItem>(item);
    if (item == MenuItem::MMini) {
        setMode(toggled);
        if (!wasChecked)
            setMini(true);
    } else if (item == MenuItem::MStartSmall || item == MenuItem::MStartBar) {
        // Without a notification area a window minimized to it could never
        // be found again.
        if (item == MenuItem::MStartSmall && !wasChecked && !state.trayAvailable()) {
            b.ui().message(kNoTray, Prompter::Type::Information, Prompter::Buttons::Ok);
            return;
        }
        setMode(toggled);
    } else if (item == MenuItem::MHide) {
        if (b.files().ReadFromIniS(kHotKey, "D2", {}) == Off)
            return;
        setMode(toggled);
        if (!wasChecked) {
            const QByteArray text =
                b.files().ReadFromIniS(kHotKey, "Shift2", {}) + " " + b.files().ReadFromIniS(kHotKey, "Key2", {});
            if (text == " ") {
                b.ui().message(QStringLiteral("Please configure HotKeys "), Prompter::Type::Information,
                               Prompter::Buttons::Ok);
                state.setChecked(MenuItem::MHide, false);
            } else if (!m_showHotKeyWorks) {
                QString why = b.hotkeys().unavailableReason();
                b.ui().message(why.isEmpty() ? kNoWayBack : kNoWayBack + QLatin1Char('\n') + why,
                               Prompter::Type::Information, Prompter::Buttons::Ok);
                state.setChecked(MenuItem::MHide, false);
            } else {
                b.ui().message(QStringLiteral("Your HotKey for unhiding the program is: ") + AnsiText::toUi(text),
                               Prompter::Type::Information, Prompter::Buttons::Ok);
            }
        }
    }
    if (!state.checked(MenuItem::MMini))
        setMini(false);
    QByteArray value = No;
    for (const Mode& m : kModes)
        if (state.checked(m.item))
            value = m.stored;
    b.vars().TrayMode = value;
    b.files().write(Tray, value);
}

void WindowModes::applyStartMode()
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray mode = b.vars().TrayMode;
    std::optional<MenuItem> item;
    for (const Mode& m : kModes)
        if (mode == m.stored)
            item = m.item;
    setMode(item);
    bool visible = true;
    if (item == MenuItem::MStartSmall) {
        if (state.trayAvailable()) {
            state.setTrayIconVisible(true);
            visible = false;
        } else if (!m_trayMissingSaid) {
            // Say it once; the window shows instead.
            m_trayMissingSaid = true;
            b.ui().message(kNoTray, Prompter::Type::Information, Prompter::Buttons::Ok);
        }
    } else if (item == MenuItem::MMini) {
        visible = false; // shown once mini mode is in place
    }
    state.setVisible(visible);
}

void WindowModes::applyMiniMode()
{
    BoardState& state = m_board.state();
    if (!state.checked(MenuItem::MMini))
        return;
    setMini(true);
    state.setVisible(true);
    state.requestWindow(BoardState::WindowRequest::Show);
}

void WindowModes::AfterLaunch(const QByteArray& notes, bool modes)
{
    Board& b = m_board;
    BoardState& state = b.state();
    if (!modes) {
        if (state.checked(MenuItem::MMini))
            setMini(true);
        return;
    }
    if (state.checked(MenuItem::MHide) && m_showHotKeyWorks)
        hideWindow();
    if (state.checked(MenuItem::MStartSmall) && state.trayAvailable()) {
        hideWindow();
        state.setTrayIconVisible(true);
        state.setTrayTip(notes.isEmpty() ? QStringLiteral("Lynkor") : AnsiText::toUi(NotesText::AddReturn(notes)));
    }
    if (state.checked(MenuItem::MStartBar))
        state.requestWindow(BoardState::WindowRequest::Minimize);
    if (state.checked(MenuItem::MMini))
        setMini(true);
}

void WindowModes::AppMin()
{
    BoardState& state = m_board.state();
    if (state.checked(MenuItem::MStartSmall) && state.trayAvailable()) {
        hideWindow();
        state.setTrayIconVisible(true);
    }
    if (state.checked(MenuItem::MMini) && state.geometry().height != kMiniHeight) {
        setMini(true);
        state.requestWindow(BoardState::WindowRequest::Show);
    }
}

void WindowModes::TaskIconClick()
{
    BoardState& state = m_board.state();
    state.setTrayIconVisible(false);
    state.setTrayTip(QStringLiteral("Lynkor"));
    state.setVisible(true);
    state.requestWindow(BoardState::WindowRequest::Show);
}

void WindowModes::HotKeyActivated(int id)
{
    switch (id) {
    case HotKeys::HideLynkor:
        // Hiding with no way back would lose the window.
        if (m_showHotKeyWorks)
            hideWindow();
        else if (m_board.state().trayAvailable()) {
            hideWindow();
            m_board.state().setTrayIconVisible(true);
        }
        break;
    case HotKeys::ShowLynkor:
        TaskIconClick();
        break;
    case HotKeys::AddBookmark:
        m_board.editor().AddBookmarkClick();
        break;
    case HotKeys::SearchNet:
        if (NetSearcher* searcher = m_board.netSearcher())
            searcher->SearchNetButtonClick();
        break;
    case HotKeys::OpenFile:
        m_board.fileCommands().MFOpenClick();
        break;
    case HotKeys::WebImport:
        if (LinkImporter* importer = m_board.linkImporter())
            importer->ImportWebPage();
        break;
    default:
        break;
    }
}

void WindowModes::SetHotKeys()
{
    Board& b = m_board;
    HotKeys keys;
    {
        TIniFile32 settings(b.store(), b.files().settingsPath());
        keys.read(settings);
    }
    QStringList failed;
    for (int n = 0; n < HotKeys::kCount; ++n) {
        const HotKeys::Entry& e = keys.entries[n];
        bool works = false;
        if (e.enabled) {
            works = b.hotkeys().set(n, QString::fromLatin1(e.key), e.modifiers);
            if (!works && b.hotkeys().available())
                failed << (QString::fromLatin1(HotKeys::StateToStr(e.modifiers)) + QLatin1Char(' ') +
                           QString::fromLatin1(e.key))
                              .trimmed();
        } else {
            b.hotkeys().set(n, QString(), 0);
        }
        if (n == HotKeys::ShowLynkor) {
            m_showHotKeyWorks = works;
            if (!works)
                b.state().setChecked(MenuItem::MHide, false);
        }
    }
    m_failedHotKeys = failed;
}

void WindowModes::MHotkeysClick()
{
    Board& b = m_board;
    const QByteArray path = b.files().settingsPath();
    HotKeys keys;
    {
        TIniFile32 settings(b.store(), path);
        keys.read(settings);
    }
    if (!b.ui().hotKeys(keys, b.hotkeys().unavailableReason()))
        return;
    {
        IniBatch batch(b.store(), path);
        TIniFile32 settings(b.store(), path);
        keys.write(settings);
        batch.commit();
    }
    SetHotKeys();
    if (!m_failedHotKeys.isEmpty())
        b.ui().message(QStringLiteral("These hotkeys are used by another program and do not work: ") +
                           m_failedHotKeys.join(QStringLiteral(", ")),
                       Prompter::Type::Warning, Prompter::Buttons::Ok);
}

void WindowModes::applyAutoRun(bool on)
{
    m_board.state().setChecked(MenuItem::MAutoRun, on);
    if (on)
        m_board.autostart().setEnabled(true);
}

void WindowModes::MAutoRunClick()
{
    Board& b = m_board;
    const bool on = !b.state().checked(MenuItem::MAutoRun);
    if (!b.autostart().setEnabled(on)) {
        b.ui().message(QStringLiteral("Lynkor could not change its start entry of the desktop session."),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
        return;
    }
    b.state().setChecked(MenuItem::MAutoRun, on);
    b.files().write(AutoRunLoad, on ? Yes : No);
}

void WindowModes::ScreenSaveClick()
{
    Board& b = m_board;
    b.screenSaver().activate(b.context(), [&b](bool ok, const QString& why) {
        if (!ok)
            b.deliver([&] {
                b.ui().message(QStringLiteral("The screen saver could not be started.\n") + why, Prompter::Type::Error,
                               Prompter::Buttons::Ok);
            });
    });
}

void WindowModes::MMRUClick()
{
    Board& b = m_board;
    const bool on = !b.state().checked(MenuItem::MMRU);
    b.state().setChecked(MenuItem::MMRU, on);
    b.files().WriteToIniSLYK(BookmarkFile::kMRUX, BookmarkFile::kTrack, onOff(on));
    b.showRecent();
}

QByteArray WindowModes::recentEntry(const QByteArray& title, const QByteArray& page, const QByteArray& slotKey)
{
    return title + "  |" + page + "::" + slotKey;
}

QByteArray WindowModes::recentTitle(const QByteArray& title, const QByteArray& url)
{
    if (!title.isEmpty())
        return title;
    // A scrambled address is no name to show.
    return url.isEmpty() || BookmarkFile::IsProtectedUrl(url) ? QByteArray("(untitled)") : url;
}

void WindowModes::addRecentBookmark(const QByteArray& entry)
{
    Board& b = m_board;
    if (!b.state().checked(MenuItem::MMRU))
        return;
    b.MruList1().add(entry);
    b.MruList1().save(b.store());
    b.showRecent();
}

void WindowModes::fileOpened(const QByteArray& path)
{
    Board& b = m_board;
    b.MruList1().setFile(path);
    b.MruList1().load(b.store());
    b.MruList2().setFile(b.files().recentFilesPath());
    b.MruList2().load(b.store());
    b.MruList2().add(path);
    b.MruList2().save(b.store());
    b.showRecent();
}

void WindowModes::MruList2MruClick(const QByteArray& path)
{
    Board& b = m_board;
    // An entry of an old installation (C:\...) would be made in whatever
    // folder Lynkor was started from.
    if (!path.startsWith('/')) {
        b.ui().message(QStringLiteral("The bookmark file \"%1\" was not found.").arg(AnsiText::toUi(path)),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    b.fileCommands().switchTo(path);
}
