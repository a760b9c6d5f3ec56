#include "InternetSearchWidget.h"

#include "DialogButton.h"
#include "GuiPrompter.h"
#include "InternetSearch.h"
#include "WinColor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

InternetSearchWidget::InternetSearchWidget(InternetSearch& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("TSearchForm"));
    WinColor::paintLikeTabs(this, model.colors);

    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("SiteList"));
    m_list->setAccessibleName(QStringLiteral("Search Sites"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Search Sites")});
    m_list->setColumnWidth(0, 225);
    m_list->setMinimumSize(240, 220);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (m_filling)
            return;
        QSet<int> rows;
        for (QTreeWidgetItem* item : m_list->selectedItems())
            rows.insert(m_list->indexOfTopLevelItem(item));
        m_model.SiteListClick(rows);
    });
    left->addWidget(m_list, 1);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Label10"));
    left->addWidget(m_count);

    m_topicLabel = new QLabel(QStringLiteral("Enter Search Topic:"), this);
    m_topic = new QLineEdit(this);
    m_topic->setObjectName(QStringLiteral("SearchText1"));
    m_topic->setAccessibleName(QStringLiteral("Enter Search Topic"));
    m_topicLabel->setBuddy(m_topic);
    left->addWidget(m_topicLabel);
    left->addWidget(m_topic);
    connect(m_topic, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.topic = text; });
    connect(m_topic, &QLineEdit::returnPressed, this, [this] { m_model.SearchText1Enter(); });

    m_nameLabel = new QLabel(QStringLiteral("New Site Name:"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("SiteName1"));
    m_name->setAccessibleName(QStringLiteral("New Site Name"));
    m_name->setToolTip(QStringLiteral("Enter New Site Name Here!"));
    m_nameLabel->setBuddy(m_name);
    left->addWidget(m_nameLabel);
    left->addWidget(m_name);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.siteName = text; });
    connect(m_name, &QLineEdit::returnPressed, this, [this] { m_model.SiteName1Enter(); });
    columns->addLayout(left, 1);

    auto* buttons = new QVBoxLayout;
    m_search = dialogButton(QStringLiteral("Search"), QStringLiteral("SearchButton1"), this);
    m_search->setToolTip(QStringLiteral("Press to start Search"));
    m_add = dialogButton(QStringLiteral("Add"), QStringLiteral("AddButton1"), this);
    m_add->setToolTip(QStringLiteral("Search in your browser, type the same topic here, then press Add"));
    m_delete = dialogButton(QStringLiteral("Delete"), QStringLiteral("DeleteButton1"), this);
    m_rename = dialogButton(QStringLiteral("Rename"), QStringLiteral("RenameButton1"), this);
    m_new = dialogButton(QStringLiteral("New File"), QStringLiteral("NewButton1"), this);
    m_load = dialogButton(QStringLiteral("Load File"), QStringLiteral("LoadButton1"), this);
    m_merge = dialogButton(QStringLiteral("Merge File"), QStringLiteral("MergeButton1"), this);
    m_save = dialogButton(QStringLiteral("Save File As"), QStringLiteral("SaveButton1"), this);
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpButton1"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseButton1"), this);
    for (QPushButton* b : {m_search, m_add, m_delete, m_rename, m_new, m_load, m_merge, m_save})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);
    columns->addLayout(buttons);

    connect(m_search, &QPushButton::clicked, this, [this] { m_model.SearchButton1Click(); });
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.AddButton1Click(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { m_model.DeleteButton1Click(); });
    connect(m_rename, &QPushButton::clicked, this, [this] { m_model.RenameButton1Click(); });
    connect(m_new, &QPushButton::clicked, this, [this] { m_model.NewButton1Click(); });
    connect(m_load, &QPushButton::clicked, this, [this] { m_model.LoadButton1Click(); });
    connect(m_merge, &QPushButton::clicked, this, [this] { m_model.MergeButton1Click(); });
    connect(m_save, &QPushButton::clicked, this, [this] { m_model.SaveButton1Click(); });
    connect(help, &QPushButton::clicked, this, [this] { m_model.HelpButton1Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_model, &InternetSearch::changed, this, &InternetSearchWidget::display);
    connect(&m_model, &InternetSearch::closeRequested, this, &QDialog::accept);

    display();
    m_topic->setFocus();
}

void InternetSearchWidget::display()
{
    setWindowTitle(m_model.caption);
    // The list is filled again only when its sites changed.
    QStringList shown;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        shown << m_list->topLevelItem(i)->text(0);
    m_filling = true;
    if (shown != m_model.sites) {
        m_list->clear();
        for (const QString& site : m_model.sites)
            new QTreeWidgetItem(m_list, {site});
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setSelected(m_model.selected.contains(i));
    m_filling = false;

    const bool adding = m_model.adding;
    const bool renaming = m_model.renaming;
    m_count->setText(m_model.selectedLabel);
    m_list->setVisible(!adding);
    m_count->setVisible(!adding);
    m_topicLabel->setVisible(!renaming);
    m_topic->setVisible(!renaming);
    if (m_topic->text() != m_model.topic)
        m_topic->setText(m_model.topic);
    m_nameLabel->setVisible(adding || renaming);
    m_name->setVisible(adding || renaming);
    if (m_name->text() != m_model.siteName)
        m_name->setText(m_model.siteName);
    m_search->setVisible(!adding);
    m_add->setText(m_model.addCaption());
    m_add->setAccessibleName(m_model.addCaption());
    m_add->setEnabled(m_model.addEnabled);
    m_delete->setVisible(!adding);
    m_delete->setEnabled(m_model.deleteEnabled);
    m_rename->setText(m_model.renameCaption());
    m_rename->setAccessibleName(m_model.renameCaption());
    m_rename->setEnabled(m_model.renameEnabled);
    for (QPushButton* b : {m_new, m_load, m_merge, m_save}) {
        b->setVisible(!adding && !renaming);
        b->setEnabled(m_model.fileButtonsEnabled);
    }
    if ((adding || renaming) && !m_name->hasFocus())
        m_name->setFocus();
}

void GuiPrompter::internetSearch(InternetSearch& search)
{
    InternetSearchWidget widget(search, dialogParent());
    run(widget);
}
