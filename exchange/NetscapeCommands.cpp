#include "NetscapeCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "BusyCursor.h"
#include "CommandError.h"
#include "FileCommands.h"
#include "FileRequest.h"
#include "ImportedFile.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "NetscapeFile.h"
#include "PathNames.h"
#include "Progress.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

FileRequest bookmarkFileRequest()
{
    FileRequest request;
    request.title = QStringLiteral("Select Netscape bookmark file");
    request.filter = QStringLiteral("Bookmark File|*.htm;*.html|All Files|*.*");
    request.startFolder = QDir::homePath();
    return request;
}

} // namespace

void NetscapeCommands::MImportNSClick()
{
    Board& b = m_board;
    const QString chosen = b.ui().openFile(bookmarkFileRequest());
    if (chosen.isEmpty())
        return;
    // Whether the file can be read is known before the file made last time
    // is put at stake.
    {
        QFile source(chosen);
        if (!QFileInfo(source).isFile() || !source.open(QIODevice::ReadOnly))
            throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
    }
    const std::optional<QByteArray> target = ImportedFile::target(b, kImportName);
    if (!target)
        return;
    auto outcome = std::make_shared<ImportedFile::Outcome>();
    ImportedFile::importInBackground(
        b, QStringLiteral("Import Netscape Bookmarks"), QStringLiteral("Reading %1 ...").arg(chosen), *target,
        [chosen, outcome](WorkFeed& feed) {
            std::vector<NetscapeFile::Folder> folders = NetscapeFile::readFile(
                chosen,
                [&feed](qint64 done, qint64 size) {
                    feed.report(int(800 * done / std::max<qint64>(1, size)));
                    return !feed.cancelled();
                },
                &outcome->skipped);
            if (feed.cancelled())
                return std::vector<NetscapeFile::Page>{};
            feed.report(800);
            return NetscapeFile::pages(std::move(folders), &outcome->leftOut, [&feed] { return !feed.cancelled(); });
        },
        [this, chosen, outcome](bool written, bool cancelled) {
            outcome->tell(m_board, written, cancelled,
                          QStringLiteral("\"%1\" holds no bookmarks; nothing was imported.").arg(chosen),
                          QStringLiteral("bookmark"));
        });
}

void NetscapeCommands::MExportNSClick(bool allPages)
{
    Board& b = m_board;
    FileRequest request = bookmarkFileRequest();
    const QString chosen = b.ui().saveFile(request);
    if (chosen.isEmpty())
        return;
    const BusyCursor busy(b.ui());
    const std::vector<NetscapeFile::Page> pages = ImportedFile::pagesOf(b, allPages);
    const QByteArray folders = NetscapeFile::folderLines(pages, QDateTime::currentSecsSinceEpoch());
    QByteArray bytes;
    QFile existing(chosen);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
        bytes = existing.readAll();
        if (!NetscapeFile::insertInto(bytes, folders))
            throw CommandError(
                QStringLiteral("\"%1\" is no bookmark file (it has no list of bookmarks); nothing was written.")
                    .arg(chosen));
    } else {
        bytes = NetscapeFile::newFile(folders);
    }
    IniStore::writeAtomically(PathNames::fromQt(chosen), bytes);
}
