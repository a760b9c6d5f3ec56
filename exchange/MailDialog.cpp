#include "MailDialog.h"

#include "AnsiText.h"
#include "Board.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "MailText.h"
#include "PathNames.h"
#include "UserProfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr const char* kAddress = "Address";
constexpr const char* kCommentFont = "CommentFont";

QString notSingle(const QString& address)
{
    return QStringLiteral("\"%1\" is not a single e-mail address: type one address, such as name@example.com.")
        .arg(address);
}

bool lessNoCase(const QString& a, const QString& b)
{
    return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
}

} // namespace

MailDialog::MailDialog(Board& board, MailTransport& transport) : m_board(board), m_transport(transport)
{
    m_wait.setInterval(1000);
    connect(&m_wait, &QTimer::timeout, this, [this] {
        if (m_waitStep < kWaitSteps)
            ++m_waitStep;
        emit changed();
    });
}

MailDialog::~MailDialog()
{
    if (m_sending)
        m_transport.cancel(m_job);
}

const QStringList& MailDialog::BookmarkChoices()
{
    static const QStringList items{QStringLiteral("Do not send bookmarks."), QStringLiteral("Send a single bookmark."),
                                   QStringLiteral("Send groups of bookmarks."),
                                   QStringLiteral("Send bookmarks from current page.")};
    return items;
}

int MailDialog::scopeChoice() const
{
    if (scope == "One")
        return 1;
    if (scope == "All")
        return 2;
    if (scope == "Page")
        return 3;
    return 0;
}

void MailDialog::FormShow()
{
    caption = QStringLiteral(" E-Mail Options - [ %1 ]").arg(AnsiText::toUi(m_board.files().SettingsStem()));
    comments.clear();
    subject = QStringLiteral("Bookmarks");
    m_addressFile = m_board.files().userFilePath();
    TIniFile32 ini(m_board.store(), m_addressFile);
    commentFont.name = AnsiText::toUi(ini.ReadString(kCommentFont, "Name", "Arial"));
    commentFont.size = ini.ReadInteger(kCommentFont, "Size", 10);
    readAddresses();
}

void MailDialog::FormActivate()
{
    colors = m_board.state().tabStyle();
    bookmarkChoice = scopeChoice();
    emit changed();
}

void MailDialog::readAddresses()
{
    addresses.clear();
    TIniFile32 ini(m_board.store(), m_addressFile);
    const int count = ini.ReadInteger(kAddress, "Count", 0);
    for (int i = 1; i <= count; ++i) {
        const QString address = AnsiText::toUi(ini.ReadString(kAddress, QByteArray::number(i), {}));
        if (!address.isEmpty() && !addresses.contains(address, Qt::CaseInsensitive))
            addresses << address;
    }
    std::sort(addresses.begin(), addresses.end(), lessNoCase);
}

void MailDialog::SaveAddresses(bool erase)
{
    IniBatch batch(m_board.store(), m_addressFile);
    TIniFile32 ini(m_board.store(), m_addressFile);
    if (erase)
        ini.EraseSection(kAddress);
    ini.WriteInteger(kAddress, "Count", int(addresses.size()));
    for (int i = 0; i < addresses.size(); ++i)
        ini.WriteString(kAddress, QByteArray::number(i + 1), AnsiText::fromUi(addresses[i]));
    batch.commit();
}

bool MailDialog::refuse(const QString& text)
{
    m_board.ui().message(text, Prompter::Type::Information, Prompter::Buttons::Ok);
    return false;
}

bool MailDialog::CheckAddress()
{
    if (addresses.contains(recipient, Qt::CaseInsensitive))
        return false;
    addresses << recipient;
    std::sort(addresses.begin(), addresses.end(), lessNoCase);
    SaveAddresses(false);
    emit changed();
    return true;
}

