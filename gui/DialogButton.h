#pragma once

#include <QPushButton>
#include <QString>

// A dialog's push button with its object name and an accessible name
// without the mnemonic mark. It never becomes the default button: Enter in
// a text box does not press it.
inline QPushButton* dialogButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}
