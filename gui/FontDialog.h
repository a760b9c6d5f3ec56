#pragma once

#include "Prompter.h"

#include <QDialog>

class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

// Font name, size and colour of the bookmark buttons.
class FontDialog : public QDialog
{
    Q_OBJECT
public:
    FontDialog(const FontChoice& initial, QWidget* parent = nullptr);
    FontChoice choice() const;

private:
    void updateSample();

    QFontComboBox* m_family;
    QSpinBox* m_size;
    QComboBox* m_color;
    QLabel* m_sample;
};
