#pragma once

#include <QDialog>
#include <QList>
#include <QPushButton>

class PingForm;
class QLabel;

// One site's bar: a gauge that is also a button (a click, Space, Enter or
// the accessibility press action launches the site's bookmark).
class SpeedBar : public QPushButton
{
    Q_OBJECT
public:
    SpeedBar(QWidget* parent = nullptr);
    int percent = 0;
    bool fastest = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// TPForm: the window of the ping test, showing its model.
class AccessSpeedWindow : public QDialog
{
    Q_OBJECT
public:
    AccessSpeedWindow(PingForm& model, QWidget* parent = nullptr);
    const QList<SpeedBar*>& bars() const { return m_bars; }

private:
    void display();
    void setHeight(int height);

    PingForm& m_model;
    QLabel* m_heading;
    QLabel* m_status;
    QPushButton* m_close;
    QList<SpeedBar*> m_bars;
};
