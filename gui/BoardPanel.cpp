#include "BoardPanel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

BoardPanel::BoardPanel(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

QSize BoardPanel::sizeHint() const
{
    return {width(), maximumHeight()};
}

void BoardPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void BoardPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void BoardPanel::dropEvent(QDropEvent* event)
{
    emit dropped(event);
}