void MailDialog::Edit1KeyDown(int key)
{
    const QString typed = recipient.trimmed();
    if (key == kInsertKey) {
        if (typed.isEmpty())
            return;
        if (!MailText::isSingleAddress(typed)) {
            refuse(notSingle(typed));
            return;
        }
        recipient = typed;
        if (CheckAddress())
            m_board.ui().beep();
    } else if (key == kDeleteKey) {
        const auto at = std::find_if(addresses.begin(), addresses.end(),
                                     [&](const QString& a) { return a.compare(typed, Qt::CaseInsensitive) == 0; });
        if (at == addresses.end())
            return;
        addresses.erase(at);
        recipient.clear();
        m_board.ui().beep();
        SaveAddresses(true);
        emit changed();
    }
}

void MailDialog::EGroupClick()
{
    FileRequest request;
    request.title = QStringLiteral("Select an E-Mail Group");
    request.filter = QStringLiteral("E-Mail Groups|*.use");
    request.startFolder = PathNames::toQt(m_board.files().ProgramDir());
    request.helpContext = kGroupHelpContext;
    QString chosen = m_board.ui().openFile(request);
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty() && !QFileInfo::exists(chosen))
        chosen += QStringLiteral(".use");
    m_addressFile = PathNames::fromQt(chosen);
    caption = QStringLiteral(" E-Mail Options - [ %1 ]").arg(QFileInfo(chosen).completeBaseName());
    readAddresses();
    emit changed();
}

void MailDialog::Memo1MouseDown()
{
    const std::optional<FontChoice> chosen = m_board.ui().font(commentFont);
    if (!chosen)
        return;
    commentFont.name = chosen->name;
    commentFont.size = chosen->size;
    IniBatch batch(m_board.store(), m_addressFile);
    TIniFile32 ini(m_board.store(), m_addressFile);
    ini.WriteString(kCommentFont, "Name", AnsiText::fromUi(commentFont.name));
    ini.WriteInteger(kCommentFont, "Size", commentFont.size);
    batch.commit();
    emit changed();
}

void MailDialog::BMGroupClick(int index)
{
    // Only "Do not send bookmarks." or the caller's kind can be chosen.
    bookmarkChoice = index == 0 ? 0 : scopeChoice();
    emit changed();
}

void MailDialog::HelpClick()
{
    m_board.ui().showHelp(kHelpContext);
}

QStringList MailDialog::bodyLines() const
{
    QString text = comments;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = comments.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    lines << QStringLiteral(" ");
    return lines;
}

QList<MailText::Link> MailDialog::links() const
{
    QList<MailText::Link> out;
    for (const MailedBookmark& b : workText)
        out << MailText::Link{AnsiText::toUi(b.url), AnsiText::toUi(b.title)};
    return out;
}

QStringList MailDialog::bookmarkLines() const
{
    QStringList out;
    for (const MailText::Link& link : links())
        out << MailText::PlainLine(link);
    return out;
}

