#include "Launcher.h"

#include "AnsiText.h"
#include "BookmarkEditor.h"
#include "BookmarkFile.h"
#include "FileFinder.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "LaunchText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "Passwords.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "ProcessStarter.h"
#include "SettingsFile.h"
#include "WindowModes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using BookmarkFile::FieldKey;
using F = BookmarkRecord;
using namespace SettingsFile;

Launcher::Launcher(Board& board, BrowserConversation& conversation, ProcessStarter& starter)
    : m_board(board), m_dde(conversation, board.ui()), m_starter(starter)
{
}

void Launcher::refuse(const QString& what)
{
    m_board.ui().message(QStringLiteral("Lynkor does not pass \"%1\" to a program: a text beginning "
                                        "with \"-\" would be taken as one of its options.")
                             .arg(what),
                         Prompter::Type::Warning, Prompter::Buttons::Ok);
}

void Launcher::SlotClicked(const QByteArray& buttonName)
{
    Board& b = m_board;
    const ScreenCursor cursor = b.ui().cursor();
    // A waiting page or bookmark operation owns the clicks; a page still
    // loading for a web icon is not started a second time.
    if (cursor != ScreenCursor::Default && cursor != ScreenCursor::HandPoint)
        return;
    const QByteArray slot = buttonName.mid(1, 2);
    const QByteArray page = b.state().currentPage();
    QByteArray url;
    QByteArray launchAs;
    int color = b.vars().ButtonFontColor;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        url = ini.ReadString(page, FieldKey(slot, F::Url), {});
        color = ini.ReadInteger(page, FieldKey(slot, F::Color), b.vars().ButtonFontColor);
        launchAs = ini.ReadString(page, FieldKey(slot, F::LaunchAs), {});
    }
    if (url.isEmpty()) {
        b.records().takeBackup();
        if (launchAs == "Yes") {
            b.editor().chooseLocalFile(buttonName, page, slot);
            return;
        }
        url = fillFromBrowser(page, slot, color);
    } else if (!LaunchStored(page, slot)) {
        return;
    }
    if (url.startsWith("http"))
        b.AutoIcon(buttonName, url, page, slot);
}

