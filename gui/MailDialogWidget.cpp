#include "MailDialogWidget.h"

#include "DialogButton.h"
#include "MailDialog.h"
#include "WinColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

MailDialogWidget::MailDialogWidget(MailDialog& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TEForm"));
    WinColor::paintLikeTabs(this, model.colors);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_to = new QComboBox(this);
    m_to->setObjectName(QStringLiteral("Edit1"));
    m_to->setEditable(true);
    m_to->setInsertPolicy(QComboBox::NoInsert);
    m_to->setAccessibleName(QStringLiteral("Send to"));
    m_to->setToolTip(QStringLiteral("Insert adds the address to the list, Delete removes it"));
    // The box itself takes the keys (its line edit only gets them handed
    // on, past any filter), so the keys are caught there.
    m_to->installEventFilter(this);
    m_subject = new QLineEdit(this);
    m_subject->setObjectName(QStringLiteral("Edit2"));
    m_subject->setAccessibleName(QStringLiteral("Subject"));
    m_comments = new QPlainTextEdit(this);
    m_comments->setObjectName(QStringLiteral("Memo1"));
    m_comments->setAccessibleName(QStringLiteral("Comments"));
    m_comments->setTabChangesFocus(true);
    m_comments->setToolTip(QStringLiteral("Right-click (or the menu key) to choose the font"));
    m_comments->setContextMenuPolicy(Qt::CustomContextMenu);
    m_comments->setMinimumHeight(140);
    form->addRow(QStringLiteral("Send to:"), m_to);
    form->addRow(QStringLiteral("Subject:"), m_subject);
    form->addRow(QStringLiteral("Comments:"), m_comments);
    layout->addLayout(form);

    m_all = new QCheckBox(QStringLiteral("Include All E-Mail Addresses."), this);
    m_all->setObjectName(QStringLiteral("CBox2"));
    layout->addWidget(m_all);
    auto* group = new QGroupBox(QStringLiteral("Bookmarks"), this);
    group->setObjectName(QStringLiteral("BMGroup"));
    auto* groupLayout = new QVBoxLayout(group);
    for (int i = 0; i < MailDialog::BookmarkChoices().size(); ++i) {
        auto* r = new QRadioButton(MailDialog::BookmarkChoices()[i], group);
        r->setObjectName(QStringLiteral("BMChoice%1").arg(i));
        groupLayout->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] {
            take();
            m_model.BMGroupClick(i);
            display();
        });
        m_choices << r;
    }
    layout->addWidget(group);
    // What the caller prepared, so that the user sees what goes with the comments.
    m_lines = new QPlainTextEdit(this);
    m_lines->setObjectName(QStringLiteral("BookmarkLines"));
    m_lines->setAccessibleName(QStringLiteral("Bookmarks to send"));
    m_lines->setReadOnly(true);
    m_lines->setTabChangesFocus(true);
    m_lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lines->setMaximumHeight(80);
    const QStringList lines = m_model.bookmarkLines();
    m_lines->setPlainText(lines.join(QLatin1Char('\n')));
    m_lines->setVisible(!lines.isEmpty());
    layout->addWidget(m_lines);

    auto* waitRow = new QHBoxLayout;
    m_wait = new QProgressBar(this);
    m_wait->setObjectName(QStringLiteral("Wait1"));
    m_wait->setRange(0, MailDialog::kWaitSteps);
    m_wait->setFormat(QStringLiteral("Sending... %v s"));
    m_wait->setAccessibleName(QStringLiteral("Sending"));
    m_cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("CancelSend"), this);
    waitRow->addWidget(m_wait, 1);
    waitRow->addWidget(m_cancel);
    layout->addLayout(waitRow);

    auto* buttons = new QHBoxLayout;
    m_send = dialogButton(QStringLiteral("Send E-Mail"), QStringLiteral("Button1"), this);
    m_load = dialogButton(QStringLiteral("Load"), QStringLiteral("Button2"), this);
    m_close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseButton"), this);
    m_help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    for (QPushButton* b : {m_send, m_load, m_close, m_help})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(m_send, &QPushButton::clicked, this, [this] { run(&MailDialog::Button1Click); });
    connect(m_load, &QPushButton::clicked, this, [this] { run(&MailDialog::EGroupClick); });
    connect(m_close, &QPushButton::clicked, this, [this] { run(&MailDialog::CloseButtonClick); });
    connect(m_help, &QPushButton::clicked, this, [this] { m_model.HelpClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cancelSending(); });
    connect(m_comments, &QWidget::customContextMenuRequested, this, [this] { run(&MailDialog::Memo1MouseDown); });
    connect(&m_model, &MailDialog::changed, this, [this] {
        if (!m_displaying)
            display();
    });
    connect(&m_model, &MailDialog::closeRequested, this, [this] { done(QDialog::Accepted); });

    m_comments->setPlainText(m_model.comments);
    display();
    resize(480, sizeHint().height());
    m_to->setFocus();
}

