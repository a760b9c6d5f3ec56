#include "FontDialog.h"

#include "WinColor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

struct NamedColor
{
    const char* name;
    int value; // 0x00BBGGRR
};

// The sixteen colours of the classic font dialog.
constexpr NamedColor kColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
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
