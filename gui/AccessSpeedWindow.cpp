#include "AccessSpeedWindow.h"

#include "AccessSpeed.h"
#include "DialogButton.h"
#include "GuiPrompter.h"
#include "WinColor.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionFocusRect>

SpeedBar::SpeedBar(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void SpeedBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().color(QPalette::Button));
    const QRect filled(r.left(), r.top(), r.width() * std::clamp(percent, 0, 100) / 100, r.height());
    const QColor bar = fastest ? QColor(0, 128, 0) : QColor(128, 0, 0);
    p.fillRect(filled, bar);
    const QRect textRect = r.adjusted(4, 0, -4, 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width());
    // The text reads on both parts: light over the bar, dark beside it.
    p.save();
    p.setClipRect(filled);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, shown);
    p.restore();
    p.save();
    p.setClipRegion(QRegion(r).subtracted(QRegion(filled)));
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, shown);
    p.restore();
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void SpeedBar::keyPressEvent(QKeyEvent* event)
{
    // A bar is no default button, so Enter would otherwise go nowhere.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

AccessSpeedWindow::AccessSpeedWindow(PingForm& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TPForm"));
    WinColor::paintLikeTabs(this, model.colors);
    m_heading = new QLabel(model.heading, this);
    m_heading->setGeometry(5, 2, 400, 16);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setGeometry(5, 22, 400, 16);
    m_close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_model, &PingForm::changed, this, &AccessSpeedWindow::display);
    connect(&m_model, &PingForm::closeRequested, this, &QDialog::accept);
    setFixedWidth(410);
    display();
}

void AccessSpeedWindow::display()
{
    setWindowTitle(m_model.caption);
    m_status->setText(m_model.status);
    m_status->setVisible(m_model.statusVisible);
    if (!m_model.done()) {
        setHeight(std::max(70, int(m_model.hosts.size()) * 20 + 50));
        return;
    }
    if (m_bars.isEmpty()) {
        for (int i = 0; i < m_model.bars.size(); ++i) {
            const PingForm::Bar& b = m_model.bars[i];
            auto* bar = new SpeedBar(this);
            bar->setObjectName(b.name);
            bar->setGeometry(b.left, b.top, b.width, b.height);
            bar->setText(b.text);
            bar->setToolTip(b.hint);
            bar->setAccessibleName(b.text);
            bar->setAccessibleDescription(QStringLiteral("%1 %").arg(b.percent()));
            bar->percent = b.percent();
            bar->fastest = b.fastest;
            connect(bar, &QPushButton::clicked, this, [this, i] { m_model.BarClick(i); });
            bar->show();
            m_bars << bar;
        }
        if (!m_bars.isEmpty())
            m_bars.first()->setFocus();
    }
    setHeight(m_model.height);
}

void AccessSpeedWindow::setHeight(int height)
{
    setFixedHeight(height);
    // Close sits in the 30 pixels below the last bar.
    m_close->setGeometry(width() - 85, height - 27, 80, 24);
}

void GuiPrompter::pingWindow(PingForm& form)
{
    AccessSpeedWindow window(form, dialogParent());
    run(window);
}
