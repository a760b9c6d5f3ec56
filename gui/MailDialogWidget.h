#pragma once

#include <QDialog>
#include <QList>

class MailDialog;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// TEForm: shows the mail dialog's model and forwards its controls. While a
// message is sent only the wait indicator and its Cancel are live.
class MailDialogWidget : public QDialog
{
    Q_OBJECT
public:
    MailDialogWidget(MailDialog& model, QWidget* parent = nullptr);

    // Escape and the close box close the dialog as "Close" does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take();
    void display();
    void run(void (MailDialog::*handler)());

    MailDialog& m_model;
    QComboBox* m_to;
    QLineEdit* m_subject;
    QPlainTextEdit* m_comments;
    QPlainTextEdit* m_lines;
    QCheckBox* m_all;
    QList<QRadioButton*> m_choices;
    QPushButton* m_send;
    QPushButton* m_load;
    QPushButton* m_close;
    QPushButton* m_help;
    QProgressBar* m_wait;
    QPushButton* m_cancel;
    bool m_displaying = false;
    bool m_wasSending = false;
};
