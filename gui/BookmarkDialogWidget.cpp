#include "BookmarkDialogWidget.h"

#include "AnsiText.h"
#include "BookmarkDialog.h"
#include "DialogButton.h"
#include "IconLibrary.h"
#include "WinColor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void colorText(QPushButton* b, int colorRef)
{
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, WinColor::toQColor(colorRef));
    b->setPalette(p);
}

} // namespace

BookmarkDialogWidget::BookmarkDialogWidget(BookmarkDialog& model, IconLibrary& icons, QWidget* parent)
    : QDialog(parent), m_model(model), m_icons(icons)
{
    setObjectName(QStringLiteral("TBConfigForm"));
    setWindowTitle(QStringLiteral("Bookmark"));
    auto* layout = new QVBoxLayout(this);
    m_top = new QLabel(QStringLiteral("Please feel free to change any of the text fields below."), this);
    layout->addWidget(m_top);
    auto* form = new QFormLayout;
    auto edit = [this](const QString& name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    m_title = edit(QStringLiteral("Desc1"));
    m_url = edit(QStringLiteral("URL1"));
    m_ip = edit(QStringLiteral("IP1"));
    m_extra = edit(QStringLiteral("EI2"));
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("EI1"));
    m_notes->setTabChangesFocus(true);
    m_notes->setMinimumHeight(80);
    m_title->setAccessibleName(QStringLiteral("Title"));
    m_url->setAccessibleName(QStringLiteral("URL"));
    m_ip->setAccessibleName(QStringLiteral("IP Address"));
    m_notes->setAccessibleName(QStringLiteral("Notes"));
    m_extra->setAccessibleName(QStringLiteral("Extra Info"));
    auto* notesLabel = new QLabel(QStringLiteral("Notes\n'Keywords'"), this);
    auto* urlLabel = new QLabel(QStringLiteral("URL"), this);
    auto* ipLabel = new QLabel(QStringLiteral("IP Address"), this);
    auto* extraLabel = new QLabel(QStringLiteral("Extra Info"), this);
    form->addRow(QStringLiteral("Title"), m_title);
    form->addRow(urlLabel, m_url);
    form->addRow(ipLabel, m_ip);
    form->addRow(notesLabel, m_notes);
    form->addRow(extraLabel, m_extra);
    layout->addLayout(form);

    auto* middle = new QHBoxLayout;
    m_icon = dialogButton(QStringLiteral("Icon"), QStringLiteral("IconButton"), this);
    m_color = dialogButton(QStringLiteral("Change Bookmark Color"), QStringLiteral("BMColor"), this);
    m_reset = dialogButton(QStringLiteral("Reset Bookmark Color"), QStringLiteral("ResetColor"), this);
    middle->addWidget(m_icon);
    middle->addWidget(m_color);
    middle->addWidget(m_reset);
    layout->addLayout(middle);
    m_pass = new QCheckBox(QStringLiteral("&Password Protect Bookmark?"), this);
    m_pass->setObjectName(QStringLiteral("PassBox"));
    m_pass->setAccessibleName(QStringLiteral("Password Protect Bookmark?"));
    layout->addWidget(m_pass);
    m_launch = new QGroupBox(QStringLiteral("Launch As:"), this);
    m_launch->setObjectName(QStringLiteral("LaunchBox"));
    auto* launchRow = new QHBoxLayout(m_launch);
    m_urlBox = new QCheckBox(QStringLiteral("URL Link"), m_launch);
    m_urlBox->setObjectName(QStringLiteral("URLBox"));
    m_ipBox = new QCheckBox(QStringLiteral("IP Address"), m_launch);
    m_ipBox->setObjectName(QStringLiteral("IPBox"));
    m_localBox = new QCheckBox(QStringLiteral("Local File"), m_launch);
    m_localBox->setObjectName(QStringLiteral("LocalBox"));
    for (QCheckBox* c : {m_urlBox, m_ipBox, m_localBox}) {
        c->setAccessibleName(c->text());
        launchRow->addWidget(c);
    }
    layout->addWidget(m_launch);

    auto* buttons = new QHBoxLayout;
    m_save = dialogButton(QStringLiteral("Save Text"), QStringLiteral("SaveBtn"), this);
    m_move = dialogButton(QStringLiteral("Move"), QStringLiteral("MoveBtn"), this);
    m_copy = dialogButton(QStringLiteral("Copy"), QStringLiteral("CopyBtn"), this);
    m_erase = dialogButton(QStringLiteral("Erase"), QStringLiteral("EraseBtn"), this);
    m_email = dialogButton(QStringLiteral("Email"), QStringLiteral("EMailBtn"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("CancelBtn"), this);
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    for (QPushButton* b : {m_save, m_move, m_copy, m_erase, m_email, cancel, help})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    m_protectedHidden = {m_url,  urlLabel, m_ip,    ipLabel, m_notes, notesLabel, m_extra, extraLabel, m_save,
                         m_icon, m_color,  m_reset, m_move,  m_copy,  m_erase,    m_email, m_launch,   m_top};

    connect(m_save, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::SaveBtnClick); });
    for (QLineEdit* e : {m_title, m_url, m_extra, m_ip})
        connect(e, &QLineEdit::returnPressed, this, [this] { run(&BookmarkDialog::SaveBtnClick); });
    connect(m_pass, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::PassBoxClick); });
    connect(m_color, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::BMColorClick); });
    connect(m_reset, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::ResetColorClick); });
    connect(m_icon, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::IconButtonClick); });
    connect(m_move, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::MoveBtnClick); });
    connect(m_copy, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::CopyBtnClick); });
    connect(m_erase, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::EraseBtnClick); });
    connect(m_email, &QPushButton::clicked, this, [this] { run(&BookmarkDialog::EMailBtnClick); });
    connect(m_urlBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::URLBoxClick); });
    connect(m_ipBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::IPBoxClick); });
    connect(m_localBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::LocalBoxClick); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_model.HelpBtnClick(); });
    connect(m_title, &QLineEdit::textChanged, this,
            [this] { m_pass->setVisible(m_model.passVisible && !m_model.fromList && !m_title->text().isEmpty()); });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] {
        // The notes hold at most 1000 characters.
        const QString text = m_notes->toPlainText();
        if (text.size() > BookmarkDialog::kNotesLimit) {
            m_notes->setPlainText(text.left(BookmarkDialog::kNotesLimit));
            m_notes->moveCursor(QTextCursor::End);
        }
    });
    display();
}

