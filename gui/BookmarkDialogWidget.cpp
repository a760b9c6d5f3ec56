#include "BookmarkDialogWidget.h"

#include "AnsiText.h"
#include "BookmarkDialog.h"
#include "GlyphChooser.h"
#include "IconLibrary.h"
#include "IconLoader.h"
#include "PathNames.h"
#include "WinColor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

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
    m_icon = button(QStringLiteral("Icon"), QStringLiteral("IconButton"), this);
    m_color = button(QStringLiteral("Change Bookmark Color"), QStringLiteral("BMColor"), this);
    m_reset = button(QStringLiteral("Reset Bookmark Color"), QStringLiteral("ResetColor"), this);
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
    m_save = button(QStringLiteral("Save Text"), QStringLiteral("SaveBtn"), this);
    m_move = button(QStringLiteral("Move"), QStringLiteral("MoveBtn"), this);
    m_copy = button(QStringLiteral("Copy"), QStringLiteral("CopyBtn"), this);
    m_erase = button(QStringLiteral("Erase"), QStringLiteral("EraseBtn"), this);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelBtn"), this);
    auto* help = button(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    for (QPushButton* b : {m_save, m_move, m_copy, m_erase, cancel, help})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    m_protectedHidden = {m_url, urlLabel, m_ip, ipLabel, m_notes, notesLabel, m_extra, extraLabel, m_save,
                         m_icon, m_color, m_reset, m_move, m_copy, m_erase, m_launch, m_top};

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
    connect(m_urlBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::URLBoxClick); });
    connect(m_ipBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::IPBoxClick); });
    connect(m_localBox, &QCheckBox::clicked, this, [this] { run(&BookmarkDialog::LocalBoxClick); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_model.HelpBtnClick(); });
    connect(m_title, &QLineEdit::textChanged, this, [this] {
        m_pass->setVisible(m_model.passVisible && !m_title->text().isEmpty());
    });
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
    m_pass->setVisible(m_model.passBoxVisible());
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

GlyphChooserWidget::GlyphChooserWidget(GlyphChooser& model, IconLibrary& icons, QWidget* parent)
    : QDialog(parent), m_model(model), m_icons(icons)
{
    setObjectName(QStringLiteral("TGlyphForm"));
    setWindowTitle(QStringLiteral("Select an Icon"));
    auto* layout = new QVBoxLayout(this);
    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("PathLabel"));
    m_path->setTextFormat(Qt::PlainText);
    layout->addWidget(m_path);
    m_strip = new QListWidget(this);
    m_strip->setObjectName(QStringLiteral("ImagesScroll1"));
    m_strip->setAccessibleName(QStringLiteral("Images"));
    m_strip->setViewMode(QListView::IconMode);
    m_strip->setFlow(QListView::LeftToRight);
    m_strip->setWrapping(false);
    m_strip->setIconSize(QSize(30, 30));
    m_strip->setFixedHeight(60);
    m_strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_strip);
    auto* row = new QHBoxLayout;
    auto* files = button(QStringLiteral("Images from Files"), QStringLiteral("FileBtn"), this);
    auto* internal = button(QStringLiteral("Internal Icons"), QStringLiteral("DefaultBtn"), this);
    auto* noIcon = button(QStringLiteral("Default Icon"), QStringLiteral("NoIconBtn"), this);
    auto* close = button(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    auto* help = button(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    row->addWidget(files);
    row->addWidget(internal);
    row->addWidget(new QLabel(QStringLiteral("then select image from list,  or use"), this));
    row->addWidget(noIcon);
    row->addWidget(close);
    row->addWidget(help);
    layout->addLayout(row);
    resize(640, 140);
    connect(files, &QPushButton::clicked, this, [this] {
        if (m_model.FileBtnClick())
            fill();
    });
    connect(internal, &QPushButton::clicked, this, [this] {
        m_model.DefaultBtnClick();
        fill();
    });
    connect(noIcon, &QPushButton::clicked, this, [this] {
        m_model.NoIconBtnClick();
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_model.HelpBtnClick(); });
    connect(m_strip, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_model.select(m_strip->row(item));
        accept();
    });
    fill();
}

void GlyphChooserWidget::fill()
{
    m_strip->clear();
    m_path->setText(AnsiText::toUi(m_model.filePath));
    if (m_model.strip == GlyphChooser::Strip::Internal) {
        for (int i = 0; i < m_icons.firstListSize(); ++i) {
            auto* item = new QListWidgetItem(QIcon(m_icons.internal(i)), QString(), m_strip);
            item->setToolTip(QString::number(i));
        }
        return;
    }
    auto* placeholder = new QListWidgetItem(QIcon(m_icons.blank()), QString(), m_strip);
    placeholder->setToolTip(QStringLiteral("0"));
    const QList<QImage> images = m_model.fileImageCount > 1
                                     ? IconLoader::fileImages(PathNames::toQt(m_model.filePath))
                                     : QList<QImage>();
    for (int i = 0; i < images.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(images[i])), QString(), m_strip);
        item->setToolTip(QString::number(i + 1));
    }
}
