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
    const std::optional<QByteArray> target = ImportedFile::target(b, kImportName);
    if (!target)
        return;
    if (QFileInfo(chosen).size() > BookmarkFile::kMaxFileBytes)
        throw CommandError(
            QStringLiteral("\"%1\" is too big to be a bookmark file; nothing was imported.").arg(chosen));
    ImportedFile::importInBackground(
        b, QStringLiteral("Import Netscape Bookmarks"), QStringLiteral("Reading %1 ...").arg(chosen), *target,
        [chosen](WorkFeed& feed) {
            QFile source(chosen);
            if (!source.open(QIODevice::ReadOnly))
                throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
            // Each step's input goes as soon as the next has what it needs.
            QByteArray html = source.readAll();
            source.close();
            feed.report(100);
            const qsizetype size = std::max<qsizetype>(1, html.size());
            std::vector<NetscapeFile::Folder> folders = NetscapeFile::read(html, [&](qsizetype at) {
                feed.report(100 + int(700 * at / size));
                return !feed.cancelled();
            });
            html = {};
            if (feed.cancelled())
                return std::vector<NetscapeFile::Page>{};
            feed.report(800);
            return NetscapeFile::pages(std::move(folders));
        },
        [this, chosen](bool written, bool cancelled) {
            if (!written && !cancelled)
                m_board.ui().message(QStringLiteral("\"%1\" holds no bookmarks; nothing was imported.").arg(chosen),
                                     Prompter::Type::Information, Prompter::Buttons::Ok);
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
