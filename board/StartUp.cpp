#include "StartUp.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BrowserList.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "FileError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageDisplay.h"
#include "Passwords.h"
#include "PathNames.h"
#include "SettingsFile.h"
#include "WindowModes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace SettingsFile;

namespace {

void copyFile(const QByteArray& from, const QByteArray& to)
{
    QFile source(PathNames::toQt(from));
    if (!PathNames::fileExists(from) || !source.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file %1").arg(source.fileName()));
    IniStore::writeAtomically(to, source.readAll(), from);
}

} // namespace

const QStringList& StartUp::welcomeLines()
{
    static const QStringList lines = {
        QStringLiteral("Click on any blank button to add bookmarks to Lynkor."),
        QString(),
        QStringLiteral("Other Lynkor data files can be opened or created using the File menu."),
        QString(),
        QStringLiteral("Click your Right mouse button on any Page Tab or Button for Options."),
    };
    return lines;
}

void StartUp::NewUser(const QByteArray& installFolder)
{
    const QByteArray installer = (installFolder.endsWith('/') ? installFolder : installFolder + '/') + "setup.exe";
    m_board.ui().choice({QStringLiteral("Welcome to Lynkor"), {QStringLiteral("Begin")}, welcomeLines(), std::nullopt});
    if (PathNames::fileExists(installer))
        copyFile(installer, m_board.files().ProgramDir() + "setup.exe");
}

void StartUp::migrateLegacyFiles()
{
    const ProgramFiles& files = m_board.files();
    const QByteArray dir = files.ProgramDir();
    if (!PathNames::existsNoCase(dir, kDefaultFileName) && PathNames::existsNoCase(dir, kLegacyFileName))
        copyFile(PathNames::findNoCase(dir, kLegacyFileName), dir + kDefaultFileName);
    if (!PathNames::existsNoCase(dir, kUserFileName) && PathNames::existsNoCase(dir, kLegacyUserFileName))
        copyFile(PathNames::findNoCase(dir, kLegacyUserFileName), dir + kUserFileName);
}

void StartUp::recoverDiskCopy(TIniFile32& settings)
{
    if (TempName.read(settings) != kDisk)
        return;
    // The last run ended while it worked on the disk copy: give the copies
    // their own names back. An existing file of that name is never replaced.
    const QByteArray dir = m_board.files().ProgramDir();
    const QByteArray fileName = FileName.read(settings);
    const QByteArray searchName = SearchName.read(settings);
    if (!fileName.isEmpty())
        QFile::rename(PathNames::toQt(PathNames::findNoCase(dir, "disk.lyk")), PathNames::toQt(fileName));
    if (!searchName.isEmpty())
        QFile::rename(PathNames::toQt(PathNames::findNoCase(dir, "disk.ise")), PathNames::toQt(searchName));
    TempName.write(settings, QByteArray());
}

QByteArray StartUp::bookmarkArgument(const QByteArray& argument) const
{
    if (!PathNames::hasFolderPart(argument))
        return m_board.files().ProgramDir() + argument;
    if (argument.startsWith('/'))
        return argument;
    return PathNames::fromQt(QDir::current().absoluteFilePath(PathNames::toQt(argument)));
}

void StartUp::readOptions(TIniFile32& settings)
{
    FormVars& vars = m_board.vars();
    BoardState& state = m_board.state();
    state.setChecked(MenuItem::MNewDlg, ConfirmErase.readOn(settings));
    state.setChecked(MenuItem::MWebDlg, ConfirmWebIcon.readOn(settings));
    vars.TrayMode = Tray.read(settings);
    vars.ShowPages = ShowPages.read(settings);

    vars.ButtonFontName = ButtonFontName.read(settings);
    vars.ButtonFontSize = ButtonFontSize.readNumber(settings);
    vars.ButtonFontColor = ButtonFontColor.readNumber(settings);
    state.setButtonFont(vars.ButtonFontName, vars.ButtonFontSize);

    TabStyle tabs;
    tabs.fontColor = TabFontColor.readNumber(settings);
    tabs.fontName = TabFontName.read(settings);
    tabs.fontSize = TabFontSize.readNumber(settings);
    tabs.unselectedColor = TabUnselectedColor.readNumber(settings);
    tabs.selectedColor = TabSelectedColor.readNumber(settings);
    state.setTabStyle(tabs);

    vars.BrowserIndex = BrowserSelected.readNumber(settings);
    vars.BrowserPath = BrowserList::path(settings, vars.BrowserIndex);
    vars.AutoRunLoad = AutoRunLoad.read(settings) == Yes;
    m_board.modes().applyAutoRun(vars.AutoRunLoad);

    state.setChecked(MenuItem::MBIcon, ButtonIcons.readOn(settings));
    state.setChecked(MenuItem::MBNotes, ButtonNotes.readOn(settings));
    state.setChecked(MenuItem::MBUrl, ButtonUrl.readOn(settings));
    state.setChecked(MenuItem::MWebIcon, WebIconSearch.readOn(settings));
    const bool backup = AutoBackup.readOn(settings);
    state.setChecked(MenuItem::MBackup, backup);
    state.setEnabled(MenuItem::MUndo, backup);
    state.setChecked(MenuItem::MColumn2, vars.Columns == 2);
    state.setChecked(MenuItem::MColumn3, vars.Columns == 3);
    state.setChecked(MenuItem::MColumn4, vars.Columns == 4);
}

void StartUp::seedBrowsers(TIniFile32& settings)
{
    FormVars& vars = m_board.vars();
    if (!vars.BrowserPath.isEmpty() && !PathNames::fileExists(vars.BrowserPath))
        vars.BrowserPath.clear();
    if (!vars.BrowserPath.isEmpty())
        return;
    const std::vector<QByteArray> found = m_board.desktop().installedBrowsers();
    if (found.empty())
        return;
    BrowserList::seed(settings, found);
    vars.BrowserPath = found.front();
    vars.BrowserIndex = 1;
}

void StartUp::showBrowsers()
{
    FormVars& vars = m_board.vars();
    BoardState& state = m_board.state();
    m_board.showBrowsers();
    const bool single = vars.ShowPages == kSingle;
    state.setChecked(MenuItem::SingleButton, single);
    state.setChecked(MenuItem::MSingle, single);
    state.setChecked(MenuItem::MultButton, !single);
    state.setChecked(MenuItem::MMultiple, !single);
}

void StartUp::readBookmarkFileKeys()
{
    Board& b = m_board;
    FormVars& vars = b.vars();
    TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    const QByteArray filePassword = ini.ReadString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, {});
    const QByteArray version = ini.ReadString(BookmarkFile::kProgram, BookmarkFile::kVersion, {});
    vars.FilePasswordValue = (filePassword.isEmpty() && version.isEmpty()) ? QByteArray() : filePassword + version;

