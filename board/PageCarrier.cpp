#include "PageCarrier.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageMerge.h"
#include "RecordOps.h"

#include <algorithm>

namespace {

// Where a page goes among the pages the file lists now: before the page it
// was dropped on (after it, for a page that came from the left), or at
// fallback when the file no longer lists that page.
int placeAt(const std::vector<QByteArray>& listed, const QByteArray& anchor, int fallback, bool after)
{
    const auto at = std::find(listed.begin(), listed.end(), anchor);
    if (at == listed.end())
        return std::clamp(fallback, 0, static_cast<int>(listed.size()));
    return static_cast<int>(at - listed.begin()) + (after ? 1 : 0);
}

} // namespace

PageCarrier::InsertOrMerge PageCarrier::askInsertOrMerge(bool withHelp)
{
    Board& b = m_board;
    ChoiceRequest request;
    request.title = QStringLiteral("Insert / Merge");
    request.buttons = {QStringLiteral("Insert"), QStringLiteral("Merge")};
    if (withHelp)
        request.buttons << QStringLiteral("Help");
    request.lines = {QStringLiteral("Insert  =  Insert Page to the left of the selected page."),
                     QStringLiteral("Merge  =  Merge Bookmarks into selected page.")};
    int answer = b.ui().choice(request);
    if (withHelp && answer == 2) {
        b.ui().showHelp(kHelpInsertMerge);
        request.buttons.removeLast();
        answer = b.ui().choice(request);
    }
    return answer == 0 ? InsertOrMerge::Insert : answer == 1 ? InsertOrMerge::Merge : InsertOrMerge::Neither;
}

void PageCarrier::TabSet1DragDrop(int to)
{
    Board& b = m_board;
    BoardState& state = b.state();
    std::vector<QByteArray> names = state.tabs();
    const int n = static_cast<int>(names.size());
    const int from = state.tabIndex();
    if (to < 0 || to > n || to == from || from < 0)
        return;
    ChoiceRequest request;
    request.title = QStringLiteral("Move / Copy");
    request.buttons = {QStringLiteral("Move"), QStringLiteral("Copy"), QStringLiteral("Leave")};
    request.lines = {QStringLiteral("Move  =  Move dragged page to this page."),
                     QStringLiteral("Copy  =  Copy dragged page to this page."),
                     QStringLiteral("Leave  =  Do not drag page.")};
    const int answer = b.ui().choice(request);
    if (answer != 0 && answer != 1)
        return;
    if (to == n)
        to = n - 1;
    const QByteArray dragged = names[from];
    const QByteArray anchor = names[to];
    const QByteArray path = b.files().BookmarkFileName();
    if (answer == 0) {
        b.ui().setCursor(ScreenCursor::HourGlass);
        b.records().takeBackup();
        {
            IniBatch batch(b.store(), path);
            TIniFile32 ini(b.store(), path);
            std::vector<QByteArray> listed = b.pageCommands().ReadTabs(ini);
            if (const auto at = std::find(listed.begin(), listed.end(), dragged); at != listed.end())
                listed.erase(at);
            const int place = placeAt(listed, anchor, to, from < to);
            listed.insert(listed.begin() + place, dragged);
            b.pageCommands().SaveTabs(ini, listed, place);
            batch.commit();
        }
        b.ui().setCursor(ScreenCursor::Default);
        b.FormCaption();
        return;
    }
    const InsertOrMerge how = askInsertOrMerge(true);
    if (how == InsertOrMerge::Neither)
        return;
    b.ui().setCursor(ScreenCursor::HourGlass);
    b.records().takeBackup();
    if (how == InsertOrMerge::Insert) {
        {
            IniBatch batch(b.store(), path);
            TIniFile32 ini(b.store(), path);
            std::vector<QByteArray> listed = b.pageCommands().ReadTabs(ini);
            const QByteArray copy = BookmarkFile::DupePageName(dragged, listed);
            const int place = placeAt(listed, anchor, to, false);
            listed.insert(listed.begin() + place, copy);
            PageCommands::CopySection(ini, dragged, copy);
            b.pageCommands().SaveTabs(ini, listed, place);
            batch.commit();
        }
        b.ui().setCursor(ScreenCursor::Default);
        b.pages().LoadCurrent();
        b.FormCaption();
        return;
    }
    b.ui().setCursor(ScreenCursor::Default);
    b.pageMerge().MColor(QStringLiteral("Merge"));
    b.pageMerge().MergePage(dragged, names[to], path, path);
    b.pages().selectTab(to);
    b.FormCaption();
}

