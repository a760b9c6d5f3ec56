#include "BookmarkEditor.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardGeometry.h"
#include "BookmarkAddress.h"
#include "BookmarkDialog.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "DesktopEntry.h"
#include "GlyphChooser.h"
#include "HtmlText.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "InternetShortcut.h"
#include "LaunchText.h"
#include "NotesText.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "Passwords.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "SettingsFile.h"
#include "ShellLink.h"
#include "ToolTip.h"

#include <QFileInfo>
#include <QMimeData>
#include <QStringDecoder>
#include <QUrl>

using F = BookmarkRecord;

namespace {

QByteArray urlOfShortcut(const QByteArray& path)
{
    const QByteArray url = InternetShortcut::url(path);
    return url.isEmpty() ? path : url;
}

// A dropped or chosen address that would run or show what it holds is said
// and makes no bookmark.
bool refusedAddress(Board& board, const QByteArray& url)
{
    if (BookmarkAddress::mayBecomeBookmark(url, BookmarkAddress::Origin::Own))
        return false;
    board.ui().message(BookmarkAddress::refusedText(url, BookmarkAddress::Origin::Own), Prompter::Type::Information,
                       Prompter::Buttons::Ok);
    return true;
}

// Text of a drag in UTF-16 (with or without a byte-order mark), as browsers
// write it, or in UTF-8, as other programs do: UTF-8 text has no NUL.
QString dragText(const QByteArray& bytes)
{
    if (!bytes.contains('\0'))
        return QString::fromUtf8(bytes);
    QStringDecoder utf16(QStringConverter::Utf16);
    return utf16(bytes);
}

// The line after the address in "address\ntitle" (the forms text/x-moz-url
// and _NETSCAPE_URL).
QString titleLine(const QString& text)
{
    return text.section(QLatin1Char('\n'), 1, 1);
}

// The text of the first link of an HTML fragment, its tags dropped.
QString anchorText(const QByteArray& html)
{
    const QByteArray lower = html.toLower();
    qsizetype open = lower.indexOf("<a");
    while (open >= 0 && open + 2 < lower.size() && !QChar::isSpace(uchar(lower[open + 2])))
        open = lower.indexOf("<a", open + 2);
    const qsizetype start = open < 0 ? -1 : lower.indexOf('>', open);
    const qsizetype end = start < 0 ? -1 : lower.indexOf("</a", start);
    if (end < 0)
        return {};
    QByteArray inner;
    bool inTag = false;
    for (const char c : html.mid(start + 1, end - start - 1)) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            inner += c;
    }
    return HtmlText::decode(inner);
}

} // namespace

BookmarkEditor::Dropped BookmarkEditor::droppedFrom(const QMimeData& mime)
{
    Dropped item;
    const QList<QUrl> urls = mime.urls();
    if (urls.isEmpty())
        return item;
    const QUrl first = urls.front();
    if (first.isLocalFile()) {
        item.path = PathNames::fromQt(first.toLocalFile());
        return item;
    }
    item.url = first.toEncoded();
    // The link's text, in whichever of the forms programs send it beside the address.
    const QString candidates[] = {
        titleLine(dragText(mime.data(QStringLiteral("text/x-moz-url")))),
        titleLine(QString::fromUtf8(mime.data(QStringLiteral("_NETSCAPE_URL")))),
        dragText(mime.data(QStringLiteral("text/x-moz-url-desc"))),
        anchorText(mime.data(QStringLiteral("text/html"))),
    };
    for (const QString& text : candidates)
        if (const QString title = text.simplified(); !title.isEmpty()) {
            item.title = AnsiText::fromUi(title);
            break;
        }
    return item;
}

bool BookmarkEditor::BitBtn1MouseDown(const QByteArray& buttonName, MouseButton button)
{
    Board& b = m_board;
    if (button == MouseButton::Right) {
        SetButtonParams(buttonName);
        return false;
    }
    if (b.records().placing()) {
        b.records().placeAt(buttonName);
        return false;
    }
    StorePage = b.state().currentPage();
    b.vars().CurrentButton = buttonName;
    b.records().StoreButton(b.files().BookmarkFileName(), StorePage, buttonName.mid(1, 2));
    return true;
}

