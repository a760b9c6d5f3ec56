#include "FavoritesCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkAddress.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "BusyCursor.h"
#include "CommandError.h"
#include "FileCommands.h"
#include "ImportedFile.h"
#include "IniStore.h"
#include "InternetShortcut.h"
#include "PathNames.h"
#include "Progress.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

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

namespace {

// The entries of a folder as the file system names them: bytes, whatever
// their encoding (names that are no UTF-8 would not survive a QString).
struct Entries
{
    std::vector<QByteArray> folders;   // paths of folders and of links to folders
    std::vector<QByteArray> shortcuts; // names of files that end in ".url", any case
};

Entries entriesOf(const QByteArray& folder)
{
    Entries out;
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return out;
    while (const dirent* e = readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = folder + '/' + name;
        struct stat st = {};
        if (lstat(path.constData(), &st) != 0)
            continue;
        const bool link = S_ISLNK(st.st_mode);
        if (link && stat(path.constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            out.folders.push_back(path);
        else if (S_ISREG(st.st_mode) && name.size() > 4 && AnsiText::toLower(name.right(4)) == ".url")
            out.shortcuts.push_back(name);
    }
    closedir(dir);
    return out;
}

// Names as the user reads them, without regard to case.
void sortByName(std::vector<QByteArray>& names)
{
    std::vector<std::pair<QString, QByteArray>> keyed;
    keyed.reserve(names.size());
    for (QByteArray& n : names)
        keyed.emplace_back(AnsiText::toUi(n), std::move(n));
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[i].second);
}

// The stored form of a name from the disk: UTF-8 read as UTF-8 (and stored
// as typed text is), other bytes kept as they are (shown as Windows-1252).
QByteArray storedName(const QByteArray& name)
{
    return AnsiText::isValidUtf8(name) ? AnsiText::fromUi(QString::fromUtf8(name)) : name;
}

} // namespace

std::vector<NetscapeFile::Folder> FavoritesCommands::readTree(const QString& root, ImportedFile::Outcome* outcome,
                                                              WorkFeed* feed)
{
    const QByteArray top = PathNames::fromQt(QDir::cleanPath(root));
    // Every folder below the root; a linked folder is read but not walked
    // (links may go round).
    std::vector<QByteArray> folders;
    for (std::vector<QByteArray> next{top}; !next.empty() && !(feed && feed->cancelled());) {
        const QByteArray folder = next.back();
        next.pop_back();
        for (QByteArray& sub : entriesOf(folder).folders) {
            struct stat st = {};
            if (lstat(sub.constData(), &st) == 0 && S_ISDIR(st.st_mode))
                next.push_back(sub);
            folders.push_back(std::move(sub));
        }
    }
    sortByName(folders);
    folders.insert(folders.begin(), top);
    std::vector<NetscapeFile::Folder> out;
    for (size_t n = 0; n < folders.size(); ++n) {
        if (feed) {
            if (feed->cancelled())
                return {};
            feed->report(100 + int(700 * qint64(n) / qint64(folders.size())));
        }
        const QByteArray& path = folders[n];
        std::vector<QByteArray> shortcuts = entriesOf(path).shortcuts;
        sortByName(shortcuts);
        NetscapeFile::Folder folder;
        folder.name = storedName(PathNames::fileName(path));
        for (const QByteArray& name : shortcuts) {
            if (feed && feed->cancelled())
                return {};
            QByteArray url;
            try {
                url = InternetShortcut::url(path + '/' + name);
            } catch (const CommandError&) {
                // Unreadable: as good as no address.
            }
            if (url.isEmpty()) {
                ++outcome->noAddress;
                continue;
            }
            if (!BookmarkAddress::mayBecomeBookmark(url, BookmarkAddress::Origin::Own)) {
                ++outcome->skipped;
                continue;
            }
            folder.links.push_back({url, storedName(name.chopped(4))});
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
    auto outcome = std::make_shared<ImportedFile::Outcome>();
    ImportedFile::importInBackground(
        b, QStringLiteral("Import Internet Explorer Bookmarks"), QStringLiteral("Reading %1 ...").arg(root), *target,
        [root, outcome](WorkFeed& feed) {
            std::vector<NetscapeFile::Folder> folders = readTree(root, outcome.get(), &feed);
            return NetscapeFile::pages(std::move(folders), &outcome->leftOut, [&feed] { return !feed.cancelled(); });
        },
        [this, root, outcome](bool written, bool cancelled) {
            outcome->tell(m_board, written, cancelled,
                          QStringLiteral("\"%1\" holds no Internet shortcuts; nothing was imported.").arg(root),
                          QStringLiteral("shortcut"));
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
