#include "MainWindow.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkButton.h"
#include "CommandError.h"
#include "IconLibrary.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"
#include "TabStrip.h"
#include "WinColor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString plainToolTip(const QByteArray& hint)
{
    if (hint.isEmpty())
        return {};
    QString text = AnsiText::toUi(hint);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Never let a note be taken for markup.
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QPixmap led(bool on)
{
    QPixmap p(12, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(on ? QColor(0, 200, 0) : QColor(150, 150, 150));
    painter.drawEllipse(1, 1, 10, 10);
    return p;
}

} // namespace

KeyCatcher::KeyCatcher(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Keys"));
    setAccessibleName(QStringLiteral("Keys"));
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(1, 1);
}

void KeyCatcher::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event);
}

MainWindow::MainWindow(Board& board, Prompter& prompter, IconLibrary& icons)
    : m_board(board), m_state(board.state()), m_prompter(prompter), m_icons(icons)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowIcon(m_icons.internal(120));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    m_toolBar->setParent(central);
    layout->addWidget(m_toolBar);
    m_panel = new QWidget(central);
    m_panel->setObjectName(QStringLiteral("Panel2"));
    m_panel->setAccessibleName(QStringLiteral("Bookmarks"));
    m_panel->setFixedHeight(m_state.panelHeight());
    layout->addWidget(m_panel);
    m_tabs = new TabStrip(central);
    layout->addWidget(m_tabs);
    layout->addStretch(1);
    m_keys = new KeyCatcher(central);
    m_keys->move(0, 0);
    m_keys->lower();
    setCentralWidget(central);
    buildMenus();

    connect(m_keys, &KeyCatcher::keyPressed, this, &MainWindow::onKey);
    connect(m_tabs, &TabStrip::tabRequested, this,
            [this](int index) { dispatch([this, index] { m_board.pages().selectTab(index); }); });

    connect(&m_state, &BoardState::buttonsRebuilt, this, &MainWindow::rebuildButtons);
    connect(&m_state, &BoardState::faceChanged, this, &MainWindow::renderFace);
    connect(&m_state, &BoardState::facesChanged, this, &MainWindow::renderFaces);
    connect(&m_state, &BoardState::defaultIconChanged, this, &MainWindow::renderFaces);
    connect(&m_state, &BoardState::buttonFontChanged, this, &MainWindow::applyButtonFont);
    connect(&m_state, &BoardState::tabsChanged, this, &MainWindow::renderTabs);
    connect(&m_state, &BoardState::tabIndexChanged, this,
            [this] { m_tabs->setCurrent(m_state.tabIndex()); });
    connect(&m_state, &BoardState::tabStyleChanged, this,
            [this] { m_tabs->applyStyle(m_state.tabStyle()); });
    connect(&m_state, &BoardState::titleChanged, this, [this] {
        QString t = m_state.title();
        t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        setWindowTitle(t);
    });
    connect(&m_state, &BoardState::panelHeightChanged, this,
            [this] { m_panel->setFixedHeight(m_state.panelHeight()); });
    connect(&m_state, &BoardState::geometryRequested, this, &MainWindow::applyGeometry);
    connect(&m_state, &BoardState::visibleChanged, this,
            [this] { setVisible(m_state.visible()); });
    connect(&m_state, &BoardState::itemsChanged, this, &MainWindow::renderItems);
    connect(&m_state, &BoardState::lockedChanged, this, &MainWindow::renderLock);
    connect(&m_state, &BoardState::onlineChanged, this, &MainWindow::renderOnline);

    m_tabs->applyStyle(m_state.tabStyle());
    applyButtonFont();
    rebuildButtons();
    renderTabs();
    renderItems();
    renderLock();
    renderOnline();
    setWindowTitle(m_state.title());
    applyGeometry();
}

MainWindow::~MainWindow() = default;

void MainWindow::dispatch(const std::function<void()>& command)
{
    try {
        command();
    } catch (const CommandError& e) {
        m_prompter.message(e.text(), Prompter::Type::Error, Prompter::Buttons::Ok);
    } catch (const std::exception& e) {
        m_prompter.message(QString::fromLocal8Bit(e.what()), Prompter::Type::Error,
                           Prompter::Buttons::Ok);
    }
    focusKeys();
}

void MainWindow::focusKeys()
{
    if (isVisible() && !m_state.locked())
        m_keys->setFocus(Qt::OtherFocusReason);
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const std::function<void()>& command, bool checkable)
{
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, command] { dispatch(command); });
    m_actions.insert(name, a);
    return a;
}

