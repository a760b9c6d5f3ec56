#include "Board.h"

#include "AnsiText.h"
#include "BookmarkEditor.h"
#include "BookmarkFile.h"
#include "BrowserList.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "FileCommands.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "PageCarrier.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageMerge.h"
#include "Passwords.h"
#include "PathNames.h"
#include "Progress.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "StartUp.h"
#include "WindowModes.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

Board::Board(ProgramFiles& files, BoardState& state, Prompter& ui, Desktop& desktop, Platform platform)
    : m_files(files), m_state(state), m_ui(ui), m_desktop(desktop), m_platform(platform),
      m_pages(std::make_unique<PageDisplay>(*this)), m_keys(std::make_unique<KeyboardNav>(*this)),
      m_startUp(std::make_unique<StartUp>(*this)), m_modes(std::make_unique<WindowModes>(*this)),
      m_passwords(std::make_unique<Passwords>(*this)), m_records(std::make_unique<RecordOps>(*this)),
      m_editor(std::make_unique<BookmarkEditor>(*this)), m_pageCommands(std::make_unique<PageCommands>(*this)),
      m_pageMerge(std::make_unique<PageMerge>(*this)), m_pageCarrier(std::make_unique<PageCarrier>(*this)),
      m_fileCommands(std::make_unique<FileCommands>(*this))
{
    Q_ASSERT(m_platform.hotkeys && m_platform.autostart && m_platform.screenSaver);
}

void Board::report(const QString& text)
{
    // The command ended half-way: an hourglass it showed would otherwise
    // keep every later click waiting.
    if (m_ui.cursor() == ScreenCursor::HourGlass && m_waiting == 0)
        m_ui.setCursor(ScreenCursor::Default);
    m_ui.message(text, Prompter::Type::Error, Prompter::Buttons::Ok);
}

bool Board::command(const std::function<void()>& run, CommandKind kind)
{
    if (busy()) {
        m_ui.beep();
        return false;
    }
    runGuarded([&] {
        beginCommand(kind);
        run();
    });
    return true;
}

void Board::beginCommand(CommandKind kind)
{
    if (kind != CommandKind::Normal)
        return;
    if (m_records->placing())
        m_records->cancelPlacing();
    m_pageCarrier->putBackMoved();
}

void Board::deliver(const std::function<void()>& run)
{
    runGuarded(run);
}

void Board::runGuarded(const std::function<void()>& run)
{
    ++m_running;
    try {
        run();
    } catch (const CommandError& e) {
        report(e.text());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    --m_running;
    settle();
}

std::shared_ptr<void> Board::waitForAnswer()
{
    if (m_waiting++ == 0 && m_ui.cursor() != ScreenCursor::Drag)
        m_ui.setCursor(ScreenCursor::HourGlass);
    return std::shared_ptr<void>(nullptr, [this](void*) {
        if (--m_waiting == 0 && m_ui.cursor() == ScreenCursor::HourGlass)
            m_ui.setCursor(ScreenCursor::Default);
        settle();
    });
}

void Board::runInBackground(const QString& caption, const QString& text, std::function<void(WorkFeed&)> work,
                            std::function<void(bool cancelled)> then)
{
    auto feed = std::make_shared<WorkFeed>();
    auto error = std::make_shared<QString>();
    // The window's side of the work goes with the board.
    auto* job = new QObject(&m_context);
    auto* progress = new Progress(caption, text, feed);
    progress->setParent(job);
    auto* watcher = new QFutureWatcher<void>(job);
    auto wait = std::make_shared<std::shared_ptr<void>>(waitForAnswer());
    QObject::connect(watcher, &QFutureWatcherBase::finished, job, [this, job, progress, feed, error, then, wait] {
        progress->poll();
        progress->finish();
        job->deleteLater();
        deliver([&] {
            if (!error->isEmpty())
                throw CommandError(*error);
            then(feed->cancelled());
        });
        wait->reset();
    });
    m_ui.showProgress(*progress);
    watcher->setFuture(QtConcurrent::run([feed, error, work] {
        try {
            work(*feed);
        } catch (const CommandError& e) {
            *error = e.text();
        } catch (const std::exception& e) {
            *error = QString::fromLocal8Bit(e.what());
        }
    }));
}

void Board::whenIdle(std::function<void()> run)
{
    m_later.push_back(std::move(run));
    postIdleWork();
}

void Board::postIdleWork()
{
    if (m_laterPosted || m_later.empty() || busy())
        return;
    m_laterPosted = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_laterPosted = false;
            runIdleWork();
        },
        Qt::QueuedConnection);
}

void Board::runIdleWork()
{
    while (!busy() && !m_later.empty()) {
        std::function<void()> next = std::move(m_later.front());
        m_later.pop_front();
        deliver(next);
    }
}

