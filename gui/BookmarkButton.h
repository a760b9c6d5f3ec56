#pragma once

#include <QAbstractButton>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>

// A bitmap button of the board: glyph at its margin, caption 4 pixels after
// it, in the bookmark's colour.
class BookmarkButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit BookmarkButton(const QString& name, QWidget* parent = nullptr);

    void setGlyph(const QPixmap& glyph);
    void setMargin(int margin);
    void setCaptionColor(const QColor& color);
    // The keyboard's selection: drawn with a visible mark.
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // The board's keys go to `keys` (the buttons themselves never take the
    // focus): a selected button has the keyboard while `keys` has the focus.
    void setKeyboard(QWidget* keys) { m_keys = keys; }
    bool hasKeyboard() const { return m_selected && m_keys && m_keys->hasFocus(); }
    // Assistive technology asks for the keyboard on this button.
    void requestKeyboard() { emit keyboardRequested(); }
    int margin() const { return m_margin; }
    QColor captionColor() const { return m_color; }
    const QPixmap& glyph() const { return m_glyph; }

    QSize sizeHint() const override { return {100, 19}; }

signals:
    // A press of the left or right mouse button; the window decides what it starts.
    void pressed(Qt::MouseButton button);
    // The left button let go after a press on this button, at a point of
    // the board's coordinates.
    void released(const QPoint& boardPoint);
    void keyboardRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }

private:
    QPixmap m_glyph;
    int m_margin = 1;
    QColor m_color = Qt::black;
    bool m_selected = false;
    QPointer<QWidget> m_keys;
};
