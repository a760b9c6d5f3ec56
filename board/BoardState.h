#pragma once

#include "ButtonFace.h"
#include "MenuItem.h"
#include "MenuItemState.h"
#include "RemovableVolumes.h"
#include "SettingsFile.h"
#include "TabStyle.h"
#include "WindowGeometry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// Everything the main window shows, in plain data with change signals. The
// widgets read it and forward events; they hold no behaviour of their own.
class BoardState : public QObject
{
    Q_OBJECT
public:
    BoardState();

    // Page tabs.
    const std::vector<QByteArray>& tabs() const { return m_tabs; }
    int tabIndex() const { return m_tabIndex; }
    QByteArray currentPage() const;
    void setTabs(std::vector<QByteArray> tabs, int index);
    void setTabIndex(int index);
    const TabStyle& tabStyle() const { return m_tabStyle; }
    void setTabStyle(const TabStyle& style);
    bool tabStripVisible() const { return m_tabStripVisible; }

    // Bookmark buttons of the current page.
    const std::vector<ButtonFace>& buttons() const { return m_buttons; }
    int buttonIndex(const QByteArray& name) const;
    // New set of buttons (created or laid out again).
    void setButtons(std::vector<ButtonFace> buttons);
    // Changes one button's face and tells the window, in one call. An index
    // that names no button changes nothing and returns false.
    template <class Change> bool updateFace(int index, Change&& change)
    {
        if (index < 0 || index >= static_cast<int>(m_buttons.size()))
            return false;
        change(m_buttons[index]);
        emit faceChanged(index);
        return true;
    }
    // The same for the button of a slot of a page, which has a face only
    // while that page is shown.
    template <class Change> bool updateShownFace(const QByteArray& page, const QByteArray& buttonName, Change&& change)
    {
        return page == currentPage() && updateFace(buttonIndex(buttonName), std::forward<Change>(change));
    }
    // Changes all faces of the page; the window is told even when the change
    // stops half-way with an exception.
    template <class Change> void updateFaces(Change&& change)
    {
        struct Notify
        {
            BoardState* state;
            ~Notify() { emit state->facesChanged(); }
        } notify{this};
        change(m_buttons);
    }
    QByteArray buttonFontName() const { return m_buttonFontName; }
    int buttonFontSize() const { return m_buttonFontSize; }
    void setButtonFont(const QByteArray& name, int size);
    int panelHeight() const { return m_panelHeight; }
    void setPanelHeight(int height);
    // The default bookmark icon: image IconG of the first list, or an image
    // of a file chosen for it.
    const IconRef& defaultIcon() const { return m_defaultIcon; }
    void setDefaultIcon(const IconRef& icon);

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // The window: requested geometry, visibility and stacking.
    const WindowGeometry& geometry() const { return m_geometry; }
    void requestGeometry(const WindowGeometry& g);
    void requestSize(int width, int height);
    // The window reports where it is without asking for a change.
    void noteGeometry(const WindowGeometry& g) { m_geometry = g; }
    bool minimized() const { return m_minimized; }
    void noteMinimized(bool minimized) { m_minimized = minimized; }
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    // The program is to end (start-up found nothing it may open).
    void requestQuit() { emit quitRequested(); }

    // Menu items and tool-bar controls with a state of their own.
    MenuItemState item(MenuItem item) const { return m_items[static_cast<int>(item)]; }
    bool checked(MenuItem item) const { return m_items[static_cast<int>(item)].checked; }
    void setChecked(MenuItem item, bool checked);
    void setEnabled(MenuItem item, bool enabled);
    void setItemVisible(MenuItem item, bool visible);

    // A locked (password-protected) file hides the tab strip, the tool bar and
    // the menus and shows the unlock buttons instead.
    bool locked() const { return m_locked; }
    void setLocked(bool locked);

    bool online() const { return m_online; }
    QString onlineHint() const;
    void setOnline(bool online);

    // Window requests the window carries out: Show restores, raises and
    // activates it (visibility itself is visible()).
    enum class WindowRequest { Show, Minimize };
    void requestWindow(WindowRequest request) { emit windowRequested(request); }
    bool alwaysOnTop() const { return m_alwaysOnTop; }
    void setAlwaysOnTop(bool onTop);

