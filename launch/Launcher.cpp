#include "Launcher.h"

#include "AnsiText.h"
#include "BookmarkEditor.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "BrowserConversation.h"
#include "BrowserList.h"
#include "CommandError.h"
#include "DesktopEntry.h"
#include "FileError.h"
#include "FileFinder.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "LaunchText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "Passwords.h"
#include "PathNames.h"
#include "ProcessStarter.h"
#include "Progress.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "WindowModes.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

using F = BookmarkRecord;
using namespace SettingsFile;

Launcher::Launcher(Board& board, BrowserConversation& conversation, ProcessStarter& starter)
    : m_board(board), m_conversation(conversation), m_dde(conversation, board.ui()), m_starter(starter)
{
}

void Launcher::refuse(const QString& what)
{
    m_board.ui().message(QStringLiteral("Lynkor does not pass \"%1\" to a program: a text beginning "
                                        "with \"-\" would be taken as one of its options.")
                             .arg(what),
                         Prompter::Type::Warning, Prompter::Buttons::Ok);
}

void Launcher::reportStart(const QString& error)
{
    m_board.ui().message(error, Prompter::Type::Error, Prompter::Buttons::Ok);
}

QString Launcher::noPageText(const QString& said) const
{
    QString text = said.isEmpty()
                       ? QStringLiteral("Lynkor could not read which page your browser shows, so nothing was stored.")
                       : said;
    const QString advice = m_conversation.advice();
    if (!advice.isEmpty())
        text += QStringLiteral("\n\n") + advice;
    return text;
}

void Launcher::SlotClicked(const QByteArray& buttonName)
{
    Board& b = m_board;
    const QByteArray slot = buttonName.mid(1, 2);
    const QByteArray page = b.state().currentPage();
    QByteArray url;
    QByteArray launchAs;
    int color = b.vars().ButtonFontColor;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        url = BookmarkSlot(ini, page, slot).url();
        color = BookmarkSlot(ini, page, slot).color(b.vars().ButtonFontColor);
        launchAs = BookmarkSlot(ini, page, slot).launchAs();
    }
    if (url.isEmpty()) {
        b.records().takeBackup();
        if (launchAs == "Yes")
            b.editor().chooseLocalFile(buttonName, page, slot);
        else
            fillFromBrowser(buttonName, page, slot, color);
        return;
    }
    if (!LaunchStored(page, slot))
        return;
    // The icon, description and address are looked at again in the
    // background, while the browser opens the page.
    if (url.startsWith("http"))
        b.AutoIcon(buttonName, url, page, slot);
}

bool Launcher::LaunchStored(const QByteArray& page, const QByteArray& slot)
{
    Board& b = m_board;
    QByteArray url;
    QByteArray launchAs;
    QByteArray ipAddress;
    QByteArray title;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        url = BookmarkSlot(ini, page, slot).url();
        launchAs = BookmarkSlot(ini, page, slot).launchAs();
        ipAddress = BookmarkSlot(ini, page, slot).ipAddress();
        title = BookmarkSlot(ini, page, slot).title();
    }
    if (url.isEmpty())
        return false;
    QByteArray address = url;
    if (BookmarkFile::IsProtectedUrl(url)) {
        const bool pageProtected = b.PagePassBox().PageProtected(page);
        // A bookmark of a protected page opened from elsewhere (the recent
        // list) asks for the page's password; the page shown has had it.
        const bool ask = !pageProtected || page != b.state().currentPage();
        if (ask) {
            const QByteArray typed =
                b.passwords().ask(pageProtected ? Passwords::forPage(page) : Passwords::forBookmark(title));
            const QByteArray expected =
                pageProtected ? b.PagePassBox().GetPagePass(page) : PassText::StoredPassword(url);
            if (typed != expected) {
                b.ui().message(QString::fromLatin1(Passwords::kInvalid), Prompter::Type::Information,
                               Prompter::Buttons::Ok);
                return false;
            }
        }
        address = PassText::Decrypt(url);
    }
    // Without a stored address the host is better kept than lost.
    if (launchAs == "IP" && !ipAddress.isEmpty())
        address = LaunchText::IpAddressUrl(address, ipAddress);
    Launch(page, address);
    return true;
}

