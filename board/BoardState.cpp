#include "BoardState.h"

QByteArray BoardState::currentPage() const
{
    if (m_tabIndex < 0 || m_tabIndex >= static_cast<int>(m_tabs.size()))
        return {};
    return m_tabs[m_tabIndex];
}

BoardState::BoardState()
{
    // Shown only while a page or bookmarks are carried.
    m_items[static_cast<int>(MenuItem::MPutPage)].visible = false;
    m_items[static_cast<int>(MenuItem::MPutBookmarks)].visible = false;
}

void BoardState::setTabs(std::vector<QByteArray> tabs, int index)
{
    m_tabs = std::move(tabs);
    m_tabIndex = index;
    emit tabsChanged();
    emit tabIndexChanged();
}

void BoardState::setTabIndex(int index)
{
    if (m_tabIndex == index)
        return;
    m_tabIndex = index;
    emit tabIndexChanged();
}

void BoardState::setTabStyle(const TabStyle& style)
{
    if (m_tabStyle == style)
        return;
    m_tabStyle = style;
    emit tabStyleChanged();
}

int BoardState::buttonIndex(const QByteArray& name) const
{
    // Buttons are created in order "B01", "B02", ...
    int n = name.mid(1).toInt();
    if (n >= 1 && n <= static_cast<int>(m_buttons.size()) && m_buttons[n - 1].name == name)
        return n - 1;
    return -1;
}

void BoardState::setButtons(std::vector<ButtonFace> buttons)
{
    m_buttons = std::move(buttons);
    emit buttonsRebuilt();
}

void BoardState::setButtonFont(const QByteArray& name, int size)
{
    if (m_buttonFontName == name && m_buttonFontSize == size)
        return;
    m_buttonFontName = name;
    m_buttonFontSize = size;
    emit buttonFontChanged();
}

void BoardState::setPanelHeight(int height)
{
    if (m_panelHeight == height)
        return;
    m_panelHeight = height;
    emit panelHeightChanged();
}

void BoardState::setDefaultIcon(const IconRef& icon)
{
    if (m_defaultIcon == icon)
        return;
    m_defaultIcon = icon;
    emit defaultIconChanged();
}

void BoardState::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged();
}

void BoardState::requestGeometry(const WindowGeometry& g)
{
    m_geometry = g;
    emit geometryRequested();
}

void BoardState::requestSize(int width, int height)
{
    WindowGeometry g = m_geometry;
    g.width = width;
    g.height = height;
    requestGeometry(g);
}

void BoardState::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit visibleChanged();
}

void BoardState::setChecked(MenuItem item, bool checked)
{
    MenuItemState& s = m_items[static_cast<int>(item)];
    if (s.checked == checked)
        return;
    s.checked = checked;
    emit itemsChanged();
}

void BoardState::setEnabled(MenuItem item, bool enabled)
{
    MenuItemState& s = m_items[static_cast<int>(item)];
    if (s.enabled == enabled)
        return;
    s.enabled = enabled;
    emit itemsChanged();
}

void BoardState::setItemVisible(MenuItem item, bool visible)
{
    MenuItemState& s = m_items[static_cast<int>(item)];
    if (s.visible == visible)
        return;
    s.visible = visible;
    emit itemsChanged();
}

void BoardState::setLocked(bool locked)
{
    if (m_locked == locked)
        return;
    m_locked = locked;
    m_tabStripVisible = !locked;
    emit lockedChanged();
}

QString BoardState::onlineHint() const
{
    return m_online ? QStringLiteral("Dialup = OnLine") : QStringLiteral("Dialup = OffLine");
}

void BoardState::setOnline(bool online)
{
    if (m_online == online)
        return;
    m_online = online;
    emit onlineChanged();
}

void BoardState::setAlwaysOnTop(bool onTop)
{
    if (m_alwaysOnTop == onTop)
        return;
    m_alwaysOnTop = onTop;
    emit alwaysOnTopChanged();
}

void BoardState::setTrayIconVisible(bool visible)
{
    if (m_trayVisible == visible)
        return;
    m_trayVisible = visible;
    emit trayChanged();
}

void BoardState::setTrayTip(const QString& tip)
{
    if (m_trayTip == tip)
        return;
    m_trayTip = tip;
    emit trayChanged();
}

void BoardState::setRecent(const QList<QByteArray>& bookmarks, const QList<QByteArray>& files)
{
    if (m_recentBookmarks == bookmarks && m_recentFiles == files)
        return;
    m_recentBookmarks = bookmarks;
    m_recentFiles = files;
    emit recentChanged();
}

void BoardState::setCurrentRecent(const QByteArray& entry)
{
    if (m_currentRecent == entry)
        return;
    m_currentRecent = entry;
    emit recentChanged();
}

void BoardState::setBrowsers(const QList<QByteArray>& paths, int selected)
{
    m_browsers = paths;
    m_browserIndex = selected;
    emit browsersChanged();
}

void BoardState::setManualUrls(const QList<QByteArray>& urls)
{
    m_manualUrls = urls;
    emit manualUrlsChanged();
}

void BoardState::setConnectedBrowsers(const QStringList& names)
{
    if (names == m_connectedBrowsers)
        return;
    m_connectedBrowsers = names;
    emit connectedBrowsersChanged();
}

void BoardState::setBrowserLinkOff(const QString& why)
{
    if (why == m_browserLinkOff)
        return;
    m_browserLinkOff = why;
    emit connectedBrowsersChanged();
}

void BoardState::setVolumes(const QList<RemovableVolumes::Volume>& volumes, const QByteArray& chosen)
{
    if (m_volumes == volumes && m_chosenVolume == chosen)
        return;
    m_volumes = volumes;
    m_chosenVolume = chosen;
    emit volumesChanged();
}
