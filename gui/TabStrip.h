#pragma once

#include <QTabBar>

struct TabStyle;

// The page tabs below the board. A press on a tab asks for the change; the
// board decides and the strip follows the board's selection.
class TabStrip : public QTabBar
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    void setPages(const QStringList& names, int current);
    void setCurrent(int index);
    void applyStyle(const TabStyle& style);

signals:
    void tabRequested(int index);
    // Any press on the strip, before what it does.
    void pressed();
    // A tab dragged onto the tab at index to (the number of tabs: past the
    // last one).
    void tabDropped(int to);
    void tabRightClicked(int index, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int dropIndex(const QPoint& pos) const;

    QPoint m_pressPos;
    bool m_pressedOnTab = false;
    bool m_dragging = false;
    int m_boardIndex = -1;
    bool m_following = false; // the strip follows the board: no request
};
