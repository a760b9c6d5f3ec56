#include "PasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(const PasswordRequest& request, QWidget* parent)
    : QDialog(parent), m_new(request.newPassword)
{
    setObjectName(QStringLiteral("TPassForm"));
    setWindowTitle(QStringLiteral("Enter Password"));
    auto* layout = new QVBoxLayout(this);
    auto* purpose = new QLabel(request.purpose, this);
    purpose->setTextFormat(Qt::PlainText);
    purpose->setWordWrap(true);
    layout->addWidget(purpose);
    auto* form = new QFormLayout;
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setAccessibleName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMinimumWidth(240);
    purpose->setBuddy(m_password);
    form->addRow(QStringLiteral("&Password:"), m_password);
    if (m_new) {
        m_confirm = new QLineEdit(this);
        m_confirm->setObjectName(QStringLiteral("Confirm"));
        m_confirm->setAccessibleName(QStringLiteral("Confirm password"));
        m_confirm->setEchoMode(QLineEdit::Password);
        form->addRow(QStringLiteral("&Again:"), m_confirm);
    }
    layout->addLayout(form);
    if (m_new) {
        m_mismatch = new QLabel(QStringLiteral("The two passwords differ."), this);
        m_mismatch->setObjectName(QStringLiteral("Mismatch"));
        m_mismatch->setVisible(false);
        layout->addWidget(m_mismatch);
    }
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(m_new ? QStringLiteral("Save Password") : QStringLiteral("OK"),
                              QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_password, &QLineEdit::textChanged, this, &PasswordDialog::check);
    if (m_confirm)
        connect(m_confirm, &QLineEdit::textChanged, this, &PasswordDialog::check);
    check();
    m_password->setFocus();
}

void PasswordDialog::check()
{
    const bool differ = m_confirm && m_confirm->text() != m_password->text();
    if (m_mismatch)
        m_mismatch->setVisible(differ && !m_confirm->text().isEmpty());
    m_ok->setEnabled(!m_password->text().isEmpty() && !differ);
}

QString PasswordDialog::password() const
{
    return result() == QDialog::Accepted ? m_password->text() : QString();
}