void Launcher::CurrentPage(PageShown done, const NoPageNotice& notice)
{
    Board& b = m_board;
    auto wait = b.waitForAnswer();
    m_dde.ServiceApplication = b.vars().BrowserPath;
    m_dde.GetWindowInfo(
        &m_context, [this, done, wait, notice](bool ok, const QByteArray& title, const QByteArray& url) {
            m_board.deliver([&] {
                const bool shown = ok && !url.isEmpty();
                if (!shown)
                    m_board.ui().message(noPageText(notice.text),
                                         notice.text.isEmpty() ? Prompter::Type::Information : Prompter::Type::Warning,
                                         notice.helpContext ? Prompter::Buttons::OkHelp : Prompter::Buttons::Ok,
                                         notice.helpContext);
                done(shown, title, url);
            });
        });
}

void Launcher::fillFromBrowser(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot, int color)
{
    const QByteArray file = m_board.files().BookmarkFileName();
    CurrentPage([=, this](bool ok, const QByteArray& title, const QByteArray& shownUrl) {
        Board& b = m_board;
        const QByteArray path = b.files().BookmarkFileName();
        if (!ok || path != file)
            return;
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        // Filled meanwhile (a hotkey added a bookmark): it is not replaced.
        if (!BookmarkSlot(ini, page, slot).url().isEmpty())
            return;
        const QByteArray url = LaunchText::EndSlash(shownUrl);
        const std::optional<QByteArray> stored = b.passwords().storedUrl(page, url, title);
        if (!stored)
            return;
        BookmarkSlot(ini, page, slot).setUrl(*stored);
        BookmarkSlot(ini, page, slot).setTitle(title);
        if (color != b.vars().ButtonFontColor)
            BookmarkSlot(ini, page, slot).setColor(color);
        b.state().updateShownFace(page, buttonName, [&](ButtonFace& face) {
            bool legacy = false;
            int glyph = 0;
            b.pages().buildFace(ini, page, face, &legacy, &glyph);
        });
        batch.commit();
        if (url.startsWith("http"))
            b.AutoIcon(buttonName, url, page, slot);
    });
}

void Launcher::Launch(const QByteArray& page, const QByteArray& address)
{
    launchSlot(page, m_board.vars().CurrentButton.mid(1, 2), address);
}

void Launcher::LaunchListed(const QByteArray& page, const QByteArray& slot, const QByteArray& address, bool fromSearch)
{
    const bool was = LaunchingFromSearch;
    LaunchingFromSearch = fromSearch;
    try {
        launchSlot(page, slot, address);
    } catch (...) {
        LaunchingFromSearch = was;
        throw;
    }
    LaunchingFromSearch = was;
}

void Launcher::launchSlot(const QByteArray& page, const QByteArray& slot, const QByteArray& address)
{
    Board& b = m_board;
    if (b.vars().BrowserPath.isEmpty())
        AddBrowserClick();
    QByteArray launchAs;
    QByteArray notes;
    QByteArray title;
    QByteArray url;
    if (!page.isEmpty()) {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        title = BookmarkSlot(ini, page, slot).title();
        url = BookmarkSlot(ini, page, slot).url();
        launchAs = BookmarkSlot(ini, page, slot).launchAs();
        notes = BookmarkSlot(ini, page, slot).notes();
    }
    // A launch never depends on the recent list: on a read-only or full disk
    // the bookmark opens, and the failed save is said once.
    QString recentFailure;
    if (b.state().checked(MenuItem::MMRU) && !page.isEmpty() && !b.vars().NetSearchBusy) {
        const QByteArray entry = WindowModes::recentEntry(WindowModes::recentTitle(title, url), page, slot);
        try {
            b.modes().addRecentBookmark(entry);
        } catch (const FileError& e) {
            if (!m_recentFailureSaid)
                recentFailure = e.text();
            m_recentFailureSaid = true;
        }
        b.state().setCurrentRecent(entry);
    }
    const bool fromSearch = LaunchingFromSearch;
    auto finished = [this, notes, fromSearch] { m_board.modes().AfterLaunch(notes, !fromSearch); };
    if (launchAs != "Yes" && !m_directOpen)
        m_launched = webLaunch(address, finished);
    else {
        m_launched = shellLaunch(page, slot, address);
        finished();
    }
    if (!recentFailure.isEmpty())
        b.ui().message(recentFailure + QStringLiteral("\nThe bookmark was opened; the list of recent bookmarks "
                                                      "could not be saved."),
                       Prompter::Type::Warning, Prompter::Buttons::Ok);
}

