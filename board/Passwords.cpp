#include "Passwords.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageDisplay.h"
#include "PassText.h"
#include "PathNames.h"

using F = BookmarkRecord;

namespace {

void inform(Board& b, const QString& text)
{
    b.ui().message(text, Prompter::Type::Information, Prompter::Buttons::Ok);
}

} // namespace

QByteArray Passwords::ask(const PasswordRequest& request)
{
    const QString text = m_board.ui().password(request);
    return text.isEmpty() ? QByteArray() : AnsiText::fromUi(text);
}

PasswordRequest Passwords::forFile(const QByteArray& path, bool newPassword)
{
    return {QStringLiteral("Password for the file \"%1\":").arg(AnsiText::toUi(PathNames::fileName(path))),
            newPassword};
}

PasswordRequest Passwords::forPage(const QByteArray& page, bool newPassword)
{
    return {QStringLiteral("Password for the page \"%1\":").arg(AnsiText::toUi(page)), newPassword};
}

PasswordRequest Passwords::forBookmark(const QByteArray& title, bool newPassword)
{
    return {QStringLiteral("Password for the bookmark \"%1\":").arg(AnsiText::toUi(title)), newPassword};
}

void Passwords::MProgPassClick()
{
    Board& b = m_board;
    const QByteArray path = b.files().BookmarkFileName();
    {
        TIniFile32 ini(b.store(), path);
        if (!ini.ReadString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, {}).isEmpty() ||
            !ini.ReadString(BookmarkFile::kProgram, BookmarkFile::kVersion, {}).isEmpty()) {
            inform(b, QStringLiteral("File already Protected!"));
            return;
        }
    }
    const QByteArray password = ask(forFile(path, true));
    if (password.isEmpty())
        return;
    // The stored form must read back exactly, or the file could never be
    // opened again.
    if (!PassText::EncryptRoundTrips(password, {})) {
        inform(b, QStringLiteral("This password cannot be stored safely; nothing was protected. "
                                 "Please choose another password."));
        return;
    }
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, PassText::scramble(password));
    ini.WriteString(BookmarkFile::kProgram, BookmarkFile::kVersion, "3.x");
    batch.commit();
}

void Passwords::ProgramProtected(const QByteArray& storedValue)
{
    Board& b = m_board;
    const QByteArray typed = ask(forFile(b.files().BookmarkFileName()));
    // The stored value is the scrambled password followed by the version
    // mark; the mark is cut by its real length, so that a file whose mark is
    // missing or different still opens with its password.
    QByteArray version;
    {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        version = ini.ReadString(BookmarkFile::kProgram, BookmarkFile::kVersion, {});
    }
    const QByteArray scrambled = storedValue.endsWith(version) ? storedValue.left(storedValue.size() - version.size())
                                                               : storedValue.left(storedValue.size() - 3);
    const QByteArray expected = PassText::unscramble(scrambled);
    if (typed != expected) {
        inform(b, QString::fromLatin1(kInvalid));
        return;
    }
    if (b.ui().message(QStringLiteral("Remove Password Protection?"), Prompter::Type::Confirmation,
                       Prompter::Buttons::YesNo) == Prompter::Answer::Yes) {
        const QByteArray path = b.files().BookmarkFileName();
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, {});
        ini.EraseSection(BookmarkFile::kProgram);
        batch.commit();
    }
    b.vars().FilePasswordValue.clear();
    b.state().setLocked(false);
    b.vars().FirstBuild = false;
    TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    b.pages().Load(BookmarkFile::FirstPageName(ini));
    b.FormCaption();
}

void Passwords::ProgPassButtonClick()
{
    // Only a locked file has a password to give.
    if (!m_board.state().locked())
        return;
    ProgramProtected(m_board.vars().FilePasswordValue);
}

void Passwords::MPagePassClick()
{
    const QByteArray page = m_board.state().currentPage();
    if (m_board.state().checked(MenuItem::MPagePass))
        unprotectPage(page);
    else
        protectPage(page);
}

