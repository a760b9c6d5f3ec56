#include "BookmarkDialog.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "GlyphChooser.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "LaunchText.h"
#include "NotesText.h"
#include "PageDisplay.h"
#include "Passwords.h"

using F = BookmarkRecord;

bool BookmarkDialog::save()
{
    if (!launchChoiceFits())
        return false;
    if (launch == Launch::Local && storedLaunch != Launch::Local && URL1.trimmed().isEmpty()) {
        // Nothing to open yet: the program or file is chosen once the dialog
        // has closed, and gives the bookmark its title and address.
        action = LocalFile;
        return true;
    }
    QByteArray title = AnsiText::fromUi(Desc1);
    QByteArray url = AnsiText::fromUi(URL1.trimmed());
    if (title.isEmpty() && !url.isEmpty()) {
        url = LaunchText::EndSlash(url);
        const int start = url.startsWith("http://www.") ? 12 : 8;
        const qsizetype dot = url.indexOf('.', start - 1);
        title = dot < 0 ? url.mid(start - 1) : url.mid(start - 1, dot - (start - 1));
        Desc1 = AnsiText::toUi(title);
    }
    if (!title.isEmpty() && url.isEmpty())
        url = "http://www." + NotesText::RemoveSpaces(title) + ".com/";
    url = LaunchText::EndSlash(url);
    URL1 = AnsiText::toUi(url);
    // The text and the way it launches are saved together.
    IniBatch batch(m_board.store(), m_board.files().BookmarkFileName());
    if (!NameChange())
        return false;
    writeLaunchChoice();
    batch.commit();
    if (url.startsWith("mailto:") && launch != Launch::Local)
        action = LocalFile;
    return true;
}

bool BookmarkDialog::launchChoiceFits() const
{
    if (launch != Launch::Ip || launch == storedLaunch || !IP1.trimmed().isEmpty())
        return true;
    m_board.ui().message(QStringLiteral("There is no IP address to launch this bookmark by: type its IP address, or "
                                        "choose another way to launch it."),
                         Prompter::Type::Information, Prompter::Buttons::Ok);
    return false;
}

bool BookmarkDialog::NameChange()
{
    Board& b = m_board;
    const QByteArray title = AnsiText::fromUi(Desc1);
    const QByteArray url = AnsiText::fromUi(URL1);
    const QByteArray notes = NotesText::RemoveReturn(AnsiText::fromUi(EI1));
    const QByteArray ip = AnsiText::fromUi(IP1);
    const QByteArray extra = AnsiText::fromUi(EI2);

    // On a protected page an address that cannot be stored enciphered is
    // refused before anything is written.
    const std::optional<QByteArray> stored = b.passwords().storedUrl(page, url, title);
    if (!stored)
        return false;
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    if (!title.isEmpty())
        BookmarkSlot(ini, page, slot).setTitle(title);
    if (!url.isEmpty())
        BookmarkSlot(ini, page, slot).setUrl(*stored);
    // Clearing a box clears the stored value; an empty box leaves a missing key missing.
    for (auto [field, value] : {std::pair{F::IpAddress, ip}, {F::Notes, notes}, {F::ExtraInfo, extra}})
        if (!value.isEmpty() || !BookmarkSlot(ini, page, slot).get(field).isEmpty())
            BookmarkSlot(ini, page, slot).set(field, value);
    // The button shows what is stored now: a box left empty keeps the stored
    // title or address, and a new address with no icon of its own shows the
    // default icon.
    b.state().updateShownFace(page, "B" + slot, [&](ButtonFace& face) {
        bool legacy = false;
        int code = 0;
        b.pages().buildFace(ini, page, face, &legacy, &code);
        glyph = face.glyph;
    });
    batch.commit();
    return true;
}

void BookmarkDialog::ResetBC()
{
    Board& b = m_board;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        BookmarkSlot(ini, page, slot).erase(F::Color);
    }
    color = b.vars().ButtonFontColor;
    b.state().updateShownFace(page, "B" + slot, [&](ButtonFace& face) { face.color = color; });
}

void BookmarkDialog::writeLaunchChoice()
{
    if (launch == storedLaunch)
        return;
    Board& b = m_board;
    TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    BookmarkSlot stored(ini, page, slot);
    switch (launch) {
    case Launch::Url:
        // A link again: a local file's mark goes, an IP's is emptied.
        if (storedLaunch == Launch::Local)
            stored.erase(F::LaunchAs);
        else
            stored.setLaunchAs({});
        break;
    case Launch::Ip:
        stored.setLaunchAs("IP");
        break;
    case Launch::Local:
        stored.setLaunchAs("Yes");
        break;
    }
    storedLaunch = launch;
}

bool BookmarkDialog::SaveBtnClick()
{
    return save();
}

bool BookmarkDialog::saveFor(int wanted)
{
    action = wanted;
    if (save())
        return true;
    // A refused save leaves the dialog open for the text to be mended.
    action = None;
    return false;
}

bool BookmarkDialog::PassBoxClick()
{
    return saveFor(PassBox);
}

bool BookmarkDialog::BMColorClick()
{
    return saveFor(Color);
}

bool BookmarkDialog::ResetColorClick()
{
    ResetBC();
    return save();
}

bool BookmarkDialog::IconButtonClick()
{
    action = None;
    GlyphChooser chooser(m_board);
    chooser.FormActivate(page, slot);
    m_board.ui().chooseIcon(chooser);
    chooser.close();
    if (chooser.dialogAction == IconChanged)
        action = IconChanged;
    if (chooser.changed)
        glyph = chooser.chosenGlyph;
    return saveFor(action);
}

bool BookmarkDialog::MoveBtnClick()
{
    action = Move;
    return true;
}

bool BookmarkDialog::CopyBtnClick()
{
    action = Copy;
    return true;
}

bool BookmarkDialog::EraseBtnClick()
{
    action = Erase;
    return true;
}

bool BookmarkDialog::EMailBtnClick()
{
    action = Email;
    return true;
}

bool BookmarkDialog::URLBoxClick()
{
    launch = Launch::Url;
    return false;
}

bool BookmarkDialog::IPBoxClick()
{
    launch = Launch::Ip;
    return false;
}

bool BookmarkDialog::LocalBoxClick()
{
    launch = Launch::Local;
    return false;
}

void BookmarkDialog::HelpBtnClick()
{
    m_board.ui().showHelp(kHelpContext);
}

void BookmarkDialog::showListed(const QByteArray& listedPage, const QByteArray& listedSlot, const QString& title,
                                const QString& url)
{
    Board& b = m_board;
    page = listedPage;
    slot = listedSlot;
    fromList = true;
    passVisible = false;
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        const BookmarkSlot stored(ini, page, slot);
        EI1 = AnsiText::toUi(NotesText::AddReturn(stored.notes()));
        EI2 = AnsiText::toUi(stored.extraInfo());
        IP1 = AnsiText::toUi(stored.ipAddress());
        color = stored.color(b.vars().ButtonFontColor);
    }
    Desc1 = title;
    URL1 = url;
    defaultColor = b.vars().ButtonFontColor;
    b.ui().bookmarkDialog(*this);
}
