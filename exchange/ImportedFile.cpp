#include "ImportedFile.h"

#include "Board.h"
#include "BoardState.h"
#include "BookmarkAddress.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "FileCommands.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "PathNames.h"
#include "Progress.h"

#include <QFileInfo>

namespace ImportedFile {

std::optional<QByteArray> target(Board& board, const char* name)
{
    const QByteArray path = PathNames::findNoCase(board.files().ProgramDir(), name);
    if (QFileInfo::exists(PathNames::toQt(path)) &&
        board.ui().message(QStringLiteral("File already exists.  Do you want to overwrite it?"),
                           Prompter::Type::Confirmation, Prompter::Buttons::YesNoHelp,
                           kOverwriteHelp) != Prompter::Answer::Yes)
        return std::nullopt;
    return path;
}

void importInBackground(Board& board, const QString& caption, const QString& text, const QByteArray& target,
                        MakePages make, std::function<void(bool written, bool cancelled)> after)
{
    auto written = std::make_shared<bool>(false);
    board.runInBackground(
        caption, text,
        [target, make, written](WorkFeed& feed) {
            std::vector<NetscapeFile::Page> pages = make(feed);
            if (feed.cancelled() || pages.empty())
                return;
            const QByteArray bytes = NetscapeFile::bookmarkFile(pages);
            pages = {};
            feed.report(900);
            if (feed.cancelled())
                return;
            IniStore::writeAtomically(target, bytes);
            *written = true;
            feed.report(WorkFeed::kDone);
        },
        [&board, target, written, after](bool cancelled) {
            // A file written is whole, even when Cancel came too late to stop it.
            // Written over the open file, it is no longer the file whose page
            // passwords the board holds: they stay out of it.
            if (*written)
                board.fileCommands().switchTo(target, board.fileCommands().isCurrent(target)
                                                          ? FileCommands::Outgoing::AlreadyWritten
                                                          : FileCommands::Outgoing::Write);
            after(*written, cancelled);
        });
}

std::vector<NetscapeFile::Page> pagesOf(Board& board, bool allPages)
{
    std::vector<NetscapeFile::Page> pages;
    const TIniFile32 ini(board.store(), board.files().BookmarkFileName());
    const std::vector<QByteArray>& tabs = board.state().tabs();
    for (int p = 0; p < int(tabs.size()); ++p) {
        if (!allPages && p != board.state().tabIndex())
            continue;
        NetscapeFile::Page page{tabs[size_t(p)], {}};
        for (int n = 1; n <= board.vars().Columns * 20; ++n) {
            const BookmarkSlot slot(ini, tabs[size_t(p)], BookmarkFile::SlotKey(n));
            const QByteArray url = slot.url();
            if (!url.isEmpty() && !BookmarkFile::IsProtectedUrl(url) &&
                BookmarkAddress::mayBecomeBookmark(url, BookmarkAddress::Origin::Own))
                page.links.push_back({url, slot.title()});
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

void Outcome::tell(Board& board, bool written, bool cancelled, const QString& nothing, const QString& what) const
{
    if (cancelled && !written)
        return;
    QStringList said;
    if (!written)
        said << nothing;
    if (noAddress > 0)
        said << QStringLiteral("%1 shortcut(s) without an address (no URL) were skipped.").arg(noAddress);
    if (skipped > 0)
        said << BookmarkAddress::skippedText(skipped, what, BookmarkAddress::Origin::Own);
    if (leftOut.folders > 0)
        said << QStringLiteral("%1 bookmark(s) of %2 folder(s) were left out: with them the new bookmark file "
                               "would be bigger than the %3 MB Lynkor opens.")
                    .arg(leftOut.links)
                    .arg(leftOut.folders)
                    .arg(BookmarkFile::kMaxFileBytes >> 20);
    if (!said.isEmpty())
        board.ui().message(said.join(QLatin1Char(' ')), Prompter::Type::Information, Prompter::Buttons::Ok);
}

} // namespace ImportedFile
