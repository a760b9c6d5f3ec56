#include "BookmarkButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kSpacing = 4;
}

BookmarkButton::BookmarkButton(const QString& name, QWidget* parent) : QAbstractButton(parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setToolTipDuration(120000);
}

void BookmarkButton::setGlyph(const QPixmap& glyph)
{
    if (glyph.cacheKey() == m_glyph.cacheKey() && glyph.isNull() == m_glyph.isNull())
        return;
    m_glyph = glyph;
    update();
}

void BookmarkButton::setMargin(int margin)
{
    if (m_margin == margin)
        return;
    m_margin = margin;
    update();
}

void BookmarkButton::setCaptionColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void BookmarkButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void BookmarkButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.features = QStyleOptionButton::None;
    if (isDown())
        option.state |= QStyle::State_Sunken;
    else
        option.state |= QStyle::State_Raised;
    p.drawPrimitive(QStyle::PE_PanelButtonCommand, option);
    if (m_selected) {
        // The keyboard's selection: a highlighted band with a frame, plain to see.
        QColor band = palette().color(QPalette::Highlight);
        band.setAlpha(60);
        p.fillRect(rect().adjusted(1, 1, -1, -1), band);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }

    const int shift = isDown() ? 1 : 0;
    int x = m_margin + shift;
    if (!m_glyph.isNull()) {
        const int y = (height() - m_glyph.height()) / 2 + shift;
        if (isEnabled()) {
            p.drawPixmap(x, y, m_glyph);
        } else {
            QStyleOption o;
            o.initFrom(this);
            p.drawPixmap(x, y, style()->generatedIconPixmap(QIcon::Disabled, m_glyph, &o));
        }
        x += m_glyph.width() + kSpacing;
    }
    const QRect textRect(x, shift, width() - x - 2, height());
    p.setFont(font());
    p.setPen(isEnabled() ? m_color : palette().color(QPalette::Disabled, QPalette::ButtonText));
    const QString elided = p.fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

void BookmarkButton::mousePressEvent(QMouseEvent* event)
{
    // Every press is handled by the board: a left press starts a drag at once,
    // a right press opens the bookmark dialog.
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        setDown(event->button() == Qt::LeftButton);
        emit pressed(event->button());
        event->accept();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}

void BookmarkButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    setDown(false);
    emit released(mapToParent(event->position().toPoint()));
    event->accept();
}
