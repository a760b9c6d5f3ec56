#include "HotKeyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HotKeyDialog::HotKeyDialog(const HotKeys& keys, const QString& notice, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THotKeyForm"));
    setWindowTitle(QStringLiteral("Lynkor HotKeys"));
    auto* layout = new QVBoxLayout(this);
    if (!notice.isEmpty()) {
        auto* label = new QLabel(notice, this);
        label->setObjectName(QStringLiteral("Notice"));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    }
    auto* grid = new QGridLayout;
    for (int n = 0; n < HotKeys::kCount; ++n) {
        const HotKeys::Entry& e = keys.entries[n];
        const QString name = HotKeys::itemName(n);
        Row& r = m_rows[n];
        r.enabled = new QCheckBox(QStringLiteral("On"), this);
        r.enabled->setAccessibleName(name + QStringLiteral(" on"));
        r.enabled->setChecked(e.enabled);
        r.ctrl = new QCheckBox(QStringLiteral("Ctrl"), this);
        r.ctrl->setAccessibleName(name + QStringLiteral(" Ctrl"));
        r.ctrl->setChecked(e.modifiers & HotKeys::kCtrl);
        r.alt = new QCheckBox(QStringLiteral("Alt"), this);
        r.alt->setAccessibleName(name + QStringLiteral(" Alt"));
        r.alt->setChecked(e.modifiers & HotKeys::kAlt);
        r.shift = new QCheckBox(QStringLiteral("Shift"), this);
        r.shift->setAccessibleName(name + QStringLiteral(" Shift"));
        r.shift->setChecked(e.modifiers & HotKeys::kShift);
        r.key = new QComboBox(this);
        r.key->setObjectName(name);
        r.key->setAccessibleName(name + QStringLiteral(" key"));
        r.key->addItem(QString());
        r.key->addItems(HotKeys::keyTexts());
        r.key->setCurrentIndex(std::max(0, r.key->findText(QString::fromLatin1(e.key))));
        grid->addWidget(r.enabled, n, 0);
        grid->addWidget(r.ctrl, n, 1);
        grid->addWidget(r.alt, n, 2);
        grid->addWidget(r.shift, n, 3);
        grid->addWidget(r.key, n, 4);
        grid->addWidget(new QLabel(HotKeys::label(n), this), n, 5);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* save = new QPushButton(QStringLiteral("Save and Close"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    save->setDefault(true);
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

HotKeys HotKeyDialog::keys() const
{
    HotKeys keys;
    for (int n = 0; n < HotKeys::kCount; ++n) {
        const Row& r = m_rows[n];
        HotKeys::Entry& e = keys.entries[n];
        e.enabled = r.enabled->isChecked();
        e.key = r.key->currentText().toLatin1();
        e.modifiers = (r.ctrl->isChecked() ? HotKeys::kCtrl : 0) | (r.alt->isChecked() ? HotKeys::kAlt : 0) |
                      (r.shift->isChecked() ? HotKeys::kShift : 0);
    }
    return keys;
}
