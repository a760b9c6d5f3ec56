#pragma once

#include <QTabBar>

struct TabStyle;

// The page tabs below the board. A press on a tab asks for the change; the
// board decides and the strip follows the board's selection.
//
// A file may hold thousands of pages, and a tab bar lays out all its tabs
// again for every tab added. The strip therefore holds one block of at most
// kBlock pages, the block of the page shown; other pages are reached from
// the keyboard, Home/End, or the page navigator. Indexes in the signals and
// in setCurrent are page indexes; QTabBar's own (tabRect, tabText) count
// within the block.
class TabStrip : public QTabBar
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    static constexpr int kBlock = 100;

    void setPages(const QStringList& names, int current);
    void setCurrent(int index);
    void applyStyle(const TabStyle& style);
    // A strip that is not live (hidden) takes no press on its tabs, from the
    // accessibility interface neither.
    void setLive(bool live);
    // The page index of the block's first tab.
    int firstPage() const { return m_offset; }
    int pageCount() const { return int(m_names.size()); }

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
    // The menu key (or Shift+F10) on the strip: as a right-click on the current tab.
    void keyPressEvent(QKeyEvent* event) override;
    void tabLayoutChange() override;

private:
    int dropIndex(const QPoint& pos) const;
    // Shows the block that holds page index (all pages when there are few).
    void showBlockOf(int index, bool force);

    QStringList m_names;
    int m_offset = 0;

    QPoint m_pressPos;
    bool m_pressedOnTab = false;
    bool m_dragging = false;
    int m_boardIndex = -1;
    bool m_following = false; // the strip follows the board: no request
    bool m_live = true;
};