void PageCarrier::MMovePageTab1Click()
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray page = state.currentPage();
    const QByteArray path = b.files().BookmarkFileName();
    std::vector<QByteArray> names;
    {
        const TIniFile32 ini(b.store(), path);
        names = b.pageCommands().ReadTabs(ini);
    }
    if (names.size() < 2) {
        b.ui().message(QStringLiteral("\"%1\" is the only page of this file; there is no other place to move it to.")
                           .arg(AnsiText::toUi(page)),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    if (carryingBookmarks())
        endBookmarks();
    m_carry = Carry::Move;
    m_storePage = page;
    m_sourceFile = path;
    m_fromIndex = state.tabIndex();
    if (const auto at = std::find(names.begin(), names.end(), page); at != names.end()) {
        m_fromIndex = static_cast<int>(at - names.begin());
        names.erase(at);
    }
    {
        IniBatch batch(b.store(), m_sourceFile);
        TIniFile32 ini(b.store(), m_sourceFile);
        b.pageCommands().SaveTabs(ini, names, std::min<int>(m_fromIndex, static_cast<int>(names.size()) - 1));
        batch.commit();
    }
    b.pages().showPageNear(m_fromIndex);
    b.ui().setCursor(ScreenCursor::PickUp);
    b.FormCaption();
}

void PageCarrier::MCopyPageTabClick()
{
    Board& b = m_board;
    if (carryingBookmarks())
        endBookmarks();
    m_carry = Carry::Copy;
    m_storePage = b.state().currentPage();
    m_sourceFile = b.files().BookmarkFileName();
    b.ui().setCursor(ScreenCursor::PickUp);
    b.FormCaption();
}

void PageCarrier::pickUpBookmarks(bool move, const QByteArray& page, const QList<QByteArray>& keys)
{
    Board& b = m_board;
    // One thing is carried at a time.
    cancel();
    if (keys.isEmpty())
        return;
    m_bookmarks = move ? Carry::Move : Carry::Copy;
    m_slots = keys;
    m_bookmarksPage = page;
    m_bookmarksFile = b.files().BookmarkFileName();
    b.ui().setCursor(ScreenCursor::PickUp);
    b.FormCaption();
}

void PageCarrier::endBookmarks()
{
    m_bookmarks = Carry::None;
    m_slots.clear();
    m_bookmarksPage.clear();
    m_bookmarksFile.clear();
    m_board.ui().setCursor(ScreenCursor::Default);
}

void PageCarrier::putDownBookmarks(int index)
{
    using F = BookmarkRecord;
    Board& b = m_board;
    const std::vector<QByteArray>& names = b.state().tabs();
    if (!carryingBookmarks() || index < 0 || index >= static_cast<int>(names.size()))
        return;
    b.ui().setCursor(ScreenCursor::HourGlass);
    const QByteArray target = names[index];
    const QByteArray path = b.files().BookmarkFileName();
    const bool samePage = path == m_bookmarksFile && target == m_bookmarksPage;
    QList<QByteArray> blanks;
    {
        const TIniFile32 ini(b.store(), path);
        for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
            const QByteArray slot = BookmarkFile::SlotKey(n);
            // Onto their own page, the carried slots are no targets, even
            // when they hold no address.
            if (samePage && m_slots.contains(slot))
                continue;
            if (BookmarkSlot(ini, target, slot).url().isEmpty())
                blanks << slot;
        }
    }
    if (blanks.size() < m_slots.size()) {
        endBookmarks();
        b.FormCaption();
        b.ui().message(QStringLiteral("There are not enough blank buttons to move bookmarks on to, please try again."),
                       Prompter::Type::Warning, Prompter::Buttons::Ok);
        return;
    }
    b.records().takeBackup();
    {
        IniBatch sourceBatch(b.store(), m_bookmarksFile);
        IniBatch batch(b.store(), path);
        TIniFile32 source(b.store(), m_bookmarksFile);
        TIniFile32 destination(b.store(), path);
        for (qsizetype i = 0; i < m_slots.size(); ++i) {
            const BookmarkSlot in(source, m_bookmarksPage, m_slots[i]);
            BookmarkSlot out(destination, target, blanks[i]);
            for (int f = 0; f < F::kFieldCount; ++f) {
                const auto field = static_cast<F::Field>(f);
                const QByteArray value = in.get(field);
                if (!value.isEmpty())
                    out.set(field, value);
            }
        }
        if (m_bookmarks == Carry::Move)
            for (const QByteArray& slot : m_slots)
                for (int f = 0; f < F::kFieldCount; ++f)
                    BookmarkSlot(source, m_bookmarksPage, slot).erase(static_cast<F::Field>(f));
        batch.commit();
        sourceBatch.commit();
    }
    endBookmarks();
    b.pages().LoadCurrent();
    b.FormCaption();
}

