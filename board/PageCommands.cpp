#include "PageCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "FontChoice.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageCarrier.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "Passwords.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "TabForm.h"

#include <QCollator>
#include <algorithm>

namespace {

void writePagePasswords(Board& b, TIniFile32& ini)
{
    ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kPagePasswords, b.PagePassBox().WritePagePass());
}

QString quoted(const QByteArray& page)
{
    return QLatin1Char('"') + AnsiText::toUi(page) + QLatin1Char('"');
}

} // namespace

void PageCommands::SaveTabs(TIniFile32& ini, const std::vector<QByteArray>& names, int index)
{
    BookmarkFile::SaveTabs(ini, names);
    m_board.state().setTabs(names, index);
}

std::vector<QByteArray> PageCommands::ReadTabs(const TIniFile32& ini)
{
    std::vector<QByteArray> names = BookmarkFile::ReadPageList(ini);
    BoardState& state = m_board.state();
    if (names == state.tabs() ||
        IniStore::normalized(ini.FileName()) != IniStore::normalized(m_board.files().BookmarkFileName()))
        return names;
    const auto shown = std::find(names.begin(), names.end(), state.currentPage());
    state.setTabs(names, shown != names.end() ? int(shown - names.begin())
                                              : std::clamp(state.tabIndex(), 0, int(names.size()) - 1));
    return names;
}

void PageCommands::CopySection(TIniFile32& ini, const QByteArray& from, const QByteArray& to)
{
    for (const auto& [key, value] : ini.ReadSectionValues(from))
        ini.WriteString(to, key, value);
}

QByteArray PageCommands::askName(const QByteArray& proposal)
{
    return BookmarkFile::PageNameOf(AnsiText::fromUi(m_board.ui().pageName(AnsiText::toUi(proposal))));
}

void PageCommands::MAddPageTab1Click()
{
    addPage(askName(m_board.state().currentPage()));
}

void PageCommands::addPage(const QByteArray& typed)
{
    Board& b = m_board;
    BoardState& state = b.state();
    if (typed.isEmpty())
        return;
    b.records().takeBackup();
    {
        const QByteArray path = b.files().BookmarkFileName();
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        std::vector<QByteArray> names = ReadTabs(ini);
        const int index = std::clamp(state.tabIndex(), 0, int(names.size()));
        names.insert(names.begin() + index, BookmarkFile::DupePageName(typed, names));
        SaveTabs(ini, names, index);
        batch.commit();
    }
    b.pages().LoadCurrent();
    b.FormCaption();
}

