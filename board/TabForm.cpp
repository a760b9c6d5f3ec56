#include "TabForm.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "GlyphChooser.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "Mailer.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "RecordOps.h"
#include "SiteSpeed.h"

#include <algorithm>

using F = BookmarkRecord;

const QStringList& TabForm::Group1Items()
{
    static const QStringList items{QStringLiteral("Rename Page"),    QStringLiteral("Delete Page"),
                                   QStringLiteral("Add Page"),       QStringLiteral("Move Page"),
                                   QStringLiteral("Copy Page"),      QStringLiteral("Erase Bookmarks"),
                                   QStringLiteral("Email Bookmarks")};
    return items;
}

const QStringList& TabForm::Group2Items()
{
    static const QStringList items{
        QStringLiteral("Color Selected Bookmarks"), QStringLiteral("Icon Selected Bookmarks"),
        QStringLiteral("Move Selected Bookmarks"),  QStringLiteral("Copy Selected Bookmarks"),
        QStringLiteral("Erase Selected Bookmarks"), QStringLiteral("Email Selected Bookmarks"),
        QStringLiteral("Ping Selected Bookmarks"),  QStringLiteral("Launch Selected Links"),
        QStringLiteral("Launch Selected Files")};
    return items;
}

void TabForm::FormShow()
{
    Board& b = m_board;
    TabName = b.state().currentPage();
    caption = QStringLiteral("Page Options for the ") + AnsiText::toUi(TabName) + QStringLiteral(" page.");
    colors = b.state().tabStyle();
    code = "R";
    newName.clear();
    linkList.clear();
    BookmarkBox.clear();
    BookmarkBox2.clear();
    hosts.clear();
    pingButtons.clear();
    passwordSlots.clear();
    rows.clear();
    selected.clear();
    group2Caption = QStringLiteral("Action for 0 Bookmarks:");
    PasswordBox = b.PagePassBox().PageProtected(TabName);
    // A locked file shows no captions, so it lists no bookmarks either.
    if (!b.vars().FilePasswordValue.isEmpty())
        return;
    const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
        const QByteArray slot = BookmarkFile::SlotKey(n);
        const QByteArray title = BookmarkSlot(ini, TabName, slot).title();
        if (!title.isEmpty())
            rows.push_back({slot, title});
    }
}

void TabForm::BtnListSelectItem(const QSet<int>& rowsSelected)
{
    selected.clear();
    for (int row : rowsSelected)
        if (row >= 0 && row < rows.size())
            selected.insert(row);
    group2Caption = QStringLiteral("Action for %1 Bookmarks:").arg(selected.size());
}

QList<QByteArray> TabForm::selectedSlots() const
{
    QList<int> order(selected.begin(), selected.end());
    std::sort(order.begin(), order.end());
    QList<QByteArray> keys;
    for (int row : order)
        keys << rows[row].slot;
    return keys;
}

QByteArray TabForm::shownUrl(const TIniFile32& ini, const QByteArray& slot) const
{
    Board& b = m_board;
    const QByteArray url = BookmarkSlot(ini, TabName, slot).url();
    // The page is open, so its password was given.
    if (b.PagePassBox().PageProtected(TabName) && BookmarkFile::IsProtectedUrl(url))
        return PassText::Decrypt(url);
    return url;
}

bool TabForm::ownPassword(const TIniFile32& ini, const QByteArray& slot) const
{
    Board& b = m_board;
    return !b.PagePassBox().PageProtected(TabName) &&
           BookmarkFile::IsProtectedUrl(BookmarkSlot(ini, TabName, slot).url());
}

bool TabForm::Group1Click(int index)
{
    Board& b = m_board;
    switch (index) {
    case RenamePage:
    case AddPage: {
        const QString typed = b.ui().pageName(AnsiText::toUi(TabName));
        newName = BookmarkFile::PageNameOf(AnsiText::fromUi(typed));
        code = index == RenamePage ? "R" : "A";
        return true;
    }
    case DeletePage:
        code = "D";
        return true;
    case MovePage:
        code = "M";
        return true;
    case CopyPage:
        code = "C";
        return true;
    case EraseBookmarks:
        code = "E";
        return true;
    case EmailBookmarks:
        code = "EM";
        return true;
    default:
        return false;
    }
}

bool TabForm::PasswordBoxClick()
{
    code = "P";
    return true;
}

bool TabForm::Group2Click(int index)
{
    const QList<QByteArray> keys = selectedSlots();
    switch (index) {
    case ColorSelected:
        colorSelected();
        return true;
    case IconSelected:
        iconSelected();
        return true;
    case MoveSelected:
    case CopySelected:
        BookmarkBox = keys;
        moveBookmarks = index == MoveSelected;
        code = "CB";
        return true;
    case EraseSelected:
        eraseSelected();
        return true;
    case EmailSelected:
        emailSelected();
        return true;
    case PingSelected:
    case LaunchLinks:
    case LaunchFiles:
        takeAddresses(index, keys);
        return true;
    default:
        return false;
    }
}