void BookmarkEditor::ButtonDragDrop(const QByteArray& target, const QByteArray& source)
{
    Board& b = m_board;
    if (target == source) {
        b.ButtonClick(target);
        return;
    }
    b.records().takeBackup();
    b.ui().setCursor(ScreenCursor::HourGlass);
    const QByteArray page = b.state().currentPage();
    // The record was stored at the press; the source goes first, so a move
    // into the gap it leaves works.
    const BookmarkRecord carried = b.records().record();
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    b.records().EraseButton(page, source.mid(1, 2), RecordOps::WebIconFile::Keep);
    b.records().setRecord(carried);
    if (!b.records().PutButton(target)) {
        // A bookmark that finds no room goes back where it came from.
        b.records().setRecord(carried);
        b.records().putBack(page, source.mid(1, 2));
        batch.commit();
        b.records().BookmarkBox().clear();
        b.ui().message(RecordOps::fullPageText(carried[F::Title]) + QStringLiteral(" It is back in its place."),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    batch.commit();
}

void BookmarkEditor::SetButtonParams(const QByteArray& buttonName)
{
    Board& b = m_board;
    const QByteArray slot = buttonName.mid(1, 2);
    const QByteArray page = b.state().currentPage();
    b.vars().CurrentButton = buttonName;
    if (b.records().placing()) {
        b.records().placeAt(buttonName);
        return;
    }
    b.records().takeBackup();

    const int index = b.state().buttonIndex(buttonName);
    if (index < 0)
        return;
    const QByteArray path = b.files().BookmarkFileName();
    BookmarkDialog d(b);
    d.page = page;
    d.slot = slot;
    QByteArray storedUrl;
    QByteArray launchAs;
    {
        TIniFile32 ini(b.store(), path);
        storedUrl = BookmarkSlot(ini, page, slot).url();
        launchAs = BookmarkSlot(ini, page, slot).launchAs();
        d.Desc1 = AnsiText::toUi(BookmarkSlot(ini, page, slot).title());
        d.IP1 = AnsiText::toUi(BookmarkSlot(ini, page, slot).ipAddress());
        d.EI1 = AnsiText::toUi(NotesText::AddReturn(BookmarkSlot(ini, page, slot).notes()));
        d.EI2 = AnsiText::toUi(BookmarkSlot(ini, page, slot).extraInfo());
    }
    const bool protectedPage = b.PagePassBox().PageProtected(page);
    const bool ownPassword = BookmarkFile::IsProtectedUrl(storedUrl) && !protectedPage;
    d.passChecked = ownPassword;
    d.URL1 = AnsiText::toUi(protectedPage && BookmarkFile::IsProtectedUrl(storedUrl) ? PassText::Decrypt(storedUrl)
                                                                                     : storedUrl);
    d.passVisible = !protectedPage;
    d.protectedView = ownPassword;
    d.launch = launchAs == "IP"    ? BookmarkDialog::Launch::Ip
               : launchAs == "Yes" ? BookmarkDialog::Launch::Local
                                   : BookmarkDialog::Launch::Url;
    d.storedLaunch = d.launch;
    d.color = b.state().buttons()[index].color;
    d.defaultColor = b.vars().ButtonFontColor;
    d.glyph = b.state().buttons()[index].glyph;
    const bool hadUrl = !storedUrl.isEmpty();

    b.ui().bookmarkDialog(d);

    // The button follows what the dialog left in the file.
    const int now = b.state().buttonIndex(buttonName);
    if (now < 0 || page != b.state().currentPage())
        return;
    QByteArray url;
    QByteArray notes;
    {
        TIniFile32 ini(b.store(), path);
        url = BookmarkSlot(ini, page, slot).url();
        notes = BookmarkSlot(ini, page, slot).notes();
    }
    const QByteArray shownUrl = protectedPage && BookmarkFile::IsProtectedUrl(url) ? PassText::Decrypt(url) : url;
    b.state().updateFace(now, [&](ButtonFace& face) {
        face.glyph = b.state().checked(MenuItem::MBIcon) ? d.glyph : IconRef::noIcon();
        face.hint = BookmarkFile::IsProtectedUrl(url) && !protectedPage
                        ? ToolTip::kPasswordProtected
                        : ToolTip::build(shownUrl, notes, b.state().checked(MenuItem::MBUrl),
                                         b.state().checked(MenuItem::MBNotes));
    });
    if (!hadUrl && !url.isEmpty())
        b.AutoIcon(buttonName, shownUrl, page, slot);

    auto rebuildHint = [&](const QByteArray& address) {
        b.state().updateFace(now, [&](ButtonFace& face) {
            face.hint = ToolTip::build(address, notes, b.state().checked(MenuItem::MBUrl),
                                       b.state().checked(MenuItem::MBNotes));
        });
    };
    switch (d.action) {
    case BookmarkDialog::PassBox: {
        if (ownPassword) {
            const QByteArray typed = b.passwords().ask(Passwords::forBookmark(AnsiText::fromUi(d.Desc1)));
            if (typed != PassText::StoredPassword(url) || !BookmarkFile::IsProtectedUrl(url)) {
                b.ui().message(QString::fromLatin1(Passwords::kInvalid), Prompter::Type::Information,
                               Prompter::Buttons::Ok);
            } else {
                const QByteArray plain = PassText::Decrypt(url);
                TIniFile32 ini(b.store(), path);
                BookmarkSlot(ini, page, slot).setUrl(plain);
                rebuildHint(plain);
            }
        } else if (!url.isEmpty()) {
            const QByteArray typed = b.passwords().ask(Passwords::forBookmark(AnsiText::fromUi(d.Desc1), true));
            if (!typed.isEmpty()) {
                if (!PassText::EncryptRoundTrips(url, typed)) {
                    b.ui().message(QStringLiteral("The address of the bookmark \"%1\" cannot be protected with "
                                                  "this password; nothing was protected. Please choose another "
                                                  "password.")
                                       .arg(d.Desc1),
                                   Prompter::Type::Information, Prompter::Buttons::Ok);
                } else {
                    TIniFile32 ini(b.store(), path);
                    BookmarkSlot(ini, page, slot).setUrl(PassText::Encrypt(url, typed));
                    b.state().updateFace(now, [](ButtonFace& face) { face.hint = ToolTip::kPasswordProtected; });
                }
            }
        }
        break;
    }
    case BookmarkDialog::LocalFile:
        if (launchAs == "Yes") {
            TIniFile32 ini(b.store(), path);
            BookmarkSlot(ini, page, slot).erase(F::LaunchAs);
        } else if (launchAs.isEmpty()) {
            {
                TIniFile32 ini(b.store(), path);
                BookmarkSlot(ini, page, slot).setLaunchAs("Yes");
            }
            if (d.URL1.isEmpty())
                b.ButtonClick(buttonName);
            else
                d.save();
            TIniFile32 ini(b.store(), path);
            if (BookmarkSlot(ini, page, slot).url().isEmpty())
                BookmarkSlot(ini, page, slot).erase(F::LaunchAs);
        }
        break;
    case BookmarkDialog::Color:
        BFontChange(buttonName, page, slot);
        break;
    case BookmarkDialog::Move:
    case BookmarkDialog::Copy:
        StorePage = page;
        b.records().beginPlacing(page, slot, d.action == BookmarkDialog::Move);
        break;
    case BookmarkDialog::Erase:
        if (b.state().checked(MenuItem::MNewDlg)) {
            const QString text = QStringLiteral("Are you sure you want to delete the \"") +
                                 AnsiText::toUi(b.state().buttons()[now].caption) + QStringLiteral("\" bookmark?");
            if (b.ui().message(text, Prompter::Type::Information, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
                break;
        }
        b.records().EraseButton(page, slot);
        break;
    case BookmarkDialog::Email:
        if (b.mailer()) {
            b.mailer()->MailBookmarks("One", {{shownUrl, b.state().buttons()[now].caption}});
        }
        break;
    case BookmarkDialog::IconChanged: {
        TIniFile32 ini(b.store(), path);
        QByteArray iconFile = BookmarkSlot(ini, page, slot).iconFile();
        bool ok = false;
        const int glyph = TIniFile32::toInteger(BookmarkSlot(ini, page, slot).glyph(), &ok);
        b.state().updateFace(now, [&](ButtonFace& face) {
            if (!b.state().checked(MenuItem::MBIcon))
                face.glyph = IconRef::noIcon();
            else if (iconFile.isEmpty() && !ok)
                face.glyph = IconRef::defaultIcon();
            else
                face.glyph = {IconRef::File, std::max(0, (ok ? glyph : 0) - 600), iconFile.isEmpty() ? url : iconFile};
        });
        break;
    }
    default:
        break;
    }
}

void BookmarkEditor::BFontChange(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot)
{
    Board& b = m_board;
    const int index = b.state().buttonIndex(buttonName);
    if (index < 0)
        return;
    QStringList custom = b.GetCustomPalette();
    const std::optional<int> chosen = b.ui().color(b.state().buttons()[index].color, custom);
    if (chosen) {
        b.state().updateFace(index, [&](ButtonFace& face) { face.color = *chosen; });
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        BookmarkSlot(ini, page, slot).setColor(*chosen);
    }
    b.SaveCustomPalette(custom);
}

void BookmarkEditor::MNewDlgClick()
{
    m_board.toggleOption(MenuItem::MNewDlg, SettingsFile::ConfirmErase);
}

void BookmarkEditor::MWebDlgClick()
{
    m_board.toggleOption(MenuItem::MWebDlg, SettingsFile::ConfirmWebIcon);
}

void BookmarkEditor::MDBIconClick()
{
    Board& b = m_board;
    GlyphChooser chooser(b);
    chooser.FormActivate(BookmarkFile::kDefault, "Icon");
    b.ui().chooseIcon(chooser);
    chooser.close();
    if (chooser.changed)
        b.state().setDefaultIcon(chooser.chosenGlyph.kind == IconRef::Default
                                     ? IconRef{IconRef::Internal, BookmarkFile::kDefaultIconG, {}}
                                     : chooser.chosenGlyph);
    b.pages().LoadCurrent();
}

void BookmarkEditor::chooseLocalFile(const QByteArray& buttonName, const QByteArray& page, const QByteArray& slot)
{
    Board& b = m_board;
    const QString chosen = b.ui().openFile({QStringLiteral("Select a Program or File"),
                                            QStringLiteral("All Files|*.*|Programs|*"),
                                            QStringLiteral("/"),
                                            {},
                                            0});
    if (chosen.isEmpty())
        return;
    QByteArray url = PathNames::fromQt(chosen);
    if (AnsiText::toLower(PathNames::fileName(url)).endsWith(".url"))
        url = urlOfShortcut(url);
    if (refusedAddress(b, url))
        return;
    const QByteArray caption = LaunchText::FileTitle(PathNames::fileName(PathNames::fromQt(chosen)));
    const std::optional<QByteArray> stored = b.passwords().storedUrl(page, url, caption);
    if (!stored)
        return;
    const QByteArray path = b.files().BookmarkFileName();
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        BookmarkSlot(ini, page, slot).setTitle(caption);
        BookmarkSlot(ini, page, slot).setUrl(*stored);
        batch.commit();
    }
    b.state().updateFace(b.state().buttonIndex(buttonName), [&](ButtonFace& face) {
        face.caption = caption;
        face.hint = url;
        face.handCursor = true;
    });
    b.AutoIcon(buttonName, url, page, slot);
}

int BookmarkEditor::slotAt(QPoint at, int boardWidth) const
{
    const int columns = m_board.vars().Columns;
    if (at.y() < 0 || at.x() < 0 || boardWidth <= 0)
        return 0;
    // A point on the line between two rows belongs to the row below it.
    const int row = at.y() / BoardGeometry::kButtonHeight + 1;
    if (row > BoardGeometry::kRows)
        return 0;
    const int columnWidth = boardWidth / columns;
    int column = at.x() / std::max(1, columnWidth);
    if (at.x() > 0 && at.x() % std::max(1, columnWidth) == 0)
        column -= 1; // exactly on a column's right edge: still that column
    column = std::clamp(column, 0, columns - 1);
    return row + column * BoardGeometry::kRows;
}

void BookmarkEditor::FilesDropped(const Dropped& item, QPoint at, int boardWidth)
{
    Board& b = m_board;
    const int slotNumber = slotAt(at, boardWidth);
    if (slotNumber == 0)
        return;
    b.records().takeBackup();
    const QByteArray page = b.state().currentPage();
    const QByteArray slot = BookmarkFile::SlotKey(slotNumber);
    const QByteArray button = "B" + slot;

    BookmarkRecord r;
    QByteArray iconLink;
    if (!item.url.isEmpty()) {
        r[F::Url] = item.url;
        r[F::Title] = item.title.isEmpty() ? QUrl::fromEncoded(item.url).host().toUtf8() : item.title;
        iconLink = item.url;
    } else {
        const QByteArray file = item.path;
        const QByteArray name = PathNames::fileName(file);
        const QByteArray lower = AnsiText::toLower(name);
        r[F::Url] = file;
        r[F::LaunchAs] = "Yes";
        iconLink = file;
        if (lower.endsWith(".url")) {
            r[F::Url] = urlOfShortcut(file);
            iconLink = r[F::Url];
        } else if (lower.endsWith(".lnk")) {
            if (const std::optional<ShellLink> link = ShellLink::read(PathNames::toQt(file))) {
                if (link->namespaceItem) {
                    b.ui().message(QStringLiteral("\"%1\" is a shortcut to a Windows item such as a Control Panel "
                                                  "page, not to a file, a folder or a program, so it makes no "
                                                  "bookmark.")
                                       .arg(PathNames::toQt(name)),
                                   Prompter::Type::Information, Prompter::Buttons::Ok);
                    return;
                }
                iconLink = PathNames::fromQt(link->target);
                r[F::Url] = iconLink;
                if (!link->arguments.isEmpty())
                    r[F::Url] += " /" + AnsiText::fromUi(link->arguments);
                r[F::ExtraInfo] = PathNames::fromQt(link->workingDir);
                if (!link->description.isEmpty())
                    r[F::Title] = AnsiText::fromUi(link->description);
            }
        } else if (lower.endsWith(".desktop")) {
            if (const std::optional<DesktopEntry> entry = DesktopEntry::read(PathNames::toQt(file))) {
                if (!entry->url.isEmpty()) {
                    r[F::Url] = AnsiText::fromUi(entry->url);
                    r[F::LaunchAs].clear();
                    iconLink = r[F::Url];
                } else {
                    // The launcher itself is the target: it runs as the desktop
                    // runs it (its quoting, field codes, folder and terminal).
                    r[F::IconFile] = file;
                    r[F::Glyph] = "600";
                }
                if (!entry->name.isEmpty())
                    r[F::Title] = AnsiText::fromUi(entry->name);
            }
        }
        if (r[F::Title].isEmpty())
            r[F::Title] = LaunchText::FileTitle(name);
    }
    // What a dropped file or link says becomes one line each, whatever it holds.
    for (QByteArray& field : r.fields)
        field = AnsiText::oneLine(field);
    iconLink = AnsiText::oneLine(iconLink);
    if (refusedAddress(b, r[F::Url]))
        return;
    const QByteArray plainUrl = r[F::Url];
    const std::optional<QByteArray> stored = b.passwords().storedUrl(page, r[F::Url], r[F::Title]);
    if (!stored)
        return;
    r[F::Url] = *stored;
    b.records().setRecord(r);
    const bool placed = b.records().PutButton(button);
    b.records().BookmarkBox().clear();
    if (!placed) {
        b.ui().message(RecordOps::fullPageText(r[F::Title]), Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    // The icon, description and address go to the new bookmark, in the slot it
    // now holds, never to the one it pushed aside.
    // A link that came without its text is titled by its page once that is read.
    const IconFetcher::Title title =
        !item.url.isEmpty() && item.title.isEmpty() ? IconFetcher::Title::FromPage : IconFetcher::Title::Kept;
    if (r[F::Glyph].isEmpty())
        b.AutoIcon(button, iconLink.isEmpty() ? plainUrl : iconLink, page, slot, title);
}

void BookmarkEditor::AddBookmarkClick()
{
    Board& b = m_board;
    b.records().takeBackup();
    if (!b.launcher())
        return;
    const QByteArray file = b.files().BookmarkFileName();
    const QByteArray page = b.state().currentPage();
    b.launcher()->CurrentPage([this, file, page](bool ok, const QByteArray& title, const QByteArray& url) {
        Board& b = m_board;
        // The browser shows nothing, or another file or page came up meanwhile:
        // the page stays as it is.
        if (!ok || url.isEmpty() || file != b.files().BookmarkFileName() || page != b.state().currentPage())
            return;
        const int last =
            std::min<int>(b.vars().Columns * BoardGeometry::kRows, static_cast<int>(b.state().buttons().size()));
        for (int n = 1; n <= last; ++n) {
            if (!b.state().buttons()[n - 1].caption.isEmpty())
                continue;
            const std::optional<QByteArray> stored = b.passwords().storedUrl(page, url, title);
            if (!stored)
                return;
            BookmarkRecord r;
            r[F::Title] = title;
            r[F::Url] = *stored;
            b.records().setRecord(r);
            const QByteArray button = "B" + BookmarkFile::SlotKey(n);
            b.records().PutButton(button);
            b.AutoIcon(button, url, page, BookmarkFile::SlotKey(n));
            return;
        }
    });
}
