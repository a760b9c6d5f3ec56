#pragma once

#include "Prompter.h"

#include <QDialog>

// The choice dialog Dlg1: the caller's title, lines and buttons; exec()
// returns the position of the pressed button, -1 when closed.
class ChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    ChoiceDialog(const ChoiceRequest& request, QWidget* parent = nullptr);
    int pressed() const { return m_pressed; }

private:
    int m_pressed = -1;
};
