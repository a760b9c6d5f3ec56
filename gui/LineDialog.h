#pragma once

#include <QDialog>

class QLineEdit;

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