void Board::settle()
{
    // A save that split a hard link is said once per file.
    for (const QByteArray& path : store().takeSplitLinks()) {
        if (m_splitSaid.contains(path))
            continue;
        m_splitSaid << path;
        m_idle.push_back([this, path] {
            m_ui.message(QStringLiteral("\"%1\" had other names (hard links). Lynkor saves a file whole or not "
                                        "at all, so it now has a file of its own; the other names keep the contents "
                                        "it had before.")
                             .arg(PathNames::toQt(path)),
                         Prompter::Type::Information, Prompter::Buttons::Ok);
        });
    }
    for (const auto& [path, copy] : store().takeDamagedCopies())
        m_idle.push_back([this, path, copy] {
            m_ui.message(QStringLiteral("\"%1\" holds a NUL byte, where Lynkor stops reading it: what follows it is "
                                        "no longer in the file. The file as it was is kept in \"%2\".")
                             .arg(PathNames::toQt(path), PathNames::toQt(copy)),
                         Prompter::Type::Warning, Prompter::Buttons::Ok);
        });
    while (!busy() && !m_idle.empty()) {
        std::function<void()> next = std::move(m_idle.front());
        m_idle.pop_front();
        deliver(next);
    }
    postIdleWork();
    showCarrying();
}

void Board::showCarrying()
{
    m_state.setItemVisible(MenuItem::MPutPage, m_pageCarrier->carryingPage());
    m_state.setItemVisible(MenuItem::MPutBookmarks, m_pageCarrier->carryingBookmarks());
    if (busy())
        return;
    const ScreenCursor now = m_ui.cursor();
    const ScreenCursor carried = m_records->placing()        ? ScreenCursor::Drag
                                 : m_pageCarrier->carrying() ? ScreenCursor::PickUp
                                                             : ScreenCursor::Default;
    // Only the carrying cursors are ours to set or clear; an hourglass left
    // behind is reset where the command failed.
    const bool carryingCursor = now == ScreenCursor::Drag || now == ScreenCursor::PickUp;
    if (now != carried && (carried != ScreenCursor::Default || carryingCursor))
        m_ui.setCursor(carried);
}

void Board::showRecent()
{
    const bool track = m_state.checked(MenuItem::MMRU);
    m_state.setRecent(track ? m_mruList1.shown() : QList<QByteArray>(), m_mruList2.shown());
}

void Board::showBrowsers()
{
    TIniFile32 ini(store(), m_files.settingsPath());
    m_state.setBrowsers(BrowserList::read(ini).paths, m_vars.BrowserIndex);
}

void Board::FormClose()
{
    TIniFile32 ini(store(), m_files.BookmarkFileName());
    ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kPagePasswords, m_pagePasswords.WritePagePass());
}

Board::~Board() = default;

void Board::FormCreate(const QStringList& arguments)
{
    m_startUp->FormCreate(arguments);
}

void Board::FormActivate()
{
    WindowGeometry g = m_state.geometry();
    if (g.width != m_vars.WindowWidth) {
        g.width = m_vars.WindowWidth;
        m_state.requestGeometry(g);
    }
}

void Board::FormCaption()
{
    // While a bookmark waits to be placed the title says so, whatever else changes.
    if (m_records->placing()) {
        m_state.setTitle(QStringLiteral("Lynkor - placing \"%1\": press a bookmark button to put it there, "
                                        "Escape puts it back")
                             .arg(AnsiText::toUi(m_records->placingTitle())));
        return;
    }
    if (m_pageCarrier->carryingBookmarks()) {
        const int n = m_pageCarrier->carriedBookmarks();
        m_state.setTitle(QStringLiteral("Lynkor - carrying %1 bookmark%2 of the page \"%3\": right-click a page tab to "
                                        "put %4 there, Escape lets %4 go")
                             .arg(n)
                             .arg(n == 1 ? QString() : QStringLiteral("s"))
                             .arg(AnsiText::toUi(m_pageCarrier->bookmarksPage()))
                             .arg(n == 1 ? QStringLiteral("it") : QStringLiteral("them")));
        return;
    }
    if (m_pageCarrier->carrying()) {
        m_state.setTitle(QStringLiteral("Lynkor - carrying the page \"%1\": right-click a page tab to put it there, "
                                        "Escape puts it back")
                             .arg(AnsiText::toUi(m_pageCarrier->carriedPage())));
        return;
    }
    const QByteArray stem =
        m_files.SettingsStem() == SettingsFile::kDefaultStem ? QByteArray() : m_files.SettingsStem();
    const QByteArray file = PathNames::fileName(PathNames::stem(m_files.BookmarkFileName()));
    const int index = m_state.tabIndex();
    const QString title = QStringLiteral("Lynkor ") + AnsiText::toUi(stem) + QStringLiteral(" [ ") +
                          AnsiText::toUi(file) + QStringLiteral(" ]    ") + AnsiText::toUi(m_state.currentPage()) +
                          QStringLiteral(": Page ") + QString::number(index + 1) + QStringLiteral(" of ") +
                          QString::number(m_state.tabs().size()) + QStringLiteral("   ") + m_desktop.todayText();
    m_state.setTitle(title);
}

