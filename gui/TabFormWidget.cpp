#include "TabFormWidget.h"

#include "AnsiText.h"
#include "DialogButton.h"
#include "GuiPrompter.h"
#include "TabForm.h"
#include "WinColor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A choice acts at once and closes the dialog, so it is a button (pressed
// by a click, Space or the accessibility press action), never a radio item
// that the arrow keys would choose while walking past it.
QPushButton* choiceItem(const QString& text, QWidget* parent)
{
    QPushButton* b = dialogButton(text, {}, parent);
    b->setStyleSheet(QStringLiteral("text-align: left; padding: 3px 8px;"));
    return b;
}

} // namespace

TabFormWidget::TabFormWidget(TabForm& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TTabForm"));
    WinColor::paintLikeTabs(this, model.colors);

    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* group1 = new QGroupBox(QStringLiteral("Action for entire Page:"), this);
    group1->setObjectName(QStringLiteral("Group1"));
    auto* group1Layout = new QVBoxLayout(group1);
    for (int i = 0; i < TabForm::Group1Items().size(); ++i) {
        QPushButton* b = choiceItem(TabForm::Group1Items()[i], group1);
        group1Layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i] { closeIf(m_model.Group1Click(i)); });
    }
    left->addWidget(group1);

    m_password = new QCheckBox(QStringLiteral("Password Protect Page"), this);
    m_password->setObjectName(QStringLiteral("PasswordBox"));
    m_password->setAccessibleName(m_password->text());
    connect(m_password, &QCheckBox::clicked, this, [this] { closeIf(m_model.PasswordBoxClick()); });
    left->addWidget(m_password);

    auto* colors = new QGroupBox(QStringLiteral("Colors"), this);
    auto* colorsLayout = new QGridLayout(colors);
    auto* selColor = dialogButton(QStringLiteral("Selected Tab"), QStringLiteral("SelColorBtn"), colors);
    auto* unselColor = dialogButton(QStringLiteral("Other Tabs"), QStringLiteral("UnselColorBtn"), colors);
    auto* font = dialogButton(QStringLiteral("Aa Bb "), QStringLiteral("FontBtn"), colors);
    selColor->setToolTip(QStringLiteral("Change the colour of the selected tab"));
    unselColor->setToolTip(QStringLiteral("Change the colour of the other tabs"));
    font->setToolTip(QStringLiteral("Change the font of the tabs"));
    font->setAccessibleName(QStringLiteral("Tab font"));
    colorsLayout->addWidget(selColor, 0, 0);
    colorsLayout->addWidget(unselColor, 0, 1);
    colorsLayout->addWidget(font, 1, 0, 1, 2);
    connect(selColor, &QPushButton::clicked, this, [this] { closeIf(m_model.SelColorBtnClick()); });
    connect(unselColor, &QPushButton::clicked, this, [this] { closeIf(m_model.UnselColorBtnClick()); });
    connect(font, &QPushButton::clicked, this, [this] { closeIf(m_model.FontBtnClick()); });
    left->addWidget(colors);

    auto* buttons = new QHBoxLayout;
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    buttons->addWidget(help);
    buttons->addWidget(close);
    connect(help, &QPushButton::clicked, this, [this] { m_model.HelpClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    left->addStretch();
    left->addLayout(buttons);
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("BtnList"));
    m_list->setAccessibleName(QStringLiteral("Bookmarks of the page"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Btn"), QStringLiteral("Bookmark Title")});
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 40);
    for (const TabForm::Row& row : model.rows)
        new QTreeWidgetItem(m_list, {AnsiText::toUi(row.slot), AnsiText::toUi(row.title)});
    m_list->setMinimumSize(260, 260);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        QSet<int> rows;
        for (QTreeWidgetItem* item : m_list->selectedItems())
            rows.insert(m_list->indexOfTopLevelItem(item));
        m_model.BtnListSelectItem(rows);
        display();
    });
    right->addWidget(m_list, 1);

    m_group2 = new QGroupBox(this);
    m_group2->setObjectName(QStringLiteral("Group2"));
    auto* group2Layout = new QGridLayout(m_group2);
    for (int i = 0; i < TabForm::Group2Items().size(); ++i) {
        QPushButton* b = choiceItem(TabForm::Group2Items()[i], m_group2);
        group2Layout->addWidget(b, i / 2, i % 2);
        connect(b, &QPushButton::clicked, this, [this, i] { closeIf(m_model.Group2Click(i)); });
        m_group2Items << b;
    }
    right->addWidget(m_group2);
    columns->addLayout(right, 1);

    display();
    m_list->setFocus();
}

void TabFormWidget::display()
{
    setWindowTitle(m_model.caption);
    m_group2->setTitle(m_model.group2Caption);
    // Actions on bookmarks wait for bookmarks to act on.
    for (QPushButton* b : m_group2Items)
        b->setEnabled(!m_model.selected.isEmpty());
    m_password->setChecked(m_model.PasswordBox);
}

void TabFormWidget::closeIf(bool closes)
{
    if (closes)
        accept();
    else
        display();
}

void TabFormWidget::done(int result)
{
    m_model.FormClose();
    QDialog::done(result);
}

void GuiPrompter::tabForm(TabForm& form)
{
    TabFormWidget widget(form, dialogParent());
    run(widget);
}
