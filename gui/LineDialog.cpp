#include "LineDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LineDialog::LineDialog(const QString& caption, const QString& editName, const QString& buttonCaption, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(editName);
    m_edit->setAccessibleName(editName);
    m_edit->setMinimumWidth(240);
    layout->addWidget(m_edit);
    auto* button = new QPushButton(buttonCaption, this);
    button->setAccessibleName(buttonCaption);
    button->setDefault(true);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_edit, &QLineEdit::returnPressed, this, &QDialog::accept);
}

void LineDialog::setMasked(bool masked)
{
    m_edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

void LineDialog::setText(const QString& text)
{
    m_edit->setText(text);
    m_edit->selectAll();
    m_edit->setFocus();
}

QString LineDialog::text() const
{
    return m_edit->text();
}

void LineDialog::reject()
{
    m_edit->clear();
    QDialog::reject();
}