void Passwords::protectPage(const QByteArray& page)
{
    Board& b = m_board;
    const QByteArray password = ask(forPage(page, true));
    if (password.isEmpty())
        return;
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    if (!PassText::EntryRoundTrips(page + password)) {
        inform(b, QStringLiteral("This password cannot be stored safely for this page; nothing was "
                                 "protected. Please choose another password."));
        return;
    }
    // Every address must read back exactly before any is changed.
    for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
        const QByteArray slot = BookmarkFile::SlotKey(n);
        const QByteArray url = BookmarkSlot(ini, page, slot).url();
        if (!url.isEmpty() && !PassText::EncryptRoundTrips(url, password)) {
            const QByteArray title = BookmarkSlot(ini, page, slot).title();
            inform(b, QStringLiteral("The address of the bookmark \"%1\" cannot be protected with this "
                                     "password; nothing was protected. Please choose another password.")
                          .arg(AnsiText::toUi(title.isEmpty() ? slot : title)));
            return;
        }
    }
    b.PagePassBox().add(page, password);
    for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
        BookmarkSlot slot(ini, page, BookmarkFile::SlotKey(n));
        const QByteArray url = slot.url();
        if (!url.isEmpty())
            slot.setUrl(PassText::Encrypt(url, password));
    }
    // The list is saved with the addresses: a list lost in a crash would
    // leave the addresses scrambled for good.
    ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kPagePasswords, b.PagePassBox().WritePagePass());
    batch.commit();
    b.state().setChecked(MenuItem::MPagePass, true);
}

void Passwords::unprotectPage(const QByteArray& page)
{
    Board& b = m_board;
    if (!b.PagePassBox().PageProtected(page)) {
        inform(b, QStringLiteral("Could not a find Password for this Page!"));
        return;
    }
    const QByteArray stored = b.PagePassBox().GetPagePass(page);
    const QByteArray typed = ask(forPage(page));
    if (typed != stored) {
        inform(b, QString::fromLatin1(kInvalid));
        return;
    }
    b.state().setChecked(MenuItem::MPagePass, false);
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    for (int n = 1; n <= BookmarkFile::kMaxSlots; ++n) {
        BookmarkSlot slot(ini, page, BookmarkFile::SlotKey(n));
        const QByteArray url = slot.url();
        // An address without the mark was never scrambled; deciphering it
        // would blank it.
        if (BookmarkFile::IsProtectedUrl(url))
            slot.setUrl(PassText::Decrypt(url));
    }
    b.PagePassBox().remove(page);
    ini.WriteString(BookmarkFile::kTabs, BookmarkFile::kPagePasswords, b.PagePassBox().WritePagePass());
    batch.commit();
}

bool Passwords::enterPage(const QByteArray& page)
{
    Board& b = m_board;
    if (!b.PagePassBox().PageProtected(page))
        return true;
    b.state().setChecked(MenuItem::MPagePass, true);
    const QByteArray typed = ask(forPage(page));
    if (typed != b.PagePassBox().GetPagePass(page)) {
        inform(b, QString::fromLatin1(kInvalid));
        return false;
    }
    return true;
}

QString Passwords::cannotProtectText(const QString& title)
{
    return QStringLiteral("The address of the bookmark \"%1\" cannot be stored on this password-protected page: "
                          "its scrambled form would not read back whole. Nothing was saved; please shorten "
                          "or change the address.")
        .arg(title);
}

std::optional<QByteArray> Passwords::storedUrl(const QByteArray& page, const QByteArray& url, const QByteArray& title)
{
    Board& b = m_board;
    if (url.isEmpty() || !b.PagePassBox().PageProtected(page))
        return url;
    const QByteArray password = b.PagePassBox().GetPagePass(page);
    if (!PassText::EncryptRoundTrips(url, password)) {
        inform(b, cannotProtectText(AnsiText::toUi(title.isEmpty() ? url : title)));
        return std::nullopt;
    }
    return PassText::Encrypt(url, password);
}

void Passwords::readPagePasswords()
{
    Board& b = m_board;
    TIniFile32 ini(b.store(), b.files().BookmarkFileName());
    b.PagePassBox().ReadPagePass(ini.ReadString(BookmarkFile::kTabs, BookmarkFile::kPagePasswords, {}));
}