void Board::MResetSizeClick()
{
    m_state.requestSize(SettingsFile::Width.defaultNumber(), SettingsFile::kNormalHeight);
}

void Board::MHelpCClick(HelpItem item)
{
    switch (item) {
    case HelpItem::Contents:
        m_ui.showHelp(kHelpContents);
        break;
    case HelpItem::About:
        m_ui.showHelp(kHelpAbout);
        break;
    case HelpItem::Search:
    case HelpItem::HelpButton:
        m_ui.showHelpSearch();
        break;
    }
}

bool Board::FormCloseQuery()
{
    // A bookmark waiting to be placed, or a page picked up to be moved, goes
    // back before the window goes.
    m_records->cancelPlacing();
    m_pageCarrier->putBackMoved();
    SaveLocation();
    return true;
}

void Board::SaveLocation()
{
    using namespace SettingsFile;
    const WindowGeometry& g = m_state.geometry();
    const QByteArray path = m_files.settingsPath();
    IniBatch batch(store(), path);
    TIniFile32 ini(store(), path);
    Top.write(ini, g.top);
    Left.write(ini, g.left);
    Width.write(ini, g.width);
    WindowState.write(ini, m_state.minimized() ? kMin : kNorm);
    batch.commit();
}

void Board::OnceInstanceStarted(const QStringList& arguments)
{
    // The hand-over comes inside the socket's delivery, and opening the file
    // may ask: it runs later, once no command runs or waits.
    whenIdle([this, arguments] {
        beginCommand(CommandKind::Normal);
        openHandedOver(arguments);
    });
}

void Board::openHandedOver(const QStringList& arguments)
{
    const CommandLine line = CommandLine::parse(arguments);
    if (line.bookmarkFiles.empty()) {
        m_ui.message(QStringLiteral("Program Already Running!"), Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    m_modes->TaskIconClick();
    m_fileCommands->openPath(m_startUp->bookmarkArgument(line.bookmarkFiles.back()));
}

void Board::NetDetectorChanged(bool online)
{
    m_state.setOnline(online);
}

void Board::FormMoved(int left, int top)
{
    WindowGeometry g = m_state.geometry();
    g.left = left;
    g.top = top;
    m_state.noteGeometry(g);
}

void Board::FormStateChanged(bool minimized)
{
    m_state.noteMinimized(minimized);
}

void Board::ButtonClick(const QByteArray& buttonName)
{
    const int index = m_state.buttonIndex(buttonName);
    if (index < 0)
        return;
    if (m_state.buttons()[index].margin != 1)
        m_state.updateFace(index, [](ButtonFace& face) { face.margin = 1; });
    m_vars.CurrentButton = buttonName;
    // A bookmark waiting to be placed is put down here (the keyboard's way).
    if (m_records->placing()) {
        m_records->placeAt(buttonName);
        return;
    }
    FormCaption();
    if (m_launcher)
        m_launcher->SlotClicked(buttonName);
}

void Board::MruList1MruClick(const QByteArray& entry)
{
    const qsizetype bar = entry.indexOf("  |");
    const qsizetype colons = entry.lastIndexOf("::");
    if (bar < 0 || colons < bar)
        return;
    const QByteArray page = entry.mid(bar + 3, colons - bar - 3);
    const QByteArray slot = entry.mid(colons + 2, 2);
    m_vars.CurrentButton = "B" + slot;
    if (m_launcher)
        m_launcher->LaunchStored(page, slot);
}

QByteArray Board::AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                           const QByteArray& slot, IconFetcher::Title title)
{
    return m_iconFetcher ? m_iconFetcher->AutoIcon(buttonName, link, page, slot, title) : QByteArray();
}

void Board::MWebIconClick()
{
    toggleOption(MenuItem::MWebIcon, SettingsFile::WebIconSearch);
}

void Board::toggleOption(MenuItem item, const Setting& setting)
{
    const bool on = !m_state.checked(item);
    m_state.setChecked(item, on);
    m_files.write(setting, SettingsFile::onOff(on));
}

QStringList Board::GetCustomPalette()
{
    QStringList colors;
    TIniFile32 ini(store(), m_files.settingsPath());
    for (char letter = 'A'; letter <= 'P'; ++letter) {
        const QByteArray key = QByteArray("Color") + letter;
        colors << QString::fromLatin1(key + "=" +
                                      ini.ReadString(SettingsFile::kColors, key, SettingsFile::kDefaultCustomColor));
    }
    return colors;
}

void Board::SaveCustomPalette(const QStringList& colors)
{
    const QByteArray path = m_files.settingsPath();
    IniBatch batch(store(), path);
    TIniFile32 ini(store(), path);
    for (const QString& line : colors) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            ini.WriteString(SettingsFile::kColors, line.left(eq).toLatin1(), line.mid(eq + 1, 6).toLatin1());
    }
    batch.commit();
}
