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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int m_boardIndex = -1;
    bool m_following = false; // the strip follows the board: no request
};