bool Launcher::startBrowser(const QByteArray& address)
{
    Board& b = m_board;
    ++m_counter;
    if (b.vars().BrowserPath.isEmpty()) {
        b.ui().message(QStringLiteral("No browser is chosen for Lynkor: add one with \"Add or Remove "
                                      "Browser from List\" in the Browsers menu."),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return false;
    }
    if (address.startsWith('-')) {
        refuse(AnsiText::toUi(address));
        return false;
    }
    const ProcessStarter::Result r = m_starter.start(PathNames::toQt(b.vars().BrowserPath), {AnsiText::toUi(address)},
                                                     {}, QString::number(m_counter));
    if (!r.started)
        reportStart(r.error);
    return r.started;
}

bool Launcher::startBrowsers(const QByteArray& addresses)
{
    bool all = true;
    QByteArray rest = addresses;
    for (qsizetype cut = rest.indexOf(";;"); cut >= 0; cut = rest.indexOf(";;")) {
        all = startBrowser(rest.left(cut)) && all;
        rest = rest.mid(cut + 2);
    }
    return startBrowser(rest) && all;
}

bool Launcher::webLaunch(const QByteArray& address, const std::function<void()>& finished)
{
    Board& b = m_board;
    m_dde.ServiceApplication = b.vars().BrowserPath;
    const bool linked = b.state().checked(MenuItem::SingleButton) && !address.contains(";;") &&
                        m_conversation.canServe(b.vars().BrowserPath);
    if (!linked) {
        const bool ok = startBrowsers(address);
        finished();
        return ok;
    }
    // The browser taking the address is the launch; a page that loads slowly
    // or not at all is the browser's business.
    auto wait = b.waitForAnswer();
    m_dde.OpenURL(address, &m_context, [this, address, finished, wait](bool ok) {
        m_board.deliver([&] {
            if (!ok)
                startBrowsers(address);
            finished();
        });
    });
    return true;
}

bool Launcher::runLauncher(const QByteArray& path)
{
    const std::optional<DesktopEntry> entry = DesktopEntry::read(PathNames::toQt(path));
    if (!entry) {
        reportStart(
            QStringLiteral("Cannot start %1: it is no launcher that can be started.").arg(PathNames::toQt(path)));
        return false;
    }
    if (!entry->url.isEmpty()) {
        const bool direct = std::exchange(m_directOpen, false);
        const bool ok = webLaunch(AnsiText::fromUi(entry->url), [] {});
        m_directOpen = direct;
        return ok;
    }
    QString program = entry->program;
    QStringList arguments = entry->arguments;
    if (!program.contains(QLatin1Char('/')))
        program = QStandardPaths::findExecutable(program);
    if (program.isEmpty()) {
        reportStart(
            QStringLiteral("Cannot start %1: the program %2 is not installed.").arg(entry->name, entry->program));
        return false;
    }
    if (entry->terminal) {
        // The Debian way of naming the user's terminal, then the usual ones.
        QString terminal;
        for (const char* candidate : {"x-terminal-emulator", "xterm", "gnome-terminal", "konsole", "xfce4-terminal"})
            if (terminal.isEmpty())
                terminal = QStandardPaths::findExecutable(QString::fromLatin1(candidate));
        if (terminal.isEmpty()) {
            reportStart(QStringLiteral("Cannot start %1: it runs in a terminal, and no terminal program was found.")
                            .arg(entry->name));
            return false;
        }
        arguments.prepend(program);
        arguments.prepend(QStringLiteral("-e"));
        program = terminal;
    }
    QString folder = entry->workingDir;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const ProcessStarter::Result r = m_starter.start(program, arguments, folder);
    if (!r.started)
        reportStart(r.error);
    return r.started;
}

bool Launcher::shellLaunch(const QByteArray& page, const QByteArray& slot, const QByteArray& address)
{
    Board& b = m_board;
    QByteArray file = address;
    QByteArray parameters;
    const qsizetype mark = address.indexOf(" /");
    if (mark >= 0) {
        file = address.left(mark + 1);
        parameters = address.mid(mark + 2);
    }
    file = file.trimmed();
    // A desktop launcher runs the way the desktop runs it.
    if (parameters.isEmpty() && AnsiText::toLower(file).endsWith(".desktop") && PathNames::fileExists(file))
        return runLauncher(file);
    QByteArray folder = PathNames::folder(file);
    QByteArray extraInfo;
    if (!page.isEmpty()) {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        extraInfo = BookmarkSlot(ini, page, slot).extraInfo();
    }
    // The Extra Info of a program bookmark doubles as its start folder.
    if (!extraInfo.isEmpty() &&
        (extraInfo.indexOf(':') == 1 || (extraInfo.startsWith('/') && QFileInfo(PathNames::toQt(extraInfo)).isDir())))
        folder = extraInfo;

    const QString program = PathNames::toQt(file);
    const QFileInfo info(program);
    QString executable;
    if (info.isFile() && info.isExecutable())
        executable = info.absoluteFilePath();
    else if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char(':')))
        executable = QStandardPaths::findExecutable(program);
    if (!executable.isEmpty()) {
        // The parameters of a program are the user's own command, options included.
        const QStringList arguments = ProcessStarter::splitArguments(AnsiText::toUi(parameters));
        QString dir = PathNames::toQt(folder);
        if (!QFileInfo(dir).isDir())
            dir = QFileInfo(executable).absolutePath();
        const ProcessStarter::Result r = m_starter.start(executable, arguments, dir);
        if (!r.started)
            reportStart(r.error);
        return r.started;
    }
    // A document goes to the desktop's opener, where a leading "-" would be an option.
    if (program.startsWith(QLatin1Char('-'))) {
        refuse(program);
        return false;
    }
    m_starter.openDocument(program, &m_context, [this](const ProcessStarter::Result& r) {
        if (!r.started)
            m_board.deliver([&] { reportStart(r.error); });
    });
    return true;
}

