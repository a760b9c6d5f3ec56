#include "FavoritesCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "BusyCursor.h"
#include "CommandError.h"
#include "FileCommands.h"
#include "ImportedFile.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "PathNames.h"
#include "Progress.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstring>

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

std::vector<NetscapeFile::Folder> FavoritesCommands::readTree(IniStore& store, const QString& root, int* skipped,
                                                              WorkFeed* feed)
{
    *skipped = 0;
    QStringList folders;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext() && !(feed && feed->cancelled()))
        folders << it.next();
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    folders.prepend(root);
    std::vector<NetscapeFile::Folder> out;
    for (qsizetype n = 0; n < folders.size(); ++n) {
        if (feed) {
            if (feed->cancelled())
                return {};
            feed->report(100 + int(700 * n / folders.size()));
        }
        const QString& path = folders[n];
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
    const std::optional<QByteArray> target = ImportedFile::target(b, kImportName);
    if (!target)
        return;
    const QString root = b.ui().folder(QStringLiteral("Select the Favorites folder"), favoritesFolder());
    if (root.isEmpty())
        return;
    auto skipped = std::make_shared<int>(0);
    ImportedFile::importInBackground(
        b, QStringLiteral("Import Internet Explorer Bookmarks"), QStringLiteral("Reading %1 ...").arg(root), *target,
        [root, skipped](WorkFeed& feed) {
            // The shortcuts are read with an engine of the worker's own.
            IniStore store;
            return NetscapeFile::pages(readTree(store, root, skipped.get(), &feed));
        },
        [this, root, skipped](bool written, bool cancelled) {
            if (cancelled && !written)
                return;
            QString said = written
                               ? QString()
                               : QStringLiteral("\"%1\" holds no Internet shortcuts; nothing was imported.").arg(root);
            if (*skipped > 0)
                said += (said.isEmpty() ? QString() : QStringLiteral(" ")) +
                        QStringLiteral("%1 shortcut(s) without an address (no URL) were skipped.").arg(*skipped);
            if (!said.isEmpty())
                m_board.ui().message(said, Prompter::Type::Information, Prompter::Buttons::Ok);
        });
}

void FavoritesCommands::MExportIEClick(bool allPages)
{
    Board& b = m_board;
    const QString chosen = b.ui().folder(QStringLiteral("Select a folder for the shortcuts"), favoritesFolder());
    if (chosen.isEmpty())
        return;
    QStringList failed;
    {
        const BusyCursor busy(b.ui());
        for (const NetscapeFile::Page& page : ImportedFile::pagesOf(b, allPages)) {
            // A page name is cleaned as a title is, so it is always a folder name.
            QByteArray folderName = Strip(page.name);
            if (folderName.isEmpty())
                folderName = "Page";
            const QString folder = QDir(chosen).filePath(AnsiText::toUi(folderName));
            if (!QDir().mkpath(folder)) {
                failed << folder;
                continue;
            }
            for (const NetscapeFile::Link& link : page.links) {
                QByteArray name = Strip(AnsiText::oneLine(link.title)).trimmed();
                if (name.isEmpty())
                    name = "Bookmark";
                // Equal names get a number: nothing is overwritten.
                QString file = QDir(folder).filePath(AnsiText::toUi(name) + QStringLiteral(".url"));
                for (int k = 2; QFileInfo::exists(file); ++k)
                    file = QDir(folder).filePath(AnsiText::toUi(name) + QStringLiteral(" (%1).url").arg(k));
                try {
                    IniStore::writeAtomically(PathNames::fromQt(file),
                                              "[InternetShortcut]\r\nURL=" + link.url + "\r\n");
                } catch (const CommandError&) {
                    failed << file;
                }
            }
        }
    }
    if (!failed.isEmpty())
        b.ui().message(QStringLiteral("These could not be written:\n") + failed.join(QLatin1Char('\n')),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
}
