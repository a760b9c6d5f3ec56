#include "TabStrip.h"

#include "AnsiText.h"
#include "BoardState.h"
#include "WinColor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalBlocker>

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
        if (index >= 0)
            emit tabRequested(index);
    });
}

void TabStrip::setPages(const QStringList& names, int current)
{
    m_following = true;
    while (count() > names.size())
        removeTab(count() - 1);
    for (int i = 0; i < names.size(); ++i) {
        if (i < count())
            setTabText(i, names[i]);
        else
            addTab(names[i]);
    }
    m_following = false;
    setCurrent(current);
}

void TabStrip::setCurrent(int index)
{
    m_boardIndex = index;
    m_following = true;
    if (index >= 0 && index < count())
        setCurrentIndex(index);
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
    const int index = tabAt(pos);
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
        return index;
    // Past the last tab.
    return count() > 0 && pos.x() > tabRect(count() - 1).right() ? count() : -1;
}

void TabStrip::wheelEvent(QWheelEvent* event)
{
    // Turning the wheel over the strip must not switch pages behind the
    // board's back.
    event->ignore();
}
