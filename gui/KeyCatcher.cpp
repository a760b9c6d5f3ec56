#include "KeyCatcher.h"

#include <QFocusEvent>
#include <QKeyEvent>

KeyCatcher::KeyCatcher(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Keys"));
    setAccessibleName(QStringLiteral("Keys"));
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(1, 1);
}

void KeyCatcher::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event);
}

void KeyCatcher::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        emit tabbedInto();
}
