#include "BookmarkSearch.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkDialog.h"
#include "BookmarkFile.h"
#include "BookmarkLauncher.h"
#include "BookmarkSlot.h"
#include "BusyCursor.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "NotesText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "RecordOps.h"

namespace {

const QString kLaunchOrDelete = QStringLiteral("Click on Bookmark for Launch or Delete option.");
const QString kLaunchDeleteEdit = QStringLiteral("Click on Bookmark for Launch, Delete or Edit option.");
const QString kNoDuplicates = QStringLiteral("** No Duplicate Bookmarks Found **");
const QString kNoSimilar = QStringLiteral("** No Similar Bookmarks Found **");

} // namespace

BookmarkSearch::BookmarkSearch(Board& board) : m_board(board), m_hint(kLaunchOrDelete) {}

const QStringList& BookmarkSearch::ModeCaptions()
{
    static const QStringList captions{QStringLiteral("URL"), QStringLiteral("Title"), QStringLiteral("Keyword"),
                                      QStringLiteral("Duplicates"), QStringLiteral("Similar")};
    return captions;
}

TabStyle BookmarkSearch::colors() const
{
    return m_board.state().tabStyle();
}

void BookmarkSearch::emptyResults()
{
    m_results.clear();
    m_resultsVisible = false;
    m_status.clear();
    ++m_version;
}

void BookmarkSearch::FormActivate()
{
    m_mode = Mode::Title;
    emptyResults();
    emit changed();
}

void BookmarkSearch::SearchGroupClick(Mode mode)
{
    m_mode = mode;
    emptyResults();
    // The list follows the text: a text already typed is searched in the new mode.
    if (isTextMode(mode) && !m_text.isEmpty())
        search();
    emit changed();
}

void BookmarkSearch::Edit1Change(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (isTextMode(m_mode)) {
        emptyResults();
        if (!m_text.isEmpty())
            search();
    }
    emit changed();
}

void BookmarkSearch::CaseBoxClick(bool checked)
{
    m_case = checked;
    if (isTextMode(m_mode) && !m_text.isEmpty())
        search();
    emit changed();
}

void BookmarkSearch::SearchButtonClick()
{
    search();
    emit changed();
}

void BookmarkSearch::search()
{
    Board& b = m_board;
    emptyResults();
    const QByteArray path = b.files().BookmarkFileName();
    // An index older than the file is never searched.
    if (!m_index.matches(b.store(), path)) {
        const BusyCursor busy(b.ui());
        try {
            m_index.build(b.store(), path, b.vars().Columns);
        } catch (...) {
            m_index.clear();
            throw;
        }
    }
    if (m_mode == Mode::Duplicates || m_mode == Mode::Similar) {
        m_hint = kLaunchOrDelete;
        fill(m_mode == Mode::Duplicates ? m_index.duplicates() : m_index.similar());
        if (m_results.isEmpty()) {
            m_hint = m_mode == Mode::Duplicates ? kNoDuplicates : kNoSimilar;
            m_status = m_hint;
        } else {
            m_status = groupsText();
        }
    } else {
        const BookmarkIndex::Column column = m_mode == Mode::Url     ? BookmarkIndex::Column::Url
                                             : m_mode == Mode::Title ? BookmarkIndex::Column::Title
                                                                     : BookmarkIndex::Column::Notes;
        fill(m_index.find(column, m_text, m_case));
        m_status = m_results.isEmpty()     ? QStringLiteral("No Bookmarks Found")
                   : m_results.size() == 1 ? QStringLiteral("1 Bookmark found")
                                           : QStringLiteral("%1 Bookmarks found").arg(m_results.size());
    }
    m_resultsVisible = true;
}

void BookmarkSearch::fill(const std::vector<int>& rows)
{
    ++m_version;
    m_results.clear();
    m_results.reserve(qsizetype(rows.size()));
    for (int r : rows) {
        Result result;
        if (r == BookmarkIndex::kSeparator)
            result.separator = true;
        else
            result.row = m_index.row(r);
        m_results.push_back(std::move(result));
    }
}

QString BookmarkSearch::groupsText() const
{
    int groups = 0;
    int bookmarks = 0;
    bool inGroup = false;
    for (const Result& r : m_results) {
        if (r.separator) {
            inGroup = false;
            continue;
        }
        ++bookmarks;
        if (!inGroup)
            ++groups;
        inGroup = true;
    }
    return QStringLiteral("%1 Bookmarks in %2 groups").arg(bookmarks).arg(groups);
}

