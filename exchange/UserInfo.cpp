#include "UserInfo.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkSlot.h"
#include "Clipboard.h"
#include "IniFiles32.h"
#include "NotesText.h"
#include "UserProfile.h"

#include <QDir>
#include <QFile>

void UserInfo::UserButton1Click()
{
    Board& b = m_board;
    UserProfile profile(b.files());
    profile.colors = b.state().tabStyle();
    profile.FormActivate();
    b.ui().userProfile(profile);
}

void UserInfo::copy(const QString& text)
{
    // An empty value leaves the clipboard empty.
    m_clipboard.clear();
    if (!text.isEmpty())
        m_clipboard.setText(text);
}

void UserInfo::FirstClick(const QByteArray& name)
{
    ProgramFiles& files = m_board.files();
    TIniFile32 ini(files.store(), files.userFilePath());
    const QByteArray section = UserProfile::kSection;
    const QByteArray value = name == "Full"
                                 ? ini.ReadString(section, "First", {}) + " " + ini.ReadString(section, "Last", {})
                                 : ini.ReadString(section, name, {});
    copy(AnsiText::toUi(value));
}

void UserInfo::UserID1Click(const QByteArray& name)
{
    Board& b = m_board;
    const QByteArray button = b.vars().CurrentButton;
    QByteArray value;
    if (button.size() >= 3) {
        TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        const BookmarkSlot slot(ini, b.state().currentPage(), button.mid(1, 2));
        value = name == "WebPass" ? slot.extraInfo() : NotesText::AddReturn(slot.notes());
    }
    copy(AnsiText::toUi(value));
}

void UserInfo::TextClick()
{
    Board& b = m_board;
    FileRequest request;
    request.title = QStringLiteral("Select Text File");
    request.filter = QStringLiteral("Text Files|*.txt|All Files|*.*");
    request.startFolder = QDir::homePath();
    const QString chosen = b.ui().openFile(request);
    if (chosen.isEmpty())
        return;
    QFile file(chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        b.ui().message(QStringLiteral("The file \"%1\" cannot be read: %2").arg(chosen, file.errorString()),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
        return;
    }
    if (file.size() > kMaxTextFile) {
        b.ui().message(QStringLiteral("The file \"%1\" is too large for the clipboard (more than %2 MB).")
                           .arg(chosen)
                           .arg(kMaxTextFile / (1024 * 1024)),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    copy(AnsiText::toUi(file.readAll()));
}
