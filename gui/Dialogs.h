#pragma once

#include "Prompter.h"

#include <QDialog>

class QLineEdit;
class QFontComboBox;
class QSpinBox;
class QComboBox;
class QLabel;

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

// A one-line text box with one button: TPassForm ("Enter Password", "Save
// Password") and TNameForm ("Enter New Page Name", "Save Name"). The button or
// Enter closes it; Escape empties the box and closes it.
class LineDialog : public QDialog
{
    Q_OBJECT
public:
    LineDialog(const QString& caption, const QString& editName, const QString& buttonCaption,
               QWidget* parent = nullptr);
    void setMasked(bool masked);
    void setText(const QString& text);
    QString text() const;
    QLineEdit* edit() const { return m_edit; }

protected:
    void reject() override;

private:
    QLineEdit* m_edit;
};

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