    const QByteArray iconG = ini.ReadString(BookmarkFile::kDefault, BookmarkFile::kIconG, {});
    int index = BookmarkFile::kDefaultIconG;
    if (iconG.startsWith("Image")) {
        bool ok = false;
        const int d = TIniFile32::toInteger(iconG.mid(5, 3), &ok);
        if (ok) {
            index = d;
            ini.WriteInteger(BookmarkFile::kDefault, BookmarkFile::kIconG, d);
        }
    } else {
        index = ini.ReadInteger(BookmarkFile::kDefault, BookmarkFile::kIconG, BookmarkFile::kDefaultIconG);
    }
    // An image of a file chosen as the default icon: IconG 600 and up names
    // its icon number, IconI the file.
    const QByteArray iconI = ini.ReadString(BookmarkFile::kDefault, BookmarkFile::kIconI, {});
    if (index >= 600 && !iconI.isEmpty())
        b.state().setDefaultIcon({IconRef::File, index - 600, iconI});
    else
        b.state().setDefaultIcon({IconRef::Internal, index, {}});
}

void StartUp::FormCreate(const QStringList& arguments)
{
    Board& b = m_board;
    ProgramFiles& files = b.files();
    FormVars& vars = b.vars();
    BoardState& state = b.state();

    migrateLegacyFiles();

    const CommandLine cl = CommandLine::parse(arguments);
    if (cl.firstRun)
        NewUser(cl.installFolder);
    files.setSettingsStem(cl.stem);

    const QByteArray settingsPath = files.settingsPath();
    {
        IniBatch batch(b.store(), settingsPath);
        TIniFile32 settings(b.store(), settingsPath);
        vars.WindowWidth = Width.readNumber(settings);
        vars.Columns = Columns.readNumber(settings);
        if (vars.Columns < 2 || vars.Columns > 4)
            vars.Columns = Columns.defaultNumber();

        recoverDiskCopy(settings);

        QByteArray fileName = FileName.read(settings);
        // A name that is no absolute path here (C:\LYNKOR\Disk.LYK of a Windows
        // installation, or a relative one) is not found: opened as it stands it
        // would land in whatever folder Lynkor was started from.
        if (fileName.isEmpty() || !PathNames::nameHasDot(fileName) || !fileName.startsWith('/')) {
            fileName = files.fixedFile(BookmarkFile::kDefaultFileName);
            const bool smallScreen = b.desktop().screenHeight() < kSmallScreenHeight;
            FileName.write(settings, fileName);
            WindowState.write(settings, kNorm);
            ShowHint.write(settings, Yes);
            Tray.write(settings, No);
            Top.write(settings, smallScreen ? kSmallScreenPosition : kFirstRunTop);
            Left.write(settings, smallScreen ? kSmallScreenPosition : kFirstRunLeft);
            Width.write(settings, Width.defaultNumber());
        }
        for (const QByteArray& argument : cl.bookmarkFiles) {
            fileName = bookmarkArgument(argument);
            FileName.write(settings, fileName);
        }
        // A file far too big, or with a line no bookmark file has, is left
        // untouched: the default file opens instead, or Lynkor ends.
        if (const QString unfit = BookmarkFile::UnfitReason(fileName); !unfit.isEmpty()) {
            const QByteArray fallback = files.fixedFile(BookmarkFile::kDefaultFileName);
            const bool other = IniStore::normalized(fallback) != IniStore::normalized(fileName) &&
                               BookmarkFile::UnfitReason(fallback).isEmpty();
            QStringList buttons;
            if (other)
                buttons << QStringLiteral("Open Default File");
            buttons << QStringLiteral("Exit");
            const int pressed = b.ui().choice(
                {QStringLiteral("Bookmark file not opened"),
                 buttons,
                 {unfit, other ? QStringLiteral("Lynkor leaves it as it is. Open the default bookmark file, %1, "
                                                "instead?")
                                     .arg(PathNames::toQt(fallback))
                               : QStringLiteral("Lynkor leaves it as it is. Move it out of %1 and start Lynkor "
                                                "again.")
                                     .arg(PathNames::toQt(files.ProgramDir()))},
                 std::nullopt});
            if (!other || pressed != 0) {
                batch.commit();
                state.setVisible(false);
                state.requestQuit();
                return;
            }
            fileName = fallback;
            FileName.write(settings, fileName);
        }
        files.setBookmarkFileName(fileName);

        WindowGeometry g = state.geometry();
        g.top = Top.readNumber(settings);
        g.left = Left.readNumber(settings);
        g.width = vars.WindowWidth;
        g.height = kNormalHeight;
        state.noteGeometry(g);

        readOptions(settings);
        seedBrowsers(settings);
        showBrowsers();
        batch.commit();
    }

    // The bookmark file is read once for its keys and its first page.
    IniBatch bookmarks(b.store(), files.BookmarkFileName());
    readBookmarkFileKeys();
    b.passwords().readPagePasswords();
    // The window takes its stored place and width before it is shown: shown
    // first, it would report the default place back and lose the stored one.
    vars.FirstBuild = true;
    state.requestGeometry(state.geometry());
    b.modes().applyStartMode();

    b.pages().setClientWidth(vars.WindowWidth);
    b.pages().Buttons(vars.Columns);
    try {
        TIniFile32 ini(b.store(), files.BookmarkFileName());
        state.setTabs({BookmarkFile::FirstPageName(ini)}, 0);
        b.pages().Load(state.currentPage());
    } catch (const CommandError& e) {
        vars.FirstBuild = false;
        b.ui().message(e.text(), Prompter::Type::Error, Prompter::Buttons::Ok);
    }
    vars.FirstBuild = false;
    bookmarks.commit();
    b.FormCaption();
    b.ManualUrls().setFile(files.fixedFile("ManualURL.txt"));
    b.ManualUrls().load();
    state.setManualUrls(b.ManualUrls().items());
    b.modes().SetHotKeys();
    b.modes().applyMiniMode();
}
