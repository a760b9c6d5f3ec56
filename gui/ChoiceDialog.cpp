#include "ChoiceDialog.h"

#include "WinColor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ChoiceDialog::ChoiceDialog(const ChoiceRequest& request, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg1"));
    setWindowTitle(request.title);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(request.lines.join(QLatin1Char('\n')), this);
    text->setTextFormat(Qt::PlainText);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setAccessibleName(request.title);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < request.buttons.size(); ++i) {
        auto* b = new QPushButton(request.buttons[i], this);
        b->setAccessibleName(request.buttons[i]);
        if (i == 0)
            b->setDefault(true);
        connect(b, &QPushButton::clicked, this, [this, i] {
            m_pressed = i;
            accept();
        });
        row->addWidget(b);
    }
    row->addStretch();
    layout->addLayout(row);
    if (request.background) {
        QPalette p = palette();
        p.setColor(QPalette::Window, WinColor::toQColor(*request.background));
        setPalette(p);
        setAutoFillBackground(true);
    }
}