void Launcher::ChangeBrowser(int n)
{
    Board& b = m_board;
    const QByteArray path = b.files().settingsPath();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    b.vars().BrowserPath = BrowserList::path(ini, n);
    b.vars().BrowserIndex = n;
    BrowserList::select(ini, n);
    batch.commit();
    b.showBrowsers();
}

void Launcher::AddBrowserClick()
{
    Board& b = m_board;
    const int answer = b.ui().choice({QStringLiteral("Add or Remove Browser"),
                                      {QStringLiteral("Add"), QStringLiteral("Remove"), QStringLiteral("Ignore")},
                                      {QStringLiteral("Add         =  Add an installed browser to list."),
                                       QStringLiteral("Remove  =  Remove browser from list.")},
                                      std::nullopt});
    if (answer != 0 && answer != 1)
        return;
    const QByteArray path = b.files().settingsPath();
    if (answer == 1) {
        QByteArray name;
        {
            TIniFile32 ini(b.store(), path);
            name = PathNames::fileName(BrowserList::path(ini, ini.ReadInteger(kBrowser, BrowserSelected.keyName(), 0)));
        }
        if (b.ui().message(QStringLiteral("Are you sure you want to delete [ ") + AnsiText::toUi(name) +
                               QStringLiteral(" ] from the browser list?"),
                           Prompter::Type::Confirmation, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
            return;
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        BrowserList::removeSelected(ini);
        b.vars().BrowserPath = BrowserList::path(ini, 1);
        b.vars().BrowserIndex = 1;
        batch.commit();
        b.showBrowsers();
        return;
    }
    const QString chosen = b.ui().openFile(
        {QStringLiteral("Select Browser"), QStringLiteral("Browser|*"), QStringLiteral("/usr/bin"), {}, 0});
    if (chosen.isEmpty())
        return;
    const QByteArray browser = PathNames::fromQt(chosen);
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    const int n = BrowserList::add(ini, browser);
    batch.commit();
    b.vars().BrowserPath = browser;
    b.vars().BrowserIndex = n;
    b.showBrowsers();
}

void Launcher::SingleButtonClick(bool single)
{
    Board& b = m_board;
    b.vars().ShowPages = single ? kSingle : kMultiple;
    for (MenuItem item : {MenuItem::SingleButton, MenuItem::MSingle})
        b.state().setChecked(item, single);
    for (MenuItem item : {MenuItem::MultButton, MenuItem::MMultiple})
        b.state().setChecked(item, !single);
    b.files().write(ShowPages, b.vars().ShowPages);
}

void Launcher::URLBoxEnter(const QByteArray& typed)
{
    Board& b = m_board;
    if (LaunchText::isWebAddress(typed)) {
        const QByteArray text = LaunchText::EndSlash(typed);
        Launch({}, text);
        rememberTyped(text);
        return;
    }
    const QFileInfo direct(PathNames::toQt(typed));
    if (direct.isFile()) {
        openTyped(PathNames::fromQt(direct.absoluteFilePath()));
        return;
    }
    QByteArray folder = PathNames::folder(typed);
    if (folder.isEmpty())
        folder = PathNames::fromQt(QDir::homePath());
    const QString name = PathNames::toQt(PathNames::fileName(typed));
    const QString root = PathNames::toQt(folder);
    // A search of a big folder takes a while: it runs in the background
    // while the window shows what is searched for, with Cancel.
    auto found = std::make_shared<QStringList>();
    QPointer<QObject> alive(&m_context);
    b.runInBackground(
        QStringLiteral("Lynkor"), QStringLiteral("Searching for %1 ...").arg(name),
        [found, root, name](WorkFeed& feed) {
            feed.report(WorkFeed::kUnmeasured);
            *found = findFiles(
                root, name, [&feed] { return !feed.cancelled(); }, 50);
        },
        [this, alive, found, typed, folder, name](bool cancelled) {
            if (!alive || cancelled)
                return;
            // A program's name finds the program.
            if (found->isEmpty() && !PathNames::hasFolderPart(typed)) {
                const QString program = QStandardPaths::findExecutable(name);
                if (!program.isEmpty())
                    *found << program;
            }
            Board& b = m_board;
            if (found->isEmpty()) {
                b.ui().message(QStringLiteral("\"%1\" was not found in %2 or the folders in it.")
                                   .arg(AnsiText::toUi(typed), PathNames::toQt(folder)),
                               Prompter::Type::Information, Prompter::Buttons::Ok);
                return;
            }
            int pick = 0;
            if (found->size() > 1) {
                pick = b.ui().chooseItem(QStringLiteral("Open which file?"),
                                         QStringLiteral("Several files are called \"%1\":").arg(name), *found);
                if (pick < 0 || pick >= found->size())
                    return;
            }
            openTyped(PathNames::fromQt(found->at(pick)));
        });
}

void Launcher::openTyped(const QByteArray& path)
{
    m_directOpen = true;
    try {
        Launch({}, path);
    } catch (...) {
        m_directOpen = false;
        throw;
    }
    m_directOpen = false;
    rememberTyped(path);
}

void Launcher::rememberTyped(const QByteArray& text)
{
    // Only what was opened is remembered.
    if (!m_launched)
        return;
    Board& b = m_board;
    if (b.ManualUrls().add(text)) {
        b.ManualUrls().save();
        b.state().setManualUrls(b.ManualUrls().items());
    }
}

void Launcher::URLBoxDelete(int index)
{
    Board& b = m_board;
    b.ManualUrls().removeAt(index);
    b.ManualUrls().save();
    b.state().setManualUrls(b.ManualUrls().items());
    b.ui().beep();
}
