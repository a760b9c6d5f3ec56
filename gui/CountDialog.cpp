#include "CountDialog.h"

#include "BookmarkCount.h"
#include "DialogButton.h"
#include "WinColor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CountDialog::CountDialog(BookmarkCount& count, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCountForm"));
    setWindowTitle(count.caption);
    WinColor::paintLikeTabs(this, count.colors);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(count.label, this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    f.setBold(true);
    label->setFont(f);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    auto* ok = dialogButton(QStringLiteral("OK"), QStringLiteral("OkBtn"), this);
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();
    layout->addLayout(row);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
    setMinimumWidth(280);
}