void TabForm::takeAddresses(int index, const QList<QByteArray>& keys)
{
    // One reading of the file for all the selected bookmarks.
    const TIniFile32 ini(m_board.store(), m_board.files().BookmarkFileName());
    BookmarkBox.clear();
    BookmarkBox2.clear();
    if (index == PingSelected) {
        hosts.clear();
        pingButtons.clear();
        for (const QByteArray& slot : keys) {
            hosts << SiteSpeed::HostOf(shownUrl(ini, slot));
            pingButtons << "B" + slot;
        }
        code = "Ping";
        return;
    }
    if (index == LaunchFiles) {
        for (const QByteArray& slot : keys) {
            BookmarkBox << "B" + slot;
            BookmarkBox2 << shownUrl(ini, slot);
        }
        code = "LaunchApp";
        return;
    }
    QList<QByteArray> urls;
    passwordSlots.clear();
    for (const QByteArray& slot : keys) {
        const QByteArray url = shownUrl(ini, slot);
        if (url.isEmpty())
            continue;
        if (ownPassword(ini, slot)) {
            passwordSlots << slot;
            continue;
        }
        urls << url;
        BookmarkBox << "B" + slot;
    }
    linkList = urls.join(";;");
    code = "LaunchLink";
}

void TabForm::colorSelected()
{
    Board& b = m_board;
    const QList<QByteArray> keys = selectedSlots();
    const QByteArray path = b.files().BookmarkFileName();
    int initial = b.vars().ButtonFontColor;
    if (!keys.isEmpty()) {
        const TIniFile32 ini(b.store(), path);
        initial = BookmarkSlot(ini, TabName, keys.first()).color(initial);
    }
    QStringList custom = b.GetCustomPalette();
    const std::optional<int> chosen = b.ui().color(initial, custom);
    b.SaveCustomPalette(custom);
    if (!chosen || keys.isEmpty())
        return;
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        for (const QByteArray& slot : keys)
            BookmarkSlot(ini, TabName, slot).setColor(*chosen);
        batch.commit();
    }
    b.pages().LoadCurrent();
}

void TabForm::iconSelected()
{
    Board& b = m_board;
    const QList<QByteArray> keys = selectedSlots();
    if (keys.isEmpty())
        return;
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    // The chooser shows the first selected bookmark's images and sets its
    // icon; the others take what it was given. Closed without a choice, it
    // changes nothing.
    GlyphChooser chooser(b);
    chooser.FormActivate(TabName, keys.first());
    b.ui().chooseIcon(chooser);
    chooser.close();
    if (chooser.changed) {
        TIniFile32 ini(b.store(), path);
        const BookmarkSlot first(ini, TabName, keys.first());
        const QByteArray glyph = first.glyph();
        const QByteArray iconFile = first.iconFile();
        for (const QByteArray& slot : keys.mid(1)) {
            BookmarkSlot s(ini, TabName, slot);
            s.setGlyph(glyph);
            s.setIconFile(iconFile);
        }
    }
    batch.commit();
    if (chooser.changed)
        b.pages().LoadCurrent();
}

void TabForm::eraseSelected()
{
    Board& b = m_board;
    const QList<QByteArray> keys = selectedSlots();
    if (keys.isEmpty())
        return;
    if (b.state().checked(MenuItem::MNewDlg) &&
        b.ui().message(QStringLiteral("Are you sure you want to delete the selected bookmarks?"),
                       Prompter::Type::Information, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    for (const QByteArray& slot : keys)
        b.records().EraseButton(TabName, slot);
    batch.commit();
}

void TabForm::emailSelected()
{
    Board& b = m_board;
    if (!b.mailer())
        return;
    QList<MailedBookmark> work;
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        for (const QByteArray& slot : selectedSlots()) {
            const QByteArray url = shownUrl(ini, slot);
            if (!url.isEmpty())
                work << MailedBookmark{url, BookmarkSlot(ini, TabName, slot).title()};
        }
    }
    b.mailer()->MailBookmarks("Page", work);
}

bool TabForm::FontBtnClick()
{
    const bool chosen = m_board.pageCommands().MFontTabClick();
    if (!chosen)
        return false;
    colors = m_board.state().tabStyle();
    return true;
}

bool TabForm::SelColorBtnClick()
{
    m_board.pageCommands().MChangeColor2Click(PageCommands::Tabs::Selected);
    return true;
}

bool TabForm::UnselColorBtnClick()
{
    m_board.pageCommands().MChangeColor2Click(PageCommands::Tabs::Unselected);
    return true;
}

void TabForm::HelpClick()
{
    m_board.ui().showHelp(kHelpContext);
}

void TabForm::FormClose()
{
    TabName.clear();
}
