#include "GlyphChooserWidget.h"

#include "AnsiText.h"
#include "DialogButton.h"
#include "GlyphChooser.h"
#include "IconLibrary.h"
#include "IconLoader.h"
#include "PathNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

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
    auto* files = dialogButton(QStringLiteral("Images from Files"), QStringLiteral("FileBtn"), this);
    auto* internal = dialogButton(QStringLiteral("Internal Icons"), QStringLiteral("DefaultBtn"), this);
    auto* noIcon = dialogButton(QStringLiteral("Default Icon"), QStringLiteral("NoIconBtn"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
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
    const QList<QImage> images =
        m_model.fileImageCount > 1 ? IconLoader::fileImages(PathNames::toQt(m_model.filePath)) : QList<QImage>();
    for (int i = 0; i < images.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(images[i])), QString(), m_strip);
        item->setToolTip(QString::number(i + 1));
    }
}
