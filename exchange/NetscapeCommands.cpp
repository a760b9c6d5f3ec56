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
    QFile source(chosen);
    if (QFileInfo(chosen).size() > BookmarkFile::kMaxFileBytes)
        throw CommandError(
            QStringLiteral("\"%1\" is too big to be a bookmark file; nothing was imported.").arg(chosen));
    if (!source.open(QIODevice::ReadOnly))
        throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
    std::vector<NetscapeFile::Page> pages;
    {
        const BusyCursor busy(b.ui());
        // Each step's input goes as soon as the next has what it needs.
        std::vector<NetscapeFile::Folder> folders = NetscapeFile::read(source.readAll());
        source.close();
        pages = NetscapeFile::pages(std::move(folders));
        if (!pages.empty())
            ImportedFile::writeAndOpen(b, *target, pages);
    }
    if (pages.empty())
        b.ui().message(QStringLiteral("\"%1\" holds no bookmarks; nothing was imported.").arg(chosen),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
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