bool Launcher::LaunchStored(const QByteArray& page, const QByteArray& slot)
{
    Board& b = m_board;
    QByteArray url;
    QByteArray launchAs;
    QByteArray ipAddress;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        url = ini.ReadString(page, FieldKey(slot, F::Url), {});
        launchAs = ini.ReadString(page, FieldKey(slot, F::LaunchAs), {});
        ipAddress = ini.ReadString(page, FieldKey(slot, F::IpAddress), {});
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
            const QByteArray typed = b.passwords().ask(true);
            b.vars().TypedPassword.clear();
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

bool Launcher::CurrentPage(QByteArray& title, QByteArray& url)
{
    m_dde.ServiceApplication = m_board.vars().BrowserPath;
    return m_dde.GetWindowInfo(title, url);
}

QByteArray Launcher::fillFromBrowser(const QByteArray& page, const QByteArray& slot, int color)
{
    Board& b = m_board;
    m_dde.ServiceApplication = b.vars().BrowserPath;
    QByteArray title;
    QByteArray url;
    if (!m_dde.GetWindowInfo(title, url) || url.isEmpty())
        return {};
    url = LaunchText::EndSlash(url);
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    ini.WriteString(page, FieldKey(slot, F::Url), url);
    if (b.PagePassBox().PageProtected(page))
        ini.WriteString(page, FieldKey(slot, F::Url),
                        PassText::Encrypt(url, b.PagePassBox().GetPagePass(page)));
    ini.WriteString(page, FieldKey(slot, F::Title), title);
    if (color != b.vars().ButtonFontColor)
        ini.WriteInteger(page, FieldKey(slot, F::Color), color);
    const int index = b.state().buttonIndex("B" + slot);
    if (index >= 0) {
        bool legacy = false;
        int glyph = 0;
        b.pages().buildFace(ini, page, b.state().mutableButtons()[index], &legacy, &glyph);
        b.state().notifyFace(index);
    }
    batch.commit();
    return url;
}

void Launcher::Launch(const QByteArray& page, const QByteArray& address)
{
    Board& b = m_board;
    if (b.vars().BrowserPath.isEmpty())
        AddBrowserClick();
    const QByteArray slot = b.vars().CurrentButton.mid(1, 2);
    QByteArray launchAs;
    QByteArray notes;
    QByteArray extraInfo;
    QByteArray title;
    if (!page.isEmpty()) {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        title = ini.ReadString(page, FieldKey(slot, F::Title), {});
        launchAs = ini.ReadString(page, FieldKey(slot, F::LaunchAs), {});
        notes = ini.ReadString(page, FieldKey(slot, F::Notes), {});
        extraInfo = ini.ReadString(page, FieldKey(slot, F::ExtraInfo), {});
    }
    if (b.state().checked("MMRU") && !title.isEmpty()) {
        b.modes().addRecentBookmark(title, page, slot);
        b.state().setCurrentRecent(WindowModes::recentEntry(title, page, slot));
    }
    if (launchAs != "Yes" && !m_directOpen)
        webLaunch(address);
    else
        shellLaunch(page, slot, address);
    if (!LaunchingFromDupes)
        b.modes().AfterLaunch(notes, !LaunchingFromSearch);
}

void Launcher::startBrowser(const QByteArray& address)
{
    Board& b = m_board;
    ++m_counter;
    if (b.vars().BrowserPath.isEmpty()) {
        b.ui().message(QStringLiteral("No browser is chosen for Lynkor: add one with \"Add or Remove "
                                      "Browser from List\" in the Browsers menu."),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    if (address.startsWith('-')) {
        refuse(AnsiText::toUi(address));
        return;
    }
    const ProcessStarter::Result r = m_starter.start(PathNames::toQt(b.vars().BrowserPath),
                                                     {AnsiText::toUi(address)}, {},
                                                     QString::number(m_counter));
    if (!r.started)
        b.ui().message(r.error, Prompter::Type::Error, Prompter::Buttons::Ok);
}

void Launcher::webLaunch(const QByteArray& address)
{
    Board& b = m_board;
    m_dde.ServiceApplication = b.vars().BrowserPath;
    if (b.state().checked("SingleButton") && !address.contains(";;") && m_dde.OpenURL(address))
        return;
    QByteArray rest = address;
    for (qsizetype cut = rest.indexOf(";;"); cut >= 0; cut = rest.indexOf(";;")) {
        startBrowser(rest.left(cut));
        rest = rest.mid(cut + 2);
    }
    startBrowser(rest);
}

void Launcher::shellLaunch(const QByteArray& page, const QByteArray& slot, const QByteArray& address)
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
    QByteArray folder = PathNames::folder(file);
    QByteArray extraInfo;
    if (!page.isEmpty()) {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        extraInfo = ini.ReadString(page, FieldKey(slot, F::ExtraInfo), {});
    }
    // The Extra Info of a program bookmark doubles as its start folder.
    if (!extraInfo.isEmpty() &&
        (extraInfo.indexOf(':') == 1 || (extraInfo.startsWith('/') && QFileInfo(PathNames::toQt(extraInfo)).isDir())))
        folder = extraInfo;

    const QString program = PathNames::toQt(file);
    if (program.startsWith(QLatin1Char('-'))) {
        refuse(program);
        return;
    }
    const QStringList arguments = ProcessStarter::splitArguments(AnsiText::toUi(parameters));
    for (const QString& a : arguments) {
        if (a.startsWith(QLatin1Char('-'))) {
            refuse(a);
            return;
        }
    }
    const QFileInfo info(program);
    QString executable;
    if (info.isFile() && info.isExecutable())
        executable = info.absoluteFilePath();
    else if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char(':')))
        executable = QStandardPaths::findExecutable(program);
    ProcessStarter::Result r;
    if (!executable.isEmpty()) {
        QString dir = PathNames::toQt(folder);
        if (!QFileInfo(dir).isDir())
            dir = QFileInfo(executable).absolutePath();
        r = m_starter.start(executable, arguments, dir, QStringLiteral("shell"));
    } else {
        r = m_starter.openDocument(program);
    }
    if (!r.started)
        b.ui().message(r.error, Prompter::Type::Error, Prompter::Buttons::Ok);
}