void BookmarkSearch::ListView2Click(int index)
{
    if (index < 0 || index >= m_results.size() || m_results[index].separator || m_results[index].row.url.isEmpty())
        return;
    Board& b = m_board;
    const BookmarkIndex::Row row = m_results[index].row;
    const QByteArray path = b.files().BookmarkFileName();
    QByteArray url;
    {
        const TIniFile32 ini(b.store(), path);
        url = BookmarkSlot(ini, row.page, row.slot).url();
    }
    const bool isProtected = PassText::isProtected(url);
    m_hint = kLaunchDeleteEdit;
    emit changed();
    // A protected bookmark opens only from its page, with its password.
    const QStringList buttons = isProtected ? QStringList{QStringLiteral("Ignore")}
                                            : QStringList{QStringLiteral("Launch"), QStringLiteral("Delete"),
                                                          QStringLiteral("Edit"), QStringLiteral("Ignore")};
    QStringList lines{QStringLiteral("Select an Option for ") + row.title};
    if (isProtected)
        lines << QStringLiteral("This bookmark is password protected: open, delete or edit it from its page.");
    const QString chosen =
        buttons.value(b.ui().choice({QStringLiteral("Launch, Delete or Edit bookmark"), buttons, lines, std::nullopt}));
    if (isProtected || chosen.isEmpty() || chosen == QLatin1String("Ignore"))
        return;
    if (url.isEmpty()) {
        // Erased meanwhile (by another window or program).
        b.ui().message(QStringLiteral("\"%1\" is no longer on page \"%2\".").arg(row.title, AnsiText::toUi(row.page)),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        m_results.removeAt(index);
        ++m_version;
        m_index.clear();
        emit changed();
        return;
    }
    if (chosen == QLatin1String("Launch")) {
        if (b.launcher())
            b.launcher()->LaunchListed(row.page, row.slot, url, true);
    } else if (chosen == QLatin1String("Delete")) {
        b.records().takeBackup();
        b.records().EraseButton(row.page, row.slot);
        m_results.removeAt(index);
        ++m_version;
        m_index.clear();
    } else if (chosen == QLatin1String("Edit")) {
        BookmarkDialog(b).showListed(row.page, row.slot, row.title, AnsiText::toUi(url));
        m_results.removeAt(index);
        ++m_version;
        m_index.clear();
    }
    emit changed();
}

void BookmarkSearch::MoveBtnClick()
{
    Board& b = m_board;
    const bool groupsMode = !isTextMode(m_mode);
    using Action = RecordOps::BulkAction;
    const Action action = b.records().askBulkAction();
    auto done = [&](bool changedFile) {
        if (changedFile)
            m_index.clear();
        emptyResults();
        emit changed();
    };
    if (action == Action::Ignore || m_results.isEmpty())
        return done(false);
    if (action == Action::Erase) {
        const QString question =
            groupsMode ? QStringLiteral("This will Erase all duplicate bookmarks, except the last entry of each type.  "
                                        "Do you want to continue?")
                       : QStringLiteral("Are you sure you want to delete these bookmarks from Lynkor?");
        if (b.ui().message(question, Prompter::Type::Confirmation, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
            return done(false);
    }
    QByteArray base;
    if (action != Action::Erase) {
        const QString typed = b.ui().pageName(m_text + QStringLiteral(" Search")).trimmed();
        // No name: the dialog was cancelled.
        if (typed.isEmpty())
            return done(false);
        base = BookmarkFile::PageNameOf(AnsiText::fromUi(typed));
    }
    b.records().takeBackup();
    const BusyCursor busy(b.ui());
    // The whole action is one save.
    IniBatch batch(b.store(), b.files().BookmarkFileName());
    const QList<Result> rows = m_results;
    if (action == Action::Erase) {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const BookmarkIndex::Row& r = rows[i].row;
            if (rows[i].separator || r.page.isEmpty())
                continue;
            if (!groupsMode) {
                b.records().EraseButton(r.page, r.slot);
            } else if (i + 1 < rows.size() && !rows[i + 1].separator) {
                // Every group keeps the bookmark listed last.
                b.records().EraseButton(r.page, r.slot, RecordOps::WebIconFile::Keep);
            }
        }
    } else {
        // A separator leaves a blank slot between two groups.
        QList<RecordOps::Listed> listed;
        for (const Result& r : rows)
            listed.push_back(r.separator ? RecordOps::Listed{} : RecordOps::Listed{r.row.page, r.row.slot});
        b.records().carryToNewPages(base, listed, action == Action::Move, RecordOps::Show::First);
    }
    batch.commit();
    done(true);
}

void BookmarkSearch::HelpBtnClick()
{
    m_board.ui().showHelp(kHelpContext);
}

void BookmarkSearch::CloseBtnClick()
{
    caption = QString::fromLatin1(kCaption);
    m_index.clear();
    emptyResults();
    m_text.clear();
    m_case = false;
    m_hint = kLaunchOrDelete;
    emit changed();
}
