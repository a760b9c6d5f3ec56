#include "NetscapeCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "FileCommands.h"
#include "FileRequest.h"
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
    const QByteArray target = b.files().ProgramDir() + kImportName;
    if (QFileInfo::exists(PathNames::toQt(target)) &&
        b.ui().message(QStringLiteral("File already exists.  Do you want to overwrite it?"),
                       Prompter::Type::Confirmation, Prompter::Buttons::YesNoHelp,
                       kOverwriteHelp) != Prompter::Answer::Yes)
        return;
    QFile source(chosen);
    if (QFileInfo(chosen).size() > BookmarkFile::kMaxFileBytes)
        throw CommandError(
            QStringLiteral("\"%1\" is too big to be a bookmark file; nothing was imported.").arg(chosen));
    if (!source.open(QIODevice::ReadOnly))
        throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
    b.ui().setCursor(ScreenCursor::HourGlass);
    // Each step's input goes as soon as the next has what it needs.
    std::vector<NetscapeFile::Folder> folders = NetscapeFile::read(source.readAll());
    source.close();
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(std::move(folders));
    if (pages.empty()) {
        b.ui().setCursor(ScreenCursor::Default);
        b.ui().message(QStringLiteral("\"%1\" holds no bookmarks; nothing was imported.").arg(chosen),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    // The new file is written whole, once: an import never leaves half a file.
    try {
        IniStore::writeAtomically(target, NetscapeFile::bookmarkFile(pages));
    } catch (...) {
        b.ui().setCursor(ScreenCursor::Default);
        throw;
    }
    b.ui().setCursor(ScreenCursor::Default);
    b.fileCommands().switchTo(target);
}

void NetscapeCommands::MExportNSClick(bool allPages)
{
    Board& b = m_board;
    FileRequest request = bookmarkFileRequest();
    const QString chosen = b.ui().saveFile(request);
    if (chosen.isEmpty())
        return;
    b.ui().setCursor(ScreenCursor::HourGlass);
    std::vector<NetscapeFile::Page> pages;
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        const std::vector<QByteArray>& tabs = b.state().tabs();
        for (int p = 0; p < int(tabs.size()); ++p) {
            if (!allPages && p != b.state().tabIndex())
                continue;
            NetscapeFile::Page page{tabs[size_t(p)], {}};
            for (int n = 1; n <= b.vars().Columns * 20; ++n) {
                const BookmarkSlot slot(ini, tabs[size_t(p)], BookmarkFile::SlotKey(n));
                const QByteArray url = slot.url();
                // A protected address is no address a browser could open.
                if (!url.isEmpty() && !BookmarkFile::IsProtectedUrl(url))
                    page.links.push_back({url, slot.title()});
            }
            pages.push_back(std::move(page));
        }
    }
    const QByteArray folders = NetscapeFile::folderLines(pages, QDateTime::currentSecsSinceEpoch());
    QByteArray bytes;
    QFile existing(chosen);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            b.ui().setCursor(ScreenCursor::Default);
            throw CommandError(QStringLiteral("Cannot open file %1").arg(chosen));
        }
        bytes = existing.readAll();
        if (!NetscapeFile::insertInto(bytes, folders)) {
            b.ui().setCursor(ScreenCursor::Default);
            throw CommandError(
                QStringLiteral("\"%1\" is no bookmark file (it has no list of bookmarks); nothing was written.")
                    .arg(chosen));
        }
    } else {
        bytes = NetscapeFile::newFile(folders);
    }
    try {
        IniStore::writeAtomically(PathNames::fromQt(chosen), bytes);
    } catch (...) {
        b.ui().setCursor(ScreenCursor::Default);
        throw;
    }
    b.ui().setCursor(ScreenCursor::Default);
}