void PageCommands::MDeletePageTab1Click()
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray page = state.currentPage();
    const QByteArray path = b.files().BookmarkFileName();
    auto onlyPage = [&](const std::vector<QByteArray>& names) {
        if (names.size() >= 2)
            return false;
        b.ui().message(QStringLiteral("The page %1 is the only page of this file; a bookmark file keeps at least one "
                                      "page. Add another page first, or erase its bookmarks.")
                           .arg(quoted(page)),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return true;
    };
    {
        const TIniFile32 ini(b.store(), path);
        if (onlyPage(ReadTabs(ini)))
            return;
    }
    if (b.ui().message(QStringLiteral("Are you sure you want to delete the %1 page?").arg(quoted(page)),
                       Prompter::Type::Confirmation, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    b.records().takeBackup();
    std::vector<QByteArray> names;
    int index = state.tabIndex();
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        // The list may have changed while the question was open.
        names = ReadTabs(ini);
        if (const auto at = std::find(names.begin(), names.end(), page); at != names.end()) {
            if (onlyPage(names))
                return;
            index = int(at - names.begin());
            names.erase(at);
        }
        ini.EraseSection(page);
        ini.DeleteKey(BookmarkFile::kTabs, BookmarkFile::TabKey(static_cast<int>(names.size()) + 1));
        BookmarkFile::SaveTabs(ini, names);
        if (b.PagePassBox().PageProtected(page)) {
            b.PagePassBox().PagePassMove(page, page);
            writePagePasswords(b, ini);
        }
        batch.commit();
    }
    state.setTabs(names, std::clamp(index, 0, static_cast<int>(names.size()) - 1));
    b.pages().showPageNear(index);
}

void PageCommands::MChangePageTabName1Click(Sender sender)
{
    Board& b = m_board;
    switch (sender) {
    case Sender::NameMenu:
        renamePage(askName(b.state().currentPage()));
        return;
    case Sender::EMailMenu:
        MEMailPageClick();
        return;
    case Sender::TabStrip:
        break;
    }
    TabForm form(b);
    form.FormShow();
    const QByteArray storePage = form.TabName;
    b.ui().tabForm(form);
    form.FormClose();
    if (form.code == "R")
        renamePage(form.newName);
    else if (form.code == "A")
        addPage(form.newName);
    else if (form.code == "D")
        MDeletePageTab1Click();
    else if (form.code == "M")
        b.pageCarrier().MMovePageTab1Click();
    else if (form.code == "C")
        b.pageCarrier().MCopyPageTabClick();
    else if (form.code == "E")
        MEraseBClick();
    else if (form.code == "EM")
        MEMailPageClick();
    else if (form.code == "P")
        b.passwords().MPagePassClick();
    else if (form.code == "CB")
        b.pageCarrier().pickUpBookmarks(form.moveBookmarks, storePage, form.BookmarkBox);
    else if (form.code == "Ping") {
        if (!b.siteSpeed() || form.hosts.isEmpty())
            return;
        const QByteArray chosen = b.siteSpeed()->PingSites(form.hosts, form.pingButtons);
        if (!chosen.isEmpty())
            b.ButtonClick(chosen);
    } else
        launchSelected(form, storePage);
}

void PageCommands::launchSelected(const TabForm& form, const QByteArray& page)
{
    Board& b = m_board;
    BookmarkLauncher* launcher = b.launcher();
    if (!launcher)
        return;
    if (form.code == "LaunchLink") {
        if (!form.linkList.isEmpty()) {
            b.vars().CurrentButton = form.BookmarkBox.first();
            launcher->Launch(page, form.linkList);
        }
        for (const QByteArray& slot : form.passwordSlots) {
            b.vars().CurrentButton = "B" + slot;
            launcher->LaunchStored(page, slot);
        }
        return;
    }
    if (form.code != "LaunchApp")
        return;
    for (qsizetype i = 0; i < form.BookmarkBox.size(); ++i) {
        const QByteArray& button = form.BookmarkBox[i];
        const QByteArray& url = form.BookmarkBox2.value(i);
        if (url.isEmpty())
            continue;
        b.vars().CurrentButton = button;
        const QByteArray slot = button.mid(1, 2);
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        // A bookmark with its own password asks for it, as a click would.
        if (BookmarkFile::IsProtectedUrl(BookmarkSlot(ini, page, slot).url()) && !b.PagePassBox().PageProtected(page))
            launcher->LaunchStored(page, slot);
        else
            launcher->Launch(page, url);
    }
}

void PageCommands::renamePage(const QByteArray& typed)
{
    Board& b = m_board;
    BoardState& state = b.state();
    const QByteArray old = state.currentPage();
    if (typed.isEmpty() || typed == old)
        return;
    // A name that differs only in letter case names the same section: the
    // tab is renamed and the bookmarks stay where they are.
    const bool sameSection = AnsiText::equalsNoCase(typed, old);
    std::vector<QByteArray> names;
    int index = 0;
    {
        const QByteArray path = b.files().BookmarkFileName();
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        names = ReadTabs(ini);
        const auto at = std::find(names.begin(), names.end(), old);
        if (at == names.end())
            throw CommandError(QStringLiteral("The page %1 is no longer listed in the file (another program changed "
                                              "it); nothing was renamed.")
                                   .arg(quoted(old)));
        index = int(at - names.begin());
        names.erase(at);
        const QByteArray name = sameSection ? typed : BookmarkFile::DupePageName(typed, names);
        names.insert(names.begin() + index, name);
        b.ui().setCursor(ScreenCursor::HourGlass);
        if (!sameSection)
            CopySection(ini, old, name);
        if (b.PagePassBox().PageProtected(old)) {
            b.PagePassBox().PagePassMove(old, name);
            writePagePasswords(b, ini);
        }
        BookmarkFile::SaveTabs(ini, names);
        if (!sameSection)
            ini.EraseSection(old);
        batch.commit();
    }
    state.setTabs(names, index);
    b.ui().setCursor(ScreenCursor::Default);
    b.pages().LoadCurrent();
    b.FormCaption();
}

void PageCommands::MEraseBClick()
{
    Board& b = m_board;
    const QByteArray page = b.state().currentPage();
    if (b.ui().message(
            QStringLiteral("Are you sure you want to delete all the bookmarks on the %1 page?").arg(quoted(page)),
            Prompter::Type::Information, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        ini.EraseSection(page);
    }
    b.pages().LoadCurrent();
}

void PageCommands::MAlphaPageTab1Click()
{
    Board& b = m_board;
    BoardState& state = b.state();
    if (b.ui().message(QStringLiteral("This will alphabetize all page tab names in this data file.  Do you want to "
                                      "continue?"),
                       Prompter::Type::Warning, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    b.records().takeBackup();
    const QByteArray shown = state.currentPage();
    {
        const QByteArray path = b.files().BookmarkFileName();
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        std::vector<QByteArray> names = ReadTabs(ini);
        QCollator order;
        order.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(names.begin(), names.end(), [&order](const QByteArray& a, const QByteArray& c) {
            return order.compare(AnsiText::toUi(a), AnsiText::toUi(c)) < 0;
        });
        const int shownAt = static_cast<int>(std::find(names.begin(), names.end(), shown) - names.begin());
        SaveTabs(ini, names, std::min(shownAt, static_cast<int>(names.size()) - 1));
        batch.commit();
    }
    // The first page is shown; a password refused for it keeps the page
    // that was shown.
    b.pages().selectTab(0);
    b.FormCaption();
}

bool PageCommands::MFontTabClick()
{
    Board& b = m_board;
    TabStyle style = b.state().tabStyle();
    const FontChoice initial{AnsiText::toUi(style.fontName), style.fontSize, style.fontColor};
    const std::optional<FontChoice> chosen = b.ui().font(initial);
    if (!chosen)
        return false;
    style.fontName = AnsiText::fromUi(chosen->name);
    style.fontSize = chosen->size;
    style.fontColor = chosen->color;
    const QByteArray path = b.files().settingsPath();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    SettingsFile::TabFontName.write(ini, style.fontName);
    SettingsFile::TabFontSize.write(ini, style.fontSize);
    SettingsFile::TabFontColor.write(ini, style.fontColor);
    batch.commit();
    b.state().setTabStyle(style);
    return true;
}

void PageCommands::MChangeColor2Click(Tabs which)
{
    Board& b = m_board;
    TabStyle style = b.state().tabStyle();
    int& color = which == Tabs::Selected ? style.selectedColor : style.unselectedColor;
    QStringList custom = b.GetCustomPalette();
    const std::optional<int> chosen = b.ui().color(color, custom);
    if (chosen) {
        color = *chosen;
        b.files().write(which == Tabs::Selected ? SettingsFile::TabSelectedColor : SettingsFile::TabUnselectedColor,
                        color);
        b.state().setTabStyle(style);
    }
    b.SaveCustomPalette(custom);
}

bool PageCommands::TabSet1RightClick(int index)
{
    Board& b = m_board;
    BoardState& state = b.state();
    if (index < 0 || index >= static_cast<int>(state.tabs().size()))
        return false;
    b.pages().selectTab(index);
    if (state.tabIndex() != index)
        return false;
    b.records().takeBackup();
    return true;
}

void PageCommands::MEMailPageClick()
{
    Board& b = m_board;
    if (!b.mailer())
        return;
    const QByteArray page = b.state().currentPage();
    const bool protectedPage = b.PagePassBox().PageProtected(page);
    QList<MailedBookmark> work;
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        for (int n = 1; n <= b.vars().Columns * 20; ++n) {
            const BookmarkSlot slot(ini, page, BookmarkFile::SlotKey(n));
            QByteArray url = slot.url();
            if (url.isEmpty())
                continue;
            // The page is open, so its password was given: its addresses go as they are shown.
            if (protectedPage && BookmarkFile::IsProtectedUrl(url))
                url = PassText::Decrypt(url);
            work << MailedBookmark{url, slot.title()};
        }
    }
    b.mailer()->MailBookmarks("Page", work);
}
