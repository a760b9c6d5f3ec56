#include "LinkCheckerWindow.h"

#include "AnsiText.h"
#include "DialogButton.h"
#include "LinkChecker.h"
#include "WinColor.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* resultList(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessible);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Page"), QStringLiteral("Title"), QStringLiteral("Link"),
                           QStringLiteral("Btn"), QStringLiteral("Response")});
    const int widths[] = {75, 105, 170, 35, 195};
    for (int i = 0; i < 5; ++i)
        list->setColumnWidth(i, widths[i]);
    list->setToolTip(QStringLiteral("Click on any bookmark in list to Launch, Delete or Edit."));
    return list;
}

void fill(QTreeWidget* list, const QList<LinkChecker::Row>& rows)
{
    if (list->topLevelItemCount() == rows.size())
        return;
    list->clear();
    for (const LinkChecker::Row& r : rows) {
        if (r.isMarker())
            new QTreeWidgetItem(list, {r.marker});
        else
            new QTreeWidgetItem(list, {AnsiText::toUi(r.page), AnsiText::toUi(r.title), AnsiText::toUi(r.link),
                                       QString::fromLatin1(r.slot), r.response});
    }
    list->scrollToBottom();
}

} // namespace

LinkCheckerWindow::LinkCheckerWindow(LinkChecker& checker, Dispatch dispatch, QWidget* parent)
    : QWidget(parent, Qt::Window), m_checker(checker), m_dispatch(std::move(dispatch))
{
    setObjectName(QStringLiteral("THttpAsyForm"));
    setWindowTitle(QStringLiteral("Click on \"Check Links\""));
    WinColor::paintLikeTabs(this, checker.colors());
    auto* layout = new QVBoxLayout(this);

    auto* counts = new QHBoxLayout;
    auto label = [this](const QString& name) {
        auto* l = new QLabel(QStringLiteral("0"), this);
        l->setObjectName(name);
        return l;
    };
    m_checked = label(QStringLiteral("TCountL"));
    m_badCount = label(QStringLiteral("BCountL"));
    m_updatedCount = label(QStringLiteral("UCountL"));
    counts->addWidget(new QLabel(QStringLiteral("Links checked:"), this));
    counts->addWidget(m_checked);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("Bad links:"), this));
    counts->addWidget(m_badCount);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("Updated links:"), this));
    counts->addWidget(m_updatedCount);
    counts->addStretch();
    layout->addLayout(counts);

    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("EGauge"));
    m_gauge->setAccessibleName(QStringLiteral("Links checked"));
    m_gauge->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: #2e9e3e; }"));
    layout->addWidget(m_gauge);

    auto* settings = new QHBoxLayout;
    m_wait = new QSpinBox(this);
    m_wait->setObjectName(QStringLiteral("UpDown"));
    m_wait->setRange(LinkChecker::kMinWait, LinkChecker::kMaxWait);
    m_wait->setValue(checker.waitSeconds());
    m_wait->setPrefix(QStringLiteral("Wait up to "));
    m_wait->setSuffix(QStringLiteral(" seconds for link to reply"));
    m_wait->setAccessibleName(QStringLiteral("Wait time in seconds"));
    m_parallel = new QSpinBox(this);
    m_parallel->setObjectName(QStringLiteral("Parallel"));
    m_parallel->setRange(1, LinkChecker::kMaxParallel);
    m_parallel->setValue(checker.parallel());
    m_parallel->setPrefix(QStringLiteral("Check up to "));
    m_parallel->setSuffix(QStringLiteral(" links at a time"));
    m_parallel->setAccessibleName(QStringLiteral("Links checked at a time"));
    settings->addWidget(m_wait);
    settings->addWidget(m_parallel);
    settings->addStretch();
    layout->addLayout(settings);
    connect(m_wait, &QSpinBox::valueChanged, this,
            [this](int v) { m_dispatch([this, v] { m_checker.UpDownClick(v); }); });
    // Kept in the settings file: a write that fails is said like any other.
    connect(m_parallel, &QSpinBox::valueChanged, this,
            [this](int v) { m_dispatch([this, v] { m_checker.setParallel(v); }); });

    m_bad = resultList(QStringLiteral("View1"), QStringLiteral("Bad links"), this);
    m_updated = resultList(QStringLiteral("View2"), QStringLiteral("Updated links"), this);
    layout->addWidget(new QLabel(QStringLiteral("Bad links"), this));
    layout->addWidget(m_bad, 1);
    layout->addWidget(new QLabel(QStringLiteral("Updated links"), this));
    layout->addWidget(m_updated, 1);
    for (QTreeWidget* list : {m_bad, m_updated}) {
        const bool updated = list == m_updated;
        // A click, or Enter on the selected row.
        auto act = [this, list, updated](QTreeWidgetItem* item) {
            const int row = list->indexOfTopLevelItem(item);
            m_dispatch([this, updated, row] { m_checker.rowClicked(updated, row); });
        };
        connect(list, &QTreeWidget::itemClicked, this, act);
        connect(list, &QTreeWidget::itemActivated, this, act);
    }

    auto* buttons = new QHBoxLayout;
    auto* search = dialogButton(QStringLiteral("Check Links"), QStringLiteral("SearchButton"), this);
    search->setToolTip(QStringLiteral("Press to Check Links"));
    auto* abort = dialogButton(QStringLiteral("Stop Checking"), QStringLiteral("AbortButton"), this);
    auto* moveBad = dialogButton(QStringLiteral("Move Bad Links"), QStringLiteral("MoveB"), this);
    auto* moveUpdated = dialogButton(QStringLiteral("Move Updated Links"), QStringLiteral("MoveU"), this);
    auto* help = dialogButton(QStringLiteral("Help"), QStringLiteral("HelpButton"), this);
    auto* close = dialogButton(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
    for (QPushButton* b : {search, abort, moveBad, moveUpdated, help, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(search, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_checker.SearchButtonClick(); }); });
    connect(abort, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_checker.AbortButtonClick(); }); });
    connect(moveBad, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_checker.MoveClick(false); }); });
    connect(moveUpdated, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_checker.MoveClick(true); }); });
    connect(help, &QPushButton::clicked, this, [this] { m_dispatch([this] { m_checker.HelpClick(); }); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_checker, &LinkChecker::changed, this, &LinkCheckerWindow::render);
    resize(640, 520);
    render();
}

void LinkCheckerWindow::render()
{
    if (!m_checker.caption.isEmpty())
        setWindowTitle(m_checker.caption);
    const QString total = QStringLiteral(" of %1").arg(m_checker.total());
    m_checked->setText(QString::number(m_checker.checkedCount()) + total);
    m_badCount->setText(QString::number(m_checker.badCount()));
    m_updatedCount->setText(QString::number(m_checker.updatedCount()));
    m_gauge->setMaximum(std::max(1, m_checker.total()));
    m_gauge->setValue(m_checker.checkedCount());
    if (!m_parallel->hasFocus()) {
        // Showing the stored value is no change by the user.
        const QSignalBlocker quiet(m_parallel);
        m_parallel->setValue(m_checker.parallel());
    }
    fill(m_bad, m_checker.badRows());
    fill(m_updated, m_checker.updatedRows());
}

void LinkCheckerWindow::closeEvent(QCloseEvent* event)
{
    m_dispatch([this] { m_checker.CloseBtnClick(); });
    event->accept();
}
