#include "SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void SystemClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void SystemClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!text.isEmpty())
        clipboard->setText(text);
}

QString SystemClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

QString SystemClipboard::html() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasHtml() ? data->html() : QString();
}
