#pragma once

#include "Prompter.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// TPassForm: a password, always masked, with what it is for. A new password
// is typed twice and taken only when both agree. Cancel or Escape give "".
class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    PasswordDialog(const PasswordRequest& request, QWidget* parent = nullptr);
    QString password() const;

private:
    void check();

    bool m_new;
    QLineEdit* m_password;
    QLineEdit* m_confirm = nullptr;
    QLabel* m_mismatch = nullptr;
    QPushButton* m_ok;
};
