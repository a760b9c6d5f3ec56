#pragma once

#include "TabStyle.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class Board;
class TIniFile32;

// TTabForm ("Page Options for the ... page."): the page commands for the
// page whose tab was right-clicked, its password, and actions on bookmarks
// of the page chosen in a list. Most choices only record a command code that
// the page commands carry out once the dialog has closed; colour, icon,
// erase and e-mail act at once on the selected rows.
class TabForm
{
public:
    explicit TabForm(Board& board) : m_board(board) {}

    struct Row
    {
        QByteArray slot;  // "01" .. "80"
        QByteArray title; // the button's caption
    };

    // Shown state.
    QString caption;
    QByteArray TabName; // the page the options are for
    QList<Row> rows;    // BtnList
    QSet<int> selected; // rows selected in BtnList
    QString group2Caption;
    bool PasswordBox = false;
    TabStyle colors;

    // What the dialog leaves for the page commands.
    QByteArray code = "R";
    QByteArray newName;             // the name typed for "Rename Page" or "Add Page"
    QList<QByteArray> BookmarkBox;  // "CB": slot keys; "LaunchApp": button names
    QList<QByteArray> BookmarkBox2; // "LaunchApp": the matching addresses
    QList<QByteArray> hosts;        // "Ping": the sites, in list order
    QList<QByteArray> pingButtons;  // "Ping": the matching button names
    QByteArray linkList;            // "LaunchLink": the addresses joined by ";;"
    // "LaunchLink": bookmarks that keep their own password open one by one,
    // each after its password.
    QList<QByteArray> passwordSlots;
    bool moveBookmarks = false; // "CB": move rather than copy

    static const QStringList& Group1Items();
    static const QStringList& Group2Items();
    enum Group1 { RenamePage, DeletePage, AddPage, MovePage, CopyPage, EraseBookmarks, EmailBookmarks };
    enum Group2 {
        ColorSelected,
        IconSelected,
        MoveSelected,
        CopySelected,
        EraseSelected,
        EmailSelected,
        PingSelected,
        LaunchLinks,
        LaunchFiles
    };

    // Opening for the page shown.
    void FormShow();
    void BtnListSelectItem(const QSet<int>& rows);
    // The handlers return true when the dialog closes.
    bool Group1Click(int index);
    bool PasswordBoxClick();
    bool Group2Click(int index);
    bool FontBtnClick();
    bool SelColorBtnClick();
    bool UnselColorBtnClick();
    void FormClose();

    static constexpr int kHelpContext = 80;
    void HelpClick();

private:
    // The selected rows' slot keys, in list order.
    QList<QByteArray> selectedSlots() const;
    // A selected bookmark's address as it opens: deciphered on a protected page.
    QByteArray shownUrl(const TIniFile32& ini, const QByteArray& slot) const;
    // A bookmark on an open page that still asks its own password.
    bool ownPassword(const TIniFile32& ini, const QByteArray& slot) const;
    // Ping, Launch Selected Links and Launch Selected Files: the selected
    // bookmarks' sites or addresses, for the page commands.
    void takeAddresses(int index, const QList<QByteArray>& keys);
    void colorSelected();
    void iconSelected();
    void eraseSelected();
    void emailSelected();

    Board& m_board;
};
