#pragma once

#include <QByteArray>
#include <vector>

class Board;
class TIniFile32;

// The page commands of the Page Tabs menu: adding, deleting, renaming and
// emptying a page, sorting the page names, and the tab strip's font and
// colours.
class PageCommands
{
public:
    explicit PageCommands(Board& board) : m_board(board) {}

    // Writes the tab list (Tab1 .. TabN and Count) and shows it with the tab at
    // index selected; the page shown is not read again.
    void SaveTabs(TIniFile32& ini, const std::vector<QByteArray>& names, int index);
    // The page list as the file holds it now, which every writer of the list
    // starts from: another program (a sync tool) may have changed it since
    // the tabs were shown. For the open file the tab strip follows it, the
    // page shown keeping its tab where the file still lists it.
    std::vector<QByteArray> ReadTabs(const TIniFile32& ini);

    void MAddPageTab1Click();
    void MDeletePageTab1Click();
    // Where the page commands were asked for: "Change &Name on Page Tab"
    // renames, "EMail Page of &Bookmarks" mails the page, and a right-click on
    // a tab opens the page's options and carries out what was chosen there.
    enum class Sender { NameMenu, TabStrip, EMailMenu };
    void MChangePageTabName1Click(Sender sender = Sender::NameMenu);
    // "EMail Page of &Bookmarks": every bookmark of the page to the mail dialog.
    void MEMailPageClick();
    void MEraseBClick();
    void MAlphaPageTab1Click();
    // True when a font was chosen.
    bool MFontTabClick();
    // The selected tab's colour, or the other tabs' colour.
    enum class Tabs { Selected, Unselected };
    void MChangeColor2Click(Tabs which);

    // A right-click on a tab while no page is carried: the tab is selected
    // and the backup taken, before the page commands are offered. False when
    // the page could not be entered (its password was refused).
    bool TabSet1RightClick(int index);

    // Every key of a page's section written under another page name.
    static void CopySection(TIniFile32& ini, const QByteArray& from, const QByteArray& to);

private:
    // The name dialog: a page name typed, trimmed; "" when none was given.
    QByteArray askName(const QByteArray& proposal);
    // Renames the current page to typed; an empty or unchanged name renames nothing.
    void renamePage(const QByteArray& typed);
    // A new page named typed left of the current one; nothing for "".
    void addPage(const QByteArray& typed);
    // The page options' choices for the bookmarks selected there.
    void launchSelected(const class TabForm& form, const QByteArray& page);

    Board& m_board;
};