bool MailDialogWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_to && event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        // Ctrl+Insert, Shift+Delete and the like keep their meaning in the text.
        const bool plain = (keyEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key == Qt::Key_Insert || key == Qt::Key_Delete)) {
            // Delete inside a typed text still deletes text unless the
            // address is one of the list.
            take();
            if (key == Qt::Key_Delete && !m_model.addresses.contains(m_model.recipient.trimmed(), Qt::CaseInsensitive))
                return QDialog::eventFilter(watched, event);
            m_model.Edit1KeyDown(key == Qt::Key_Insert ? MailDialog::kInsertKey : MailDialog::kDeleteKey);
            display();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MailDialogWidget::take()
{
    m_model.recipient = m_to->currentText();
    m_model.subject = m_subject->text();
    m_model.comments = m_comments->toPlainText();
    m_model.includeAll = m_all->isChecked();
    for (int i = 0; i < m_choices.size(); ++i)
        if (m_choices[i]->isChecked())
            m_model.bookmarkChoice = i;
}

void MailDialogWidget::display()
{
    m_displaying = true;
    setWindowTitle(m_model.caption);
    QStringList shown;
    for (int i = 0; i < m_to->count(); ++i)
        shown << m_to->itemText(i);
    if (shown != m_model.addresses) {
        m_to->clear();
        m_to->addItems(m_model.addresses);
    }
    m_to->setCurrentIndex(-1);
    m_to->setEditText(m_model.recipient);
    m_subject->setText(m_model.subject);
    m_all->setChecked(m_model.includeAll);
    if (m_model.bookmarkChoice >= 0 && m_model.bookmarkChoice < m_choices.size())
        m_choices[m_model.bookmarkChoice]->setChecked(true);
    QFont font(m_model.commentFont.name);
    if (m_model.commentFont.size > 0)
        font.setPointSize(m_model.commentFont.size);
    m_comments->setFont(font);
    const bool sending = m_model.sending();
    for (QWidget* w : std::initializer_list<QWidget*>{m_to, m_subject, m_comments, m_all, m_send, m_load})
        w->setEnabled(!sending);
    for (QRadioButton* r : std::as_const(m_choices))
        r->setEnabled(!sending);
    m_lines->setEnabled(m_model.bookmarkChoice != 0);
    m_wait->setVisible(sending);
    m_cancel->setVisible(sending);
    m_wait->setValue(m_model.waitStep());
    if (sending && !m_wasSending)
        m_cancel->setFocus();
    else if (!sending && m_wasSending)
        m_send->setFocus();
    m_wasSending = sending;
    m_displaying = false;
}

void MailDialogWidget::run(void (MailDialog::*handler)())
{
    take();
    (m_model.*handler)();
    if (isVisible() || result() != QDialog::Accepted)
        display();
}

void MailDialogWidget::reject()
{
    take();
    m_model.CloseButtonClick();
}
