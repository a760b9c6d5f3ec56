#include "FavoritesCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "FileCommands.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "PathNames.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kOverwriteHelp = 67;

} // namespace

QByteArray FavoritesCommands::Strip(const QByteArray& title)
{
    QByteArray out = title;
    for (char& c : out)
        if (std::strchr("\\/:*?\"<>|.,", c) && c != '\0')
            c = '_';
    return out;
}

QString FavoritesCommands::favoritesFolder()
{
    const QString favorites = QDir::home().filePath(QStringLiteral("Favorites"));
    return QFileInfo(favorites).isDir() ? favorites : QDir::homePath();
}

std::vector<NetscapeFile::Folder> FavoritesCommands::readTree(IniStore& store, const QString& root, int* skipped)
{
    *skipped = 0;
    QStringList folders;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders << it.next();
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    folders.prepend(root);
    std::vector<NetscapeFile::Folder> out;
    for (const QString& path : std::as_const(folders)) {
        QDir dir(path);
        QStringList shortcuts =
            dir.entryList({QStringLiteral("*.url"), QStringLiteral("*.URL"), QStringLiteral("*.Url")},
                          QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        shortcuts.removeDuplicates();
        NetscapeFile::Folder folder;
        folder.name = AnsiText::fromUi(QFileInfo(QDir::cleanPath(path)).fileName());
        for (const QString& name : std::as_const(shortcuts)) {
            const TIniFile32 ini(store, PathNames::fromQt(dir.filePath(name)));
            const QByteArray url = ini.ReadString("InternetShortcut", "URL", {});
            if (url.isEmpty()) {
                ++*skipped;
                continue;
            }
            folder.links.push_back({AnsiText::oneLine(url), AnsiText::fromUi(name.chopped(4))});
        }
        // Folders without shortcuts give no page.
        if (!folder.links.empty())
            out.push_back(std::move(folder));
    }
    return out;
}

void FavoritesCommands::MImportIEClick()
{
    Board& b = m_board;
    const QByteArray target = b.files().ProgramDir() + kImportName;
    if (QFileInfo::exists(PathNames::toQt(target)) &&
        b.ui().message(QStringLiteral("File already exists.  Do you want to overwrite it?"),
                       Prompter::Type::Confirmation, Prompter::Buttons::YesNoHelp,
                       kOverwriteHelp) != Prompter::Answer::Yes)
        return;
    const QString root = b.ui().folder(QStringLiteral("Select the Favorites folder"), favoritesFolder());
    if (root.isEmpty())
        return;
    b.ui().setCursor(ScreenCursor::HourGlass);
    int skipped = 0;
    std::vector<NetscapeFile::Folder> folders = readTree(b.store(), root, &skipped);
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(std::move(folders));
    const QString skippedText =
        skipped == 0 ? QString()
                     : QStringLiteral("%1 shortcut(s) without an address (no URL) were skipped.").arg(skipped);
    if (pages.empty()) {
        b.ui().setCursor(ScreenCursor::Default);
        b.ui().message(QStringLiteral("\"%1\" holds no Internet shortcuts; nothing was imported.").arg(root) +
                           (skippedText.isEmpty() ? QString() : QLatin1Char(' ') + skippedText),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    try {
        // The new file is written whole, once.
        IniStore::writeAtomically(target, NetscapeFile::bookmarkFile(pages));
    } catch (...) {
        b.ui().setCursor(ScreenCursor::Default);
        throw;
    }
    b.ui().setCursor(ScreenCursor::Default);
    b.fileCommands().switchTo(target);
    if (!skippedText.isEmpty())
        b.ui().message(skippedText, Prompter::Type::Information, Prompter::Buttons::Ok);
}

void FavoritesCommands::MExportIEClick(bool allPages)
{
    Board& b = m_board;
    const QString chosen = b.ui().folder(QStringLiteral("Select a folder for the shortcuts"), favoritesFolder());
    if (chosen.isEmpty())
        return;
    b.ui().setCursor(ScreenCursor::HourGlass);
    QStringList failed;
    const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    const std::vector<QByteArray>& tabs = b.state().tabs();
    for (int p = 0; p < int(tabs.size()); ++p) {
        if (!allPages && p != b.state().tabIndex())
            continue;
        // A page name is cleaned as a title is, so it is always a folder name.
        QByteArray folderName = Strip(tabs[size_t(p)]);
        if (folderName.isEmpty())
            folderName = "Page";
        const QString folder = QDir(chosen).filePath(AnsiText::toUi(folderName));
        if (!QDir().mkpath(folder)) {
            failed << folder;
            continue;
        }
        for (int n = 1; n <= b.vars().Columns * 20; ++n) {
            const BookmarkSlot slot(ini, tabs[size_t(p)], BookmarkFile::SlotKey(n));
            const QByteArray url = slot.url();
            if (url.isEmpty() || BookmarkFile::IsProtectedUrl(url))
                continue;
            QByteArray name = Strip(AnsiText::oneLine(slot.title())).trimmed();
            if (name.isEmpty())
                name = "Bookmark";
            // Equal names get a number: nothing is overwritten.
            QString file = QDir(folder).filePath(AnsiText::toUi(name) + QStringLiteral(".url"));
            for (int k = 2; QFileInfo::exists(file); ++k)
                file = QDir(folder).filePath(AnsiText::toUi(name) + QStringLiteral(" (%1).url").arg(k));
            try {
                IniStore::writeAtomically(PathNames::fromQt(file), "[InternetShortcut]\r\nURL=" + url + "\r\n");
            } catch (const CommandError&) {
                failed << file;
            }
        }
    }
    b.ui().setCursor(ScreenCursor::Default);
    if (!failed.isEmpty())
        b.ui().message(QStringLiteral("These could not be written:\n") + failed.join(QLatin1Char('\n')),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
}
