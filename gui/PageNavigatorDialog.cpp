#include "PageNavigatorDialog.h"

#include "PageNavigator.h"
#include "WinColor.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

PageNavigatorDialog::PageNavigatorDialog(PageNavigator& navigator, QWidget* parent)
    : QDialog(parent), m_model(navigator)
{
    setObjectName(QStringLiteral("TNavPage"));
    setWindowTitle(navigator.caption);
    WinColor::paintLikeTabs(this, navigator.colors);
    auto* layout = new QVBoxLayout(this);
    m_sorted = new QCheckBox(QStringLiteral("List Page Tabs Alphabetically?"), this);
    m_sorted->setObjectName(QStringLiteral("CheckBox1"));
    m_sorted->setChecked(navigator.alphabetical);
    layout->addWidget(m_sorted);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("PageListView"));
    m_list->setAccessibleName(QStringLiteral("Pages"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("Page Tab Name"), QStringLiteral("Pg.")});
    m_list->setColumnWidth(0, 130);
    m_list->setColumnWidth(1, 30);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    layout->addWidget(m_list, 1);
    connect(m_sorted, &QCheckBox::clicked, this, [this](bool checked) {
        m_model.CheckBox1Click(checked);
        fill();
    });
    // A click or Enter on a row.
    auto go = [this](QTreeWidgetItem* item) {
        if (m_model.PageListViewClick(m_list->indexOfTopLevelItem(item)))
            accept();
    };
    connect(m_list, &QTreeWidget::itemClicked, this, go);
    connect(m_list, &QTreeWidget::itemActivated, this, go);
    fill();
    resize(230, 420);
    m_list->setFocus();
}

void PageNavigatorDialog::fill()
{
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_model.rows.size());
    QTreeWidgetItem* current = nullptr;
    for (const PageNavigator::Row& r : std::as_const(m_model.rows)) {
        auto* item = new QTreeWidgetItem({r.name, QString::number(r.number)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        if (r.number == m_model.chosen + 1)
            current = item;
        items << item;
    }
    m_list->addTopLevelItems(items);
    // The keyboard starts at the page shown.
    if (current) {
        m_list->setCurrentItem(current);
        m_list->scrollToItem(current);
    }
}
