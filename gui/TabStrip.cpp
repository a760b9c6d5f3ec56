#include "TabStrip.h"

#include "AnsiText.h"
#include "BoardState.h"
#include "WinColor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("TabSet1"));
    setAccessibleName(QStringLiteral("Pages"));
    setShape(QTabBar::RoundedSouth);
    setUsesScrollButtons(true);
    setExpanding(false);
    setDrawBase(true);
    setElideMode(Qt::ElideNone);
    setFocusPolicy(Qt::NoFocus);
    // A change that comes any other way than from the board (the
    // accessibility interface's press on a tab) is only a request: the board
    // decides (a protected page asks for its password) and the strip follows.
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (m_following)
            return;
        setCurrent(m_boardIndex);
        if (index >= 0 && m_live)
            emit tabRequested(m_offset + index);
    });
    tabLayoutChange();
}

void TabStrip::setLive(bool live)
{
    m_live = live;
    setEnabled(live);
    for (int i = 0; i < count(); ++i)
        setTabEnabled(i, live);
}

void TabStrip::tabLayoutChange()
{
    QTabBar::tabLayoutChange();
    // The scroll buttons hide while every tab fits; hidden, they take no
    // press (they are enabled again as they are shown).
    for (QToolButton* b : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (b->isHidden())
            b->setEnabled(false);
}

void TabStrip::setPages(const QStringList& names, int current)
{
    m_names = names;
    m_boardIndex = current;
    showBlockOf(current, true);
}

void TabStrip::showBlockOf(int index, bool force)
{
    const int total = int(m_names.size());
    const int offset = std::clamp(index, 0, std::max(0, total - 1)) / kBlock * kBlock;
    if (!force && offset == m_offset)
        return;
    const int shown = std::min(kBlock, total - offset);
    m_following = true;
    m_offset = offset;
    while (count() > shown)
        removeTab(count() - 1);
    for (int i = 0; i < shown; ++i) {
        const QString& name = m_names[offset + i];
        if (i < count()) {
            if (tabText(i) != name)
                setTabText(i, name);
        } else {
            setTabEnabled(addTab(name), m_live);
        }
    }
    setAccessibleDescription(total > kBlock
                                 ? QStringLiteral("Pages %1 to %2 of %3").arg(offset + 1).arg(offset + shown).arg(total)
                                 : QString());
    m_following = false;
}

void TabStrip::setCurrent(int index)
{
    m_boardIndex = index;
    if (index >= 0 && index < int(m_names.size()))
        showBlockOf(index, false);
    m_following = true;
    const int local = index - m_offset;
    if (local >= 0 && local < count())
        setCurrentIndex(local);
    m_following = false;
}

void TabStrip::applyStyle(const TabStyle& style)
{
    QFont f(AnsiText::toUi(style.fontName));
    f.setPointSize(style.fontSize > 0 ? style.fontSize : 9);
    setFont(f);
    const QString text = WinColor::toQColor(style.fontColor).name();
    const QString selected = WinColor::toQColor(style.selectedColor).name();
    const QString unselected = WinColor::toQColor(style.unselectedColor).name();
    setStyleSheet(QStringLiteral("QTabBar::tab { background: %1; color: %2; border: 1px solid #404040;"
                                 " border-top: none; padding: 1px 8px 2px 8px; margin-right: -1px; }"
                                 "QTabBar::tab:selected { background: %3; margin-top: -1px; }")
                      .arg(unselected, text, selected));
}

void TabStrip::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int local = tabAt(pos);
    const int index = local < 0 ? -1 : m_offset + local;
    emit pressed();
    if (event->button() == Qt::LeftButton && index >= 0) {
        m_pressPos = pos;
        m_pressedOnTab = true;
        m_dragging = false;
        emit tabRequested(index);
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && index >= 0) {
        emit tabRightClicked(index, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTabBar::mousePressEvent(event);
}

void TabStrip::keyPressEvent(QKeyEvent* event)
{
    const bool menuKey =
        event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey && currentIndex() >= 0) {
        emit tabRightClicked(m_offset + currentIndex(), mapToGlobal(tabRect(currentIndex()).center()));
        event->accept();
        return;
    }
    QTabBar::keyPressEvent(event);
}

void TabStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedOnTab && (event->buttons() & Qt::LeftButton) && !m_dragging &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        setCursor(Qt::DragMoveCursor);
    }
    event->accept();
}

void TabStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        unsetCursor();
        const int to = dropIndex(event->position().toPoint());
        if (to >= 0)
            emit tabDropped(to);
    }
    m_dragging = false;
    m_pressedOnTab = false;
    event->accept();
}

int TabStrip::dropIndex(const QPoint& pos) const
{
    if (!rect().contains(pos))
        return -1;
    const int index = tabAt(pos);
    if (index >= 0)
        return m_offset + index;
    // Past the last tab.
    return count() > 0 && pos.x() > tabRect(count() - 1).right() ? m_offset + count() : -1;
}

void TabStrip::wheelEvent(QWheelEvent* event)
{
    // Turning the wheel over the strip must not switch pages behind the
    // board's back.
    event->ignore();
}
