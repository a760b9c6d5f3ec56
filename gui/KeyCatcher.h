#pragma once

#include <QWidget>

// The key catcher `Keys`: the board's place in the Tab order, holding the
// keyboard focus while the board is idle.
class KeyCatcher : public QWidget
{
    Q_OBJECT
public:
    explicit KeyCatcher(QWidget* parent = nullptr);
signals:
    void keyPressed(QKeyEvent* event);
    // Reached with Tab or Shift+Tab.
    void tabbedInto();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};
