#include "Dialogs.h"

#include "WinColor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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

LineDialog::LineDialog(const QString& caption, const QString& editName, const QString& buttonCaption,
                       QWidget* parent)
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

namespace {

struct NamedColor
{
    const char* name;
    int value; // 0x00BBGGRR
};

// The sixteen colours of the classic font dialog.
constexpr NamedColor kColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000},   {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},   {"White", 0xFFFFFF},
};

QIcon swatch(int value)
{
    QPixmap p(14, 14);
    p.fill(WinColor::toQColor(value));
    return QIcon(p);
}

} // namespace

FontDialog::FontDialog(const FontChoice& initial, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Font"));
    auto* form = new QFormLayout;
    m_family = new QFontComboBox(this);
    m_family->setAccessibleName(QStringLiteral("Font"));
    m_family->setCurrentFont(QFont(initial.name));
    m_size = new QSpinBox(this);
    m_size->setAccessibleName(QStringLiteral("Size"));
    m_size->setRange(4, 72);
    m_size->setValue(initial.size);
    m_color = new QComboBox(this);
    m_color->setAccessibleName(QStringLiteral("Color"));
    int current = -1;
    for (const NamedColor& c : kColors) {
        m_color->addItem(swatch(c.value), QString::fromLatin1(c.name), c.value);
        if (c.value == initial.color)
            current = m_color->count() - 1;
    }
    if (current < 0) {
        m_color->addItem(swatch(initial.color), QStringLiteral("Custom"), initial.color);
        current = m_color->count() - 1;
    }
    m_color->setCurrentIndex(current);
    m_sample = new QLabel(QStringLiteral("AaBbYyZz"), this);
    m_sample->setMinimumHeight(40);
    m_sample->setAlignment(Qt::AlignCenter);
    form->addRow(QStringLiteral("&Font:"), m_family);
    form->addRow(QStringLiteral("&Size:"), m_size);
    form->addRow(QStringLiteral("&Color:"), m_color);
    form->addRow(QStringLiteral("Sample:"), m_sample);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(m_family, &QFontComboBox::currentFontChanged, this, &FontDialog::updateSample);
    connect(m_size, &QSpinBox::valueChanged, this, &FontDialog::updateSample);
    connect(m_color, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);
    updateSample();
}

FontChoice FontDialog::choice() const
{
    return {m_family->currentFont().family(), m_size->value(), m_color->currentData().toInt()};
}

void FontDialog::updateSample()
{
    QFont f = m_family->currentFont();
    f.setPointSize(m_size->value());
    m_sample->setFont(f);
    QPalette p = m_sample->palette();
    p.setColor(QPalette::WindowText, WinColor::toQColor(m_color->currentData().toInt()));
    m_sample->setPalette(p);
}
