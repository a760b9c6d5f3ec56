#pragma once

#include "ButtonFace.h"

#include <QByteArray>
#include <QString>
#include <functional>

class Board;
class GlyphChooser;

// TBConfigForm: the bookmark dialog's state and control handlers. The window
// shows the fields and calls the handlers; a handler that returns true closes
// the dialog. What the main window does afterwards depends on Action.
class BookmarkDialog
{
public:
    explicit BookmarkDialog(Board& board) : m_board(board) {}

    enum Action {
        None = 0,
        PassBox = 1,
        LocalFile = 2,
        Color = 3,
        Move = 4,
        Copy = 5,
        Erase = 6,
        Email = 7,
        IconChanged = 20
    };

    // Fields as shown (text the user can edit).
    QString Desc1; // Title
    QString URL1;  // Url (deciphered on a protected page)
    QString IP1;   // IpAddress
    QString EI1;   // Notes, lines separated by CR LF
    QString EI2;   // ExtraInfo
    bool passChecked = false;
    bool passVisible = true;
    // "Launch As:": how the bookmark opens, as stored when the dialog opened
    // and as the boxes now choose it; the choice is written with the text.
    enum class Launch { Url, Ip, Local } launch = Launch::Url;
    Launch storedLaunch = Launch::Url;
    int color = 0;        // BMColor's caption colour
    int defaultColor = 0; // ResetColor's; the button is hidden when equal
    IconRef glyph;        // IconButton's
    // The protected-bookmark view: only Title (read-only), PassBox, Cancel, Help.
    bool protectedView = false;
    // Opened from a result list for a bookmark of any page: no Move, Copy,
    // Erase, Email, PassBox or "Launch As:" group.
    bool fromList = false;
    // Opens the dialog that way on a stored bookmark: its fields read from
    // the file, the title and address as given.
    void showListed(const QByteArray& listedPage, const QByteArray& listedSlot, const QString& title,
                    const QString& url);

    int action = None;
    QByteArray page; // dialog page and slot
    QByteArray slot;

    bool resetColorVisible() const { return color != defaultColor; }
    bool passBoxVisible() const { return passVisible && !Desc1.isEmpty(); }
    static constexpr int kHelpContext = 74;
    static constexpr int kNotesLimit = 1000;

    // Control handlers; true closes the dialog. The "Launch As:" boxes only
    // choose: the dialog stays open with what was typed.
    bool SaveBtnClick();
    bool PassBoxClick();
    bool BMColorClick();
    bool ResetColorClick();
    bool IconButtonClick();
    bool MoveBtnClick();
    bool CopyBtnClick();
    bool EraseBtnClick();
    bool EMailBtnClick();
    bool URLBoxClick();
    bool IPBoxClick();
    bool LocalBoxClick();
    void HelpBtnClick();

    // The save steps: title and address completed from each other, then
    // written (NameChange). False when nothing could be written.
    bool save();
    bool NameChange();
    void ResetBC();

private:
    bool saveFor(int wanted);
    // False, with the reason said, when the choice cannot be kept.
    bool launchChoiceFits() const;
    void writeLaunchChoice();

    Board& m_board;
};
