#include "SearchWindow.h"

#include "AnsiText.h"
#include "BookmarkSearch.h"
#include "DialogButton.h"
#include "WinColor.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

// ListView2: the search's result rows, read in place (a search that finds
// thousands of bookmarks makes no item per row).
class SearchResultsModel : public QAbstractTableModel
{
public:
    explicit SearchResultsModel(BookmarkSearch& search, QObject* parent) : QAbstractTableModel(parent), m_search(search)
    {
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_search.results().size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const QStringList headers{QStringLiteral("URL"), QStringLiteral("Title"), QStringLiteral("Page"),
                                         QStringLiteral("Btn"), QStringLiteral("Notes")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return headers.value(section);
        return {};
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_search.results().size())
            return {};
        const BookmarkSearch::Result& r = m_search.results()[index.row()];
        if (role == Qt::AccessibleTextRole && r.separator && index.column() == 0)
            return QStringLiteral("Separator");
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
            return {};
        if (r.separator)
            return QString();
        switch (index.column()) {
        case 0:
            return r.row.url;
        case 1:
            return r.row.title;
        case 2:
            return AnsiText::toUi(r.row.page);
        case 3:
            return QString::fromLatin1(r.row.slot);
        default:
            return r.row.notes;
        }
    }

private:
    BookmarkSearch& m_search;
};

SearchWindow::SearchWindow(BookmarkSearch& search, Dispatch dispatch, QWidget* parent)
    : QWidget(parent, Qt::Window), m_search(search), m_dispatch(std::move(dispatch))
{
    setObjectName(QStringLiteral("TDupe"));
    auto* layout = new QVBoxLayout(this);

    auto* group = new QGroupBox(QStringLiteral("Search for What?"), this);
    group->setObjectName(QStringLiteral("SearchGroup"));
    auto* modes = new QHBoxLayout(group);
    const QStringList captions = BookmarkSearch::ModeCaptions();
    for (int i = 0; i < captions.size(); ++i) {
        auto* r = new QRadioButton(captions[i], group);
        r->setObjectName(QStringLiteral("Mode") + captions[i]);
        modes->addWidget(r);
        const auto mode = BookmarkSearch::Mode(i);
        connect(r, &QRadioButton::clicked, this, [this, mode] {
            m_dispatch([this, mode] { m_search.SearchGroupClick(mode); });
            render();
        });
        m_modes << r;
    }
    m_modes.back()->setToolTip(
        QStringLiteral("Links that name the same page: http and https, with or without \"www.\", a trailing \"/\", "
                       "a #fragment or tracking parameters"));
    layout->addWidget(group);

    auto* row = new QHBoxLayout;
    m_case = new QCheckBox(QStringLiteral("Case Sensitive - Search Text:"), this);
    m_case->setObjectName(QStringLiteral("CaseBox"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Edit1"));
    m_text->setAccessibleName(QStringLiteral("Search text"));
    m_text->setClearButtonEnabled(true);
    auto* searchButton = new QToolButton(this);
    searchButton->setObjectName(QStringLiteral("SearchButton"));
    searchButton->setToolTip(QStringLiteral("Search for Bookmarks"));
    searchButton->setAccessibleName(searchButton->toolTip());
    searchButton->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/silk/magnifier.png"))));
    searchButton->setFocusPolicy(Qt::TabFocus);
    row->addWidget(m_case);
    row->addWidget(m_text, 1);
    row->addWidget(searchButton);
    layout->addLayout(row);
    connect(m_case, &QCheckBox::clicked, this, [this](bool checked) {
        m_dispatch([this, checked] { m_search.CaseBoxClick(checked); });
        render();
    });
    connect(m_text, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_dispatch([this, text] { m_search.Edit1Change(text); });
        render();
    });
    connect(m_text, &QLineEdit::returnPressed, this, [this] {
        m_dispatch([this] { m_search.SearchButtonClick(); });
        render();
    });
    connect(searchButton, &QToolButton::clicked, this, [this] {
        m_dispatch([this] { m_search.SearchButtonClick(); });
        render();
    });

    m_model = new SearchResultsModel(search, this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    m_list->setAccessibleName(QStringLiteral("Bookmarks found"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(m_model);
    const int widths[] = {200, 150, 110, 30, 100};
    for (int i = 0; i < 5; ++i)
        m_list->setColumnWidth(i, widths[i]);
    layout->addWidget(m_list, 1);
    // A click, or Enter on the selected row.
    connect(m_list, &QTreeView::clicked, this, [this](const QModelIndex& index) { rowChosen(index.row()); });
    connect(m_list, &QTreeView::activated, this, [this](const QModelIndex& index) { rowChosen(index.row()); });
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Found"));
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout;
    auto* move = dialogButton(QStringLiteral("Move"), QStringLiteral("MoveBtn"), this);
    move->setToolTip(QStringLiteral("Move, copy or erase every bookmark of the list"));
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpBtn"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    buttons->addWidget(move);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(move, &QPushButton::clicked, this, [this] {
        m_dispatch([this] { m_search.MoveBtnClick(); });
        render();
    });
    connect(help, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_search.HelpBtnClick(); }); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_search, &BookmarkSearch::changed, this, &SearchWindow::render);
    resize(660, 460);
    render();
}

void SearchWindow::open()
{
    WinColor::paintLikeTabs(this, m_search.colors());
    m_dispatch([this] { m_search.FormActivate(); });
    render();
    show();
    raise();
    activateWindow();
    m_text->setFocus();
    m_text->selectAll();
}

void SearchWindow::rowChosen(int row)
{
    m_dispatch([this, row] { m_search.ListView2Click(row); });
    render();
}

void SearchWindow::render()
{
    setWindowTitle(m_search.caption);
    const int mode = int(m_search.mode());
    if (mode < m_modes.size() && !m_modes[mode]->isChecked())
        m_modes[mode]->setChecked(true);
    m_text->setVisible(m_search.textVisible());
    m_case->setVisible(m_search.textVisible());
    if (m_text->text() != m_search.text()) {
        const QSignalBlocker quiet(m_text);
        m_text->setText(m_search.text());
    }
    m_case->setChecked(m_search.caseSensitive());
    if (m_shownResults != m_search.resultsVersion()) {
        m_shownResults = m_search.resultsVersion();
        m_model->reset();
    }
    m_list->setVisible(m_search.resultsVisible());
    m_list->setToolTip(m_search.hint());
    m_status->setText(m_search.status());
}

void SearchWindow::closeEvent(QCloseEvent* event)
{
    m_dispatch([this] { m_search.CloseBtnClick(); });
    unsetCursor();
    event->accept();
}