void Launcher::ChangeBrowser(int n)
{
    Board& b = m_board;
    const QByteArray path = b.files().settingsPath();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    b.vars().BrowserPath = ini.ReadString(kBrowser, QByteArray::number(n), {});
    b.vars().BrowserIndex = n;
    ini.WriteInteger(kBrowser, kSelected, n);
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
        int count = 0;
        int selected = 0;
        QByteArray name;
        {
            TIniFile32 ini(b.store(), path);
            count = ini.ReadInteger(kBrowser, kCount, 0);
            selected = ini.ReadInteger(kBrowser, kSelected, 0);
            name = PathNames::fileName(ini.ReadString(kBrowser, QByteArray::number(selected), {}));
        }
        if (b.ui().message(QStringLiteral("Are you sure you want to delete [ ") + AnsiText::toUi(name) +
                               QStringLiteral(" ] from the browser list?"),
                           Prompter::Type::Confirmation, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
            return;
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        ini.WriteInteger(kBrowser, kCount, std::max(0, count - 1));
        ini.WriteInteger(kBrowser, kSelected, 1);
        ini.DeleteKey(kBrowser, QByteArray::number(selected));
        // Renumber without gaps: every remaining path moves to the next free number.
        int next = 1;
        for (int n = 1; n <= count; ++n) {
            const QByteArray value = ini.ReadString(kBrowser, QByteArray::number(n), {});
            if (value.isEmpty())
                continue;
            if (n != next) {
                ini.WriteString(kBrowser, QByteArray::number(next), value);
                ini.DeleteKey(kBrowser, QByteArray::number(n));
            }
            ++next;
        }
        b.vars().BrowserPath = ini.ReadString(kBrowser, "1", {});
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
    const int count = ini.ReadInteger(kBrowser, kCount, 0);
    ini.WriteString(kBrowser, QByteArray::number(count + 1), browser);
    ini.WriteInteger(kBrowser, kCount, count + 1);
    ini.WriteInteger(kBrowser, kSelected, count + 1);
    batch.commit();
    b.vars().BrowserPath = browser;
    b.vars().BrowserIndex = count + 1;
    b.showBrowsers();
}

void Launcher::SingleButtonClick(bool single)
{
    Board& b = m_board;
    b.vars().ShowPages = single ? kSingle : kMultiple;
    for (const char* item : {"SingleButton", "MSingle"})
        b.state().setChecked(item, single);
    for (const char* item : {"MultButton", "MMultiple"})
        b.state().setChecked(item, !single);
    b.files().WriteToIniS(kShow, kPages, b.vars().ShowPages);
}

void Launcher::URLBoxEnter(const QByteArray& typed)
{
    Board& b = m_board;
    QByteArray text = typed;
    if (LaunchText::isWebAddress(text)) {
        text = LaunchText::EndSlash(typed);
    } else {
        m_directOpen = true;
        QByteArray folder = PathNames::folder(text);
        if (folder.isEmpty())
            folder = PathNames::fromQt(QDir::homePath());
        const QString what = PathNames::toQt(PathNames::fileName(text));
        b.ui().setCursor(ScreenCursor::HourGlass);
        const QString found = findFirstFile(PathNames::toQt(folder), what,
                                            [&b, &what] { return b.ui().keepSearching(what); });
        b.ui().endSearch();
        b.ui().setCursor(ScreenCursor::Default);
        if (!found.isEmpty())
            text = PathNames::fromQt(found);
    }
    try {
        Launch({}, text);
    } catch (...) {
        m_directOpen = false;
        throw;
    }
    m_directOpen = false;
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