void PageCarrier::putDown(int index)
{
    Board& b = m_board;
    BoardState& state = b.state();
    if (carryingBookmarks()) {
        putDownBookmarks(index);
        return;
    }
    std::vector<QByteArray> names = state.tabs();
    if (!carryingPage() || index < 0 || index > static_cast<int>(names.size()))
        return;
    const QByteArray path = b.files().BookmarkFileName();
    if (m_carry == Carry::Copy) {
        const InsertOrMerge how = askInsertOrMerge(false);
        if (how == InsertOrMerge::Neither)
            return;
        if (how == InsertOrMerge::Merge) {
            if (index == static_cast<int>(names.size()))
                return;
            b.pageMerge().MColor(QStringLiteral("Merge"));
            b.ui().setCursor(ScreenCursor::HourGlass);
            b.pageMerge().MergePage(m_storePage, names[index], m_sourceFile, path);
            end();
            b.pages().selectTab(index);
            if (state.tabIndex() == index)
                b.pages().LoadCurrent();
            b.FormCaption();
            return;
        }
    }
    b.ui().setCursor(ScreenCursor::HourGlass);
    // Within one file a moved page only takes its new place; a copy, or a
    // page carried into another file, brings its bookmarks along.
    QByteArray name;
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        std::vector<QByteArray> listed = b.pageCommands().ReadTabs(ini);
        name = BookmarkFile::DupePageName(m_storePage, listed);
        const int place = index < static_cast<int>(names.size()) ? placeAt(listed, names[index], index, false)
                                                                 : static_cast<int>(listed.size());
        listed.insert(listed.begin() + place, name);
        b.pageCommands().SaveTabs(ini, listed, place);
        batch.commit();
    }
    b.pageMerge().MergePage(m_storePage, name, m_sourceFile, path);
    end();
    b.pages().LoadCurrent();
    b.FormCaption();
}

void PageCarrier::putBackMoved()
{
    Board& b = m_board;
    if (m_carry != Carry::Move)
        return;
    BoardState& state = b.state();
    const QByteArray page = m_storePage;
    const QByteArray source = m_sourceFile;
    const int from = m_fromIndex;
    end();
    {
        IniBatch batch(b.store(), source);
        TIniFile32 ini(b.store(), source);
        std::vector<QByteArray> names = b.pageCommands().ReadTabs(ini);
        const QByteArray shown = state.currentPage();
        if (std::find(names.begin(), names.end(), page) == names.end())
            names.insert(names.begin() + std::clamp(from, 0, static_cast<int>(names.size())), page);
        const auto at = std::find(names.begin(), names.end(), shown);
        b.pageCommands().SaveTabs(ini, names, at == names.end() ? 0 : static_cast<int>(at - names.begin()));
        batch.commit();
    }
    b.FormCaption();
}

void PageCarrier::cancel()
{
    if (carryingBookmarks()) {
        endBookmarks();
        m_board.FormCaption();
    }
    if (m_carry == Carry::Move) {
        putBackMoved();
        return;
    }
    if (m_carry == Carry::Copy) {
        end();
        m_board.FormCaption();
    }
}

void PageCarrier::end()
{
    m_carry = Carry::None;
    m_storePage.clear();
    m_sourceFile = m_board.files().BookmarkFileName();
    m_board.ui().setCursor(ScreenCursor::Default);
}
