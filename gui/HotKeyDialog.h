#pragma once

#include "HotKeys.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// THotKeyForm: key, modifiers and enabled flag of the six hotkeys.
class HotKeyDialog : public QDialog
{
    Q_OBJECT
public:
    HotKeyDialog(const HotKeys& keys, const QString& notice, QWidget* parent = nullptr);
    HotKeys keys() const;

private:
    struct Row
    {
        QCheckBox* enabled;
        QCheckBox* ctrl;
        QCheckBox* alt;
        QCheckBox* shift;
        QComboBox* key;
    };
    Row m_rows[HotKeys::kCount];
};
