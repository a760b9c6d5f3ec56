#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QList>

// The tool bar's box for a site or file typed by hand (URLBox): Enter or a
// double click sends what is typed, Ctrl+Delete asks to forget the entry
// shown. What it lists comes from the board.
class ManualUrlBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ManualUrlBox(QWidget* parent = nullptr);
    // The remembered entries, keeping what the user is typing.
    void setUrls(const QList<QByteArray>& urls);

signals:
    void entered(const QByteArray& text);
    void forgetRequested(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enter();
};
