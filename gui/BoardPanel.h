#pragma once

#include <QWidget>

class QDropEvent;

// The board panel: as high as the board when there is room, lower when the
// window is (mini mode).
class BoardPanel : public QWidget
{
    Q_OBJECT
public:
    explicit BoardPanel(QWidget* parent = nullptr);
    QSize sizeHint() const override;
signals:
    void dropped(QDropEvent* event);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