void BookmarkDialogWidget::take()
{
    m_model.Desc1 = m_title->text();
    m_model.URL1 = m_url->text();
    m_model.IP1 = m_ip->text();
    QString notes = m_notes->toPlainText();
    notes.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    m_model.EI1 = notes;
    m_model.EI2 = m_extra->text();
}

void BookmarkDialogWidget::display()
{
    m_title->setText(m_model.Desc1);
    m_url->setText(m_model.URL1);
    m_ip->setText(m_model.IP1);
    QString notes = m_model.EI1;
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_notes->setPlainText(notes);
    m_extra->setText(m_model.EI2);
    m_pass->setChecked(m_model.passChecked);
    m_urlBox->setChecked(m_model.launch == BookmarkDialog::Launch::Url);
    m_ipBox->setChecked(m_model.launch == BookmarkDialog::Launch::Ip);
    m_localBox->setChecked(m_model.launch == BookmarkDialog::Launch::Local);
    refresh();
    for (QWidget* w : m_protectedHidden)
        w->setVisible(!m_model.protectedView);
    m_reset->setVisible(!m_model.protectedView && m_model.resetColorVisible());
    m_pass->setVisible(m_model.passBoxVisible() && !m_model.fromList);
    if (m_model.fromList)
        for (QWidget* w : std::initializer_list<QWidget*>{m_move, m_copy, m_erase, m_email, m_launch})
            w->setVisible(false);
    m_title->setReadOnly(m_model.protectedView);
}

void BookmarkDialogWidget::refresh()
{
    m_icon->setIcon(QIcon(m_icons.glyph(m_model.glyph, IconRef{IconRef::Internal, 120, {}})));
    colorText(m_color, m_model.color);
    colorText(m_reset, m_model.defaultColor);
}

void BookmarkDialogWidget::run(bool (BookmarkDialog::*handler)())
{
    take();
    if ((m_model.*handler)())
        accept();
    else
        display();
}