void MailDialog::Button1Click()
{
    if (m_sending)
        return;
    recipient = recipient.trimmed();
    if (!includeAll && recipient.isEmpty()) {
        refuse(QStringLiteral("Please type the e-mail address to send to."));
        return;
    }
    // With every address included, a typed one joins the list first.
    if (!recipient.isEmpty() && !MailText::isSingleAddress(recipient)) {
        refuse(notSingle(recipient));
        return;
    }
    if (MailText::hasLineBreak(subject)) {
        refuse(QStringLiteral("The subject must be a single line."));
        return;
    }
    if (!recipient.isEmpty())
        CheckAddress();
    if (includeAll) {
        if (addresses.isEmpty()) {
            refuse(QStringLiteral("The address list is empty."));
            return;
        }
        for (const QString& a : std::as_const(addresses))
            if (!MailText::isSingleAddress(a)) {
                refuse(notSingle(a) + QStringLiteral(" Please delete it from the list."));
                return;
            }
    }

    {
        TIniFile32 ini(m_board.store(), m_board.files().userFilePath());
        m_sender = ini.ReadString(UserProfile::kSection, "Email", {}).trimmed();
        m_server = ini.ReadString(UserProfile::kSection, "MailS", {}).trimmed();
    }
    if (m_sender.isEmpty()) {
        m_board.ui().message(QStringLiteral("You need to include your e-mail address in your user information"),
                             Prompter::Type::Information, Prompter::Buttons::OkHelp, kHelpContext);
        return;
    }
    if (m_server.isEmpty()) {
        m_board.ui().message(QStringLiteral("You need to have a mail server listed in your user information"),
                             Prompter::Type::Information, Prompter::Buttons::OkHelp, kHelpContext);
        return;
    }
    if (!MailText::isSingleAddress(AnsiText::toUi(m_sender))) {
        refuse(QStringLiteral("Your e-mail address in your user information, \"%1\", is not a single e-mail "
                              "address.")
                   .arg(AnsiText::toUi(m_sender)));
        return;
    }

    m_lines = bodyLines();
    m_links = bookmarkChoice != 0 ? links() : QList<MailText::Link>();
    m_queue = includeAll ? addresses : QStringList{recipient};
    m_sentTo.clear();
    m_failures.clear();
    m_sending = true;
    m_waitStep = 0;
    m_wait.start();
    emit changed();
    sendNext();
}

void MailDialog::sendNext()
{
    m_current = m_queue.takeFirst();
    MailText::Message message;
    message.from = AnsiText::toUi(m_sender);
    message.to = m_current;
    message.subject = subject;
    message.lines = m_lines;
    message.links = m_links;
    message.date = QDateTime::currentDateTime();
    SmtpJob job;
    job.server = m_server;
    job.sender = m_sender;
    job.recipient = m_current.toLatin1();
    job.message = MailText::Compose(message);
    job.replyTimeoutSeconds = replyTimeoutSeconds;
    job.totalTimeoutSeconds = std::max(kWaitSteps, replyTimeoutSeconds * 4);
    m_job = m_transport.send(
        job, this, [this](const SmtpResult& result) { m_board.deliver([this, result] { finished(result); }); });
}

void MailDialog::finished(const SmtpResult& result)
{
    if (result.sent)
        m_sentTo << m_current;
    else
        m_failures << QStringLiteral("%1: %2").arg(m_current, result.error);
    if (!m_queue.isEmpty()) {
        sendNext();
        return;
    }
    endSending();
    if (m_failures.isEmpty()) {
        const QString to =
            m_sentTo.size() == 1 ? m_sentTo.first() : QStringLiteral("%1 addresses").arg(m_sentTo.size());
        m_board.ui().message(QStringLiteral("The e-mail was sent to %1.").arg(to), Prompter::Type::Information,
                             Prompter::Buttons::Ok);
        emit closeRequested();
        return;
    }
    QString text = QStringLiteral("The e-mail could not be sent.\n\n") + m_failures.join(QLatin1Char('\n'));
    if (!m_sentTo.isEmpty())
        text += QStringLiteral("\n\nIt was sent to: ") + m_sentTo.join(QStringLiteral(", "));
    m_board.ui().message(text, Prompter::Type::Error, Prompter::Buttons::Ok);
}

void MailDialog::endSending()
{
    m_sending = false;
    m_wait.stop();
    m_waitStep = 0;
    m_job = 0;
    m_queue.clear();
    emit changed();
}

void MailDialog::cancelSending()
{
    if (!m_sending)
        return;
    m_transport.cancel(m_job);
    endSending();
    QString text = QStringLiteral("Sending was cancelled.");
    if (!m_sentTo.isEmpty())
        text += QStringLiteral(" It had been sent to: ") + m_sentTo.join(QStringLiteral(", "));
    m_board.ui().message(text, Prompter::Type::Information, Prompter::Buttons::Ok);
}

void MailDialog::CloseButtonClick()
{
    if (m_sending) {
        m_transport.cancel(m_job);
        endSending();
    }
    emit closeRequested();
}

void MailDialog::FormClose()
{
    includeAll = false;
}
