#include "BookmarkButton.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kSpacing = 4;

// A bookmark button as assistive technology sees it: a button that can be
// pressed and can take the keyboard, which selects it as the arrow keys do.
class BookmarkButtonAccessible : public QAccessibleWidget
{
public:
    explicit BookmarkButtonAccessible(BookmarkButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        s.focused = button()->hasKeyboard();
        return s;
    }
    QStringList actionNames() const override
    {
        if (!button()->isEnabled())
            return {};
        return {pressAction(), setFocusAction()};
    }
    void doAction(const QString& name) override
    {
        if (!button()->isEnabled())
            return;
        if (name == pressAction())
            button()->click();
        else if (name == setFocusAction())
            button()->requestKeyboard();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    BookmarkButton* button() const { return static_cast<BookmarkButton*>(widget()); }
};

QAccessibleInterface* bookmarkButtonAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("BookmarkButton") && object && object->isWidgetType())
        return new BookmarkButtonAccessible(static_cast<BookmarkButton*>(object));
    return nullptr;
}

} // namespace

BookmarkButton::BookmarkButton(const QString& name, QWidget* parent) : QAbstractButton(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(bookmarkButtonAccessible);
        return true;
    }();
    Q_UNUSED(installed);
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
