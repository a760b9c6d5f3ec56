#include "ManualUrlBox.h"

#include "AnsiText.h"

#include <QKeyEvent>
#include <QLineEdit>

ManualUrlBox::ManualUrlBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("URLBox"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(10);
    setToolTip(QStringLiteral("Maunal entry for site or file."));
    setAccessibleName(QStringLiteral("Maunal entry for site or file."));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumWidth(50);
    lineEdit()->installEventFilter(this);
    installEventFilter(this);
    connect(lineEdit(), &QLineEdit::returnPressed, this, &ManualUrlBox::enter);
}

void ManualUrlBox::setUrls(const QList<QByteArray>& urls)
{
    const QString typed = currentText();
    blockSignals(true);
    clear();
    for (const QByteArray& url : urls)
        addItem(AnsiText::toUi(url));
    setCurrentIndex(-1);
    setEditText(typed);
    blockSignals(false);
}

void ManualUrlBox::enter()
{
    const QByteArray text = AnsiText::fromUi(currentText().trimmed());
    if (text.isEmpty())
        return;
    emit entered(text);
    setEditText(QString());
}

bool ManualUrlBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        enter();
        return true;
    }
    if ((watched == this || watched == lineEdit()) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            const int index = findText(currentText());
            if (index >= 0)
                emit forgetRequested(index);
            setEditText(QString());
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
