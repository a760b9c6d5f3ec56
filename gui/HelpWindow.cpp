#include "HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    Q_INIT_RESOURCE(help);
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Lynkor Help"));
    resize(720, 520);
    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_search = new QLineEdit(side);
    m_search->setPlaceholderText(QStringLiteral("Search help"));
    m_search->setAccessibleName(QStringLiteral("Search help"));
    m_topics = new QListWidget(side);
    m_topics->setAccessibleName(QStringLiteral("Help topics"));
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_topics);
    m_browser = new QTextBrowser(this);
    m_browser->setAccessibleName(QStringLiteral("Help page"));
    m_browser->setOpenExternalLinks(true);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    const QStringList files = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
    for (const QString& f : files) {
        QFile file(QStringLiteral(":/help/") + f);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString html = QString::fromUtf8(file.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        QString title = doc.metaInformation(QTextDocument::DocumentTitle);
        if (title.isEmpty())
            title = f;
        m_pages.push_back({QStringLiteral("qrc:/help/") + f, title, doc.toPlainText()});
    }
    std::sort(m_pages.begin(), m_pages.end(),
              [](const Topic& a, const Topic& b) { return a.title.localeAwareCompare(b.title) < 0; });
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::filter);
    connect(m_topics, &QListWidget::currentRowChanged, this, [this](int) {
        if (QListWidgetItem* item = m_topics->currentItem())
            open(item->data(Qt::UserRole).toString());
    });
    filter(QString());
}

QString HelpWindow::pageFor(int context)
{
    const QString page = QStringLiteral(":/help/%1.html").arg(context);
    return QFile::exists(page) ? page : QString();
}

void HelpWindow::open(const QString& page)
{
    m_browser->setSource(QUrl(page));
}

void HelpWindow::filter(const QString& text)
{
    m_topics->blockSignals(true);
    m_topics->clear();
    for (const Topic& t : m_pages) {
        if (text.isEmpty() || t.title.contains(text, Qt::CaseInsensitive) ||
            t.text.contains(text, Qt::CaseInsensitive)) {
            auto* item = new QListWidgetItem(t.title, m_topics);
            item->setData(Qt::UserRole, t.page);
        }
    }
    m_topics->blockSignals(false);
}

void HelpWindow::showContext(int context)
{
    QString page = pageFor(context);
    if (page.isEmpty())
        page = pageFor(1);
    open(QStringLiteral("qrc") + page);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showSearch()
{
    if (m_browser->source().isEmpty())
        open(QStringLiteral("qrc:/help/1.html"));
    show();
    raise();
    activateWindow();
    m_search->setFocus();
    m_search->selectAll();
}