    // The notification-area icon.
    bool trayAvailable() const { return m_trayAvailable; }
    void setTrayAvailable(bool available) { m_trayAvailable = available; }
    bool trayIconVisible() const { return m_trayVisible; }
    void setTrayIconVisible(bool visible);
    QString trayTip() const { return m_trayTip; }
    void setTrayTip(const QString& tip);
    // The tray menu opens at the window's top-left corner.
    void requestTrayMenu() { emit trayMenuRequested(); }

    // Recent bookmarks (tray menu) and recent files (File menu), as shown.
    const QList<QByteArray>& recentBookmarks() const { return m_recentBookmarks; }
    const QList<QByteArray>& recentFiles() const { return m_recentFiles; }
    void setRecent(const QList<QByteArray>& bookmarks, const QList<QByteArray>& files);

    // The removable volumes the program can be copied to, and the one chosen.
    const QList<RemovableVolumes::Volume>& volumes() const { return m_volumes; }
    const QByteArray& chosenVolume() const { return m_chosenVolume; }
    void setVolumes(const QList<RemovableVolumes::Volume>& volumes, const QByteArray& chosen);
    // The entry of the last launched bookmark, checked in the tray menu.
    const QByteArray& currentRecent() const { return m_currentRecent; }
    void setCurrentRecent(const QByteArray& entry);

    // The browser list: full paths in menu order, and the 1-based selection.
    const QList<QByteArray>& browsers() const { return m_browsers; }
    int browserIndex() const { return m_browserIndex; }
    void setBrowsers(const QList<QByteArray>& paths, int selected);

    // The manual address box's list.
    const QList<QByteArray>& manualUrls() const { return m_manualUrls; }
    // The browsers connected through Lynkor's extension, by name.
    const QStringList& connectedBrowsers() const { return m_connectedBrowsers; }
    void setConnectedBrowsers(const QStringList& names);
    // Why no browser can connect through the extension ("" while Lynkor
    // listens for them).
    const QString& browserLinkOff() const { return m_browserLinkOff; }
    void setBrowserLinkOff(const QString& why);
    void setManualUrls(const QList<QByteArray>& urls);

signals:
    void quitRequested();
    void tabsChanged();
    void tabIndexChanged();
    void tabStyleChanged();
    void buttonsRebuilt();
    void faceChanged(int index);
    void facesChanged();
    void buttonFontChanged();
    void panelHeightChanged();
    void titleChanged();
    void geometryRequested();
    void visibleChanged();
    void itemsChanged();
    void lockedChanged();
    void onlineChanged();
    void defaultIconChanged();
    void windowRequested(BoardState::WindowRequest request);
    void alwaysOnTopChanged();
    void trayChanged();
    void trayMenuRequested();
    void recentChanged();
    void browsersChanged();
    void manualUrlsChanged();
    void connectedBrowsersChanged();
    void volumesChanged();

private:
    std::vector<QByteArray> m_tabs;
    int m_tabIndex = -1;
    TabStyle m_tabStyle;
    bool m_tabStripVisible = true;
    std::vector<ButtonFace> m_buttons;
    QByteArray m_buttonFontName = SettingsFile::ButtonFontName.defaultText();
    int m_buttonFontSize = SettingsFile::ButtonFontSize.defaultNumber();
    int m_panelHeight = 380;
    IconRef m_defaultIcon{IconRef::Internal, 120, {}};
    QString m_title;
    WindowGeometry m_geometry;
    bool m_minimized = false;
    bool m_visible = false;
    std::array<MenuItemState, MenuItems::kCount> m_items;
    bool m_locked = false;
    bool m_online = false;
    bool m_alwaysOnTop = false;
    bool m_trayAvailable = false;
    bool m_trayVisible = false;
    QString m_trayTip = QStringLiteral("Lynkor");
    QList<QByteArray> m_recentBookmarks;
    QList<QByteArray> m_recentFiles;
    QList<RemovableVolumes::Volume> m_volumes;
    QByteArray m_chosenVolume;
    QByteArray m_currentRecent;
    QList<QByteArray> m_browsers;
    int m_browserIndex = 0;
    QList<QByteArray> m_manualUrls;
    QStringList m_connectedBrowsers;
    QString m_browserLinkOff;
};
