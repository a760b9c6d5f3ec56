#include "UserProfileWidget.h"

#include "DialogButton.h"
#include "UserProfile.h"
#include "WinColor.h"

#include <QApplication>
#include <QDrag>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

// A label that reports a press, so that its field's text can be dragged.
class DragLabel : public QLabel
{
public:
    DragLabel(const QString& text, std::function<void()> pressed, QWidget* parent)
        : QLabel(text, parent), m_pressed(std::move(pressed))
    {
        setCursor(Qt::OpenHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_pressed();
    }

private:
    std::function<void()> m_pressed;
};

} // namespace

UserProfileWidget::UserProfileWidget(UserProfile& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TUserSetup"));
    setWindowTitle(QStringLiteral("User Profile"));
    WinColor::paintLikeTabs(this, model.colors);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < UserProfile::kCount; ++i) {
        const UserProfile::Field& f = UserProfile::Fields()[i];
        auto* edit = new QLineEdit(model.values.value(i), this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setAccessibleName(QString::fromLatin1(f.label));
        auto* label = new DragLabel(
            QString::fromLatin1(f.label), [this, i] { dragField(i); }, this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setToolTip(QStringLiteral("Drag this label to drop the field's text into another program"));
        label->setBuddy(edit);
        // Two columns of eight, as the form is laid out.
        const int column = (i / 8) * 2;
        grid->addWidget(label, i % 8, column);
        grid->addWidget(edit, i % 8, column + 1);
        m_edits << edit;
    }
    layout->addLayout(grid);
    auto* save = dialogButton(QStringLiteral("Save"), QStringLiteral("SpeedButton1"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("CancelBtn"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] {
        take();
        if (m_model.SpeedButton1Click())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void UserProfileWidget::take()
{
    for (int i = 0; i < m_edits.size(); ++i)
        m_model.values[i] = m_edits[i]->text();
}

void UserProfileWidget::dragField(int index)
{
    take();
    const QString text = m_model.Label1MouseDown(index);
    if (text.isEmpty())
        return;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setText(text);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}
