#include "AlphaFormWidget.h"

#include "AlphaForm.h"
#include "DialogButton.h"
#include "WinColor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

AlphaFormWidget::AlphaFormWidget(AlphaForm& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TAlphaForm"));
    WinColor::paintLikeTabs(this, model.colors);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select Multiple Pages to Apply?  [OPTIONAL]"), this));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("PageListView"));
    m_list->setAccessibleName(QStringLiteral("Pages"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Page Tab Name"), QStringLiteral("Pg.")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    for (int i = 0; i < model.pages.size(); ++i)
        new QTreeWidgetItem(m_list, {model.pages[i], QString::number(i + 1)});
    m_list->setMinimumHeight(220);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        m_model.selected.clear();
        for (QTreeWidgetItem* item : m_list->selectedItems())
            m_model.selected.insert(m_list->indexOfTopLevelItem(item));
        m_model.PageListViewClick();
        display();
    });

    auto* group = new QGroupBox(QStringLiteral("Bookmark Color?"), this);
    group->setObjectName(QStringLiteral("ColorGroup"));
    auto* groupLayout = new QHBoxLayout(group);
    for (int i = 0; i < AlphaForm::ColorChoices().size(); ++i) {
        auto* r = new QRadioButton(AlphaForm::ColorChoices()[i], group);
        groupLayout->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] {
            m_model.ColorGroupClick(i);
            display();
        });
        m_colors << r;
    }
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    auto* action = dialogButton(model.actionText, QStringLiteral("AlphaBtn"), this);
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("AlphaHelpBtn"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("AlphaCloseBtn"), this);
    for (QPushButton* b : {action, help, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(action, &QPushButton::clicked, this, [this] {
        if (m_model.AlphaBtnClick())
            accept();
    });
    connect(help, &QPushButton::clicked, this, [this] { m_model.AlphaHelpBtnClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    display();
    m_list->setFocus();
}

void AlphaFormWidget::display()
{
    setWindowTitle(m_model.caption);
    if (m_model.colorGroup >= 0 && m_model.colorGroup < m_colors.size())
        m_colors[m_model.colorGroup]->setChecked(true);
}