void MainWindow::buildMenus()
{
    PageDisplay& pages = m_board.pages();
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MFile"));
    addItem(file, QStringLiteral("MExit1"), QStringLiteral("E&xit"), [this] { close(); });

    QMenu* setup = menuBar()->addMenu(QStringLiteral("&Setup"));
    setup->setObjectName(QStringLiteral("MSetup"));
    addItem(setup, QStringLiteral("MBIcon"), QStringLiteral("&Display Bookmark Icons"),
            [&pages] { pages.MBIconClick(); }, true);
    addItem(setup, QStringLiteral("MBNotes"), QStringLiteral("Display Bookmark &Notes"),
            [&pages] { pages.MBNotesClick(); }, true);
    addItem(setup, QStringLiteral("MBUrl"), QStringLiteral("Display Bookmark &URL"),
            [&pages] { pages.MBUrlClick(); }, true);
    setup->addSeparator();
    for (int n = 2; n <= 4; ++n)
        addItem(setup, QStringLiteral("MColumn%1").arg(n),
                QStringLiteral("&%1 Columns of Bookmarks").arg(n),
                [&pages, n] { pages.MColumn2Click(n); }, true);
    setup->addSeparator();
    addItem(setup, QStringLiteral("MFontButton"), QStringLiteral("Change Font for &Buttons"),
            [&pages] { pages.MFontButtonClick(); });
    addItem(setup, QStringLiteral("MResetSize"), QStringLiteral("&Reset Window Size"),
            [this] { m_board.MResetSizeClick(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MHelp"));
    addItem(help, QStringLiteral("MHelpC"), QStringLiteral("Help &Contents"),
            [this] { m_board.MHelpCClick(Board::HelpItem::Contents); });
    addItem(help, QStringLiteral("MHelpS"), QStringLiteral("Help &Search"),
            [this] { m_board.MHelpCClick(Board::HelpItem::Search); });
    help->addSeparator();
    addItem(help, QStringLiteral("MHelpA"), QStringLiteral("&About"),
            [this] { m_board.MHelpCClick(Board::HelpItem::About); });
    m_menus = {file, setup, help};
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QWidget;
    m_toolBar->setObjectName(QStringLiteral("Panel1"));
    m_toolBar->setAccessibleName(QStringLiteral("Tool bar"));
    auto* row = new QHBoxLayout(m_toolBar);
    row->setContentsMargins(2, 2, 1, 2);
    row->setSpacing(2);
    auto makeButton = [this, row](const QString& name, const QString& hint, const QPixmap& icon,
                                  const QString& text, const std::function<void()>& command) {
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(true);
        if (icon.isNull()) {
            b->setText(text);
        } else {
            b->setIcon(QIcon(icon));
        }
        connect(b, &QToolButton::clicked, this, [this, command] { dispatch(command); });
        row->addWidget(b);
        return b;
    };
    auto silk = [](const char* name) {
        return QPixmap(QStringLiteral(":/icons/silk/%1.png").arg(QLatin1String(name)));
    };
    makeButton(QStringLiteral("HomeButton"), QStringLiteral("Go to the first page"),
               silk("resultset_first"), QStringLiteral("|<"),
               [this] { m_board.pages().HomeButtonClick(); });
    makeButton(QStringLiteral("EndButton"), QStringLiteral("Go to the last page"),
               silk("resultset_last"), QStringLiteral(">|"),
               [this] { m_board.pages().EndButtonClick(); });
    makeButton(QStringLiteral("HelpButton1"), QStringLiteral("Search for Help"), silk("help"),
               QStringLiteral("?"), [this] { m_board.MHelpCClick(Board::HelpItem::HelpButton); });
    row->addStretch(1);
    m_dialUp = new QLabel(m_toolBar);
    m_dialUp->setObjectName(QStringLiteral("DialUp"));
    row->addWidget(m_dialUp);
}

BookmarkButton* MainWindow::button(const QString& name) const
{
    for (BookmarkButton* b : m_buttons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void MainWindow::rebuildButtons()
{
    const auto& faces = m_state.buttons();
    while (m_buttons.size() > faces.size()) {
        delete m_buttons.back();
        m_buttons.pop_back();
    }
    while (m_buttons.size() < faces.size()) {
        const int index = static_cast<int>(m_buttons.size());
        auto* b = new BookmarkButton(QString::fromLatin1(faces[index].name), m_panel);
        b->setFont(m_panel->font());
        connect(b, &BookmarkButton::clicked, this, [this, b] {
            dispatch([this, b] { m_board.ButtonClick(b->objectName().toLatin1()); });
        });
        m_buttons.push_back(b);
        b->show();
    }
    for (size_t i = 0; i < faces.size(); ++i) {
        m_buttons[i]->setObjectName(QString::fromLatin1(faces[i].name));
        m_buttons[i]->setGeometry(faces[i].left, faces[i].top, faces[i].width, faces[i].height);
    }
    renderFaces();
}

void MainWindow::renderFace(int index)
{
    if (index < 0 || index >= static_cast<int>(m_buttons.size()))
        return;
    const ButtonFace& f = m_state.buttons()[index];
    BookmarkButton* b = m_buttons[index];
    const QString caption = AnsiText::toUi(f.caption);
    b->setText(caption);
    b->setToolTip(plainToolTip(f.hint));
    b->setAccessibleName(caption);
    b->setAccessibleDescription(AnsiText::toUi(f.hint));
    b->setCaptionColor(WinColor::toQColor(f.color));
    b->setGlyph(m_icons.glyph(f.glyph, m_state.defaultIconIndex()));
    b->setMargin(f.margin);
    b->setEnabled(f.enabled);
    b->setCursor(f.handCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (b->geometry() != QRect(f.left, f.top, f.width, f.height))
        b->setGeometry(f.left, f.top, f.width, f.height);
}

void MainWindow::renderFaces()
{
    for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i)
        renderFace(i);
}

void MainWindow::applyButtonFont()
{
    QFont f(AnsiText::toUi(m_state.buttonFontName()));
    f.setPointSize(m_state.buttonFontSize() > 0 ? m_state.buttonFontSize() : 9);
    m_panel->setFont(f);
    for (BookmarkButton* b : m_buttons)
        b->setFont(f);
}

void MainWindow::renderTabs()
{
    QStringList names;
    for (const QByteArray& t : m_state.tabs())
        names << AnsiText::toUi(t);
    m_tabs->setPages(names, m_state.tabIndex());
}

void MainWindow::renderItems()
{
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
        const MenuItemState s = m_state.item(it.key().toLatin1());
        if (it.value()->isCheckable())
            it.value()->setChecked(s.checked);
        it.value()->setEnabled(s.enabled);
        it.value()->setVisible(s.visible);
    }
}

void MainWindow::renderLock()
{
    const bool locked = m_state.locked();
    for (QMenu* m : m_menus)
        m->menuAction()->setVisible(!locked);
    m_toolBar->setVisible(!locked);
    m_tabs->setVisible(m_state.tabStripVisible());
}

void MainWindow::renderOnline()
{
    m_dialUp->setPixmap(led(m_state.online()));
    m_dialUp->setToolTip(m_state.onlineHint());
    m_dialUp->setAccessibleName(m_state.onlineHint());
}

void MainWindow::applyGeometry()
{
    const WindowGeometry& g = m_state.geometry();
    m_applyingGeometry = true;
    move(g.left, g.top);
    resize(g.width, g.height);
    m_applyingGeometry = false;
    reportSize();
}

int MainWindow::toolBarHeight() const
{
    return m_toolBar->isVisible() ? m_toolBar->sizeHint().height() : 0;
}

int MainWindow::tabStripHeight() const
{
    return m_tabs->isVisible() ? m_tabs->sizeHint().height() : 0;
}

void MainWindow::reportSize()
{
    // The window has no frame of its own: its client width is its width.
    const int clientHeight = height() - (menuBar()->isVisible() ? menuBar()->sizeHint().height() : 0);
    m_board.pages().FormResize(width(), width(), clientHeight, tabStripHeight(), toolBarHeight());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    dispatch([this] { reportSize(); });
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    m_board.FormMoved(pos().x(), pos().y());
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_board.FormStateChanged(isMinimized());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        dispatch([this] { m_board.FormActivate(); });
    }
    focusKeys();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool allowed = true;
    dispatch([this, &allowed] {
        m_board.FormMoved(pos().x(), pos().y());
        allowed = m_board.FormCloseQuery();
    });
    if (allowed)
        event->accept();
    else
        event->ignore();
}

void MainWindow::onKey(QKeyEvent* event)
{
    using Key = KeyboardNav::Key;
    Key key = Key::Other;
    switch (event->key()) {
    case Qt::Key_F1:
        key = Key::F1;
        break;
    case Qt::Key_Left:
        key = Key::Left;
        break;
    case Qt::Key_Right:
        key = Key::Right;
        break;
    case Qt::Key_Up:
        key = Key::Up;
        break;
    case Qt::Key_Down:
        key = Key::Down;
        break;
    case Qt::Key_PageUp:
        key = Key::PageUp;
        break;
    case Qt::Key_PageDown:
        key = Key::PageDown;
        break;
    case Qt::Key_Home:
        key = Key::Home;
        break;
    case Qt::Key_End:
        key = Key::End;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = Key::Enter;
        break;
    default:
        break;
    }
    if (key != Key::Other) {
        dispatch([this, key] { m_board.keys().KeysKeyDown(key); });
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        dispatch([this, text] { m_board.keys().KeysKeyPress(text); });
}
