#include "WwwDde.h"

#include "AnsiText.h"
#include "BrowserConversation.h"
#include "PathNames.h"
#include "Prompter.h"

TWwwDde::TWwwDde(BrowserConversation& conversation, Prompter& ui)
    : m_conversation(conversation), m_ui(ui)
{
}

QByteArray TWwwDde::serviceName() const
{
    const QByteArray name = PathNames::fileName(ServiceApplication);
    const qsizetype dot = name.indexOf('.');
    return dot < 0 ? name : name.left(dot);
}

QByteArray TWwwDde::TextBetween(const QByteArray& text, const QByteArray& startMark,
                                const QByteArray& endMark)
{
    qsizetype restStart = 0;
    if (!startMark.isEmpty()) {
        const qsizetype p = text.indexOf(startMark);
        if (p < 0)
            return {};
        restStart = p + startMark.size();
    }
    const QByteArray rest = text.mid(restStart);
    if (endMark.isEmpty())
        return rest;
    const qsizetype q = rest.indexOf(endMark);
    return q < 0 ? QByteArray() : rest.left(q);
}

QByteArray TWwwDde::NormalizeURL(const QByteArray& address)
{
    QByteArray scheme = TextBetween(address, {}, ":");
    if (!scheme.isEmpty())
        scheme += ':';
    QByteArray host = TextBetween(address, "//", "/");
    if (host.isEmpty())
        host = TextBetween(address, "//", {});
    if (!host.isEmpty())
        host = "//" + host + "/";
    if (address.contains("///"))
        host = "///";
    const QByteArray path = address.mid(scheme.size() + host.size());
    if (scheme.isEmpty())
        scheme = "http:";
    if (host.isEmpty())
        host = "///";
    return scheme.toLower() + host + path;
}

std::optional<QByteArray> TWwwDde::RequestItem(const QByteArray& item)
{
    if (!m_conversation.isOpen())
        return std::nullopt;
    return m_conversation.Request(item, ReplyTimeout);
}

bool TWwwDde::CheckReply(const std::optional<QByteArray>& reply)
{
    if (!reply)
        return false;
    if (!reply->isEmpty() && static_cast<unsigned char>(reply->at(0)) == 0xFF) {
        QString text = QStringLiteral("Error ");
        for (int i = 0; i < 4; ++i) {
            const unsigned char b = i < reply->size() ? static_cast<unsigned char>(reply->at(i)) : 0;
            text += QString::number(b, 16).toUpper();
        }
        m_ui.message(text, Prompter::Type::Error, Prompter::Buttons::Ok);
        return false;
    }
    return true;
}

bool TWwwDde::ActivateBrowser()
{
    // A browser without the link is not an error: the launch starts it anew.
    if (ServiceApplication.isEmpty() || !m_conversation.canServe(ServiceApplication))
        return false;
    m_conversation.setServiceApplication(ServiceApplication);
    const QByteArray service = serviceName();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        m_ui.setCursor(ScreenCursor::HourGlass);
        m_conversation.SetLink(service, "WWW_Activate");
        if (m_conversation.StartLink()) {
            RequestItem("0xFFFFFFFF,0x0");
            m_conversation.CloseLink();
            m_ui.setCursor(ScreenCursor::Default);
            return true;
        }
        m_ui.setCursor(ScreenCursor::Default);
        if (attempt == kAttempts)
            m_ui.message(AnsiText::toUi(ServiceApplication) +
                             QStringLiteral(" could not be found.  Please check the browser configuration "
                                            "under Options."),
                         Prompter::Type::Error, Prompter::Buttons::Ok);
    }
    return false;
}

bool TWwwDde::OpenURL(const QByteArray& address)
{
    if (ServiceApplication.isEmpty())
        return false;
    if (!ActivateBrowser())
        return false;
    m_conversation.SetLink(serviceName(), "WWW_OpenURL");
    if (!m_conversation.StartLink()) {
        m_ui.message(QStringLiteral("Could not open link"), Prompter::Type::Error, Prompter::Buttons::Ok);
        return false;
    }
    const QByteArray item = "\"" + NormalizeURL(address) + "\",,0xFFFFFFFF,0x0,,,,";
    const bool ok = CheckReply(RequestItem(item));
    m_conversation.CloseLink();
    return ok;
}

bool TWwwDde::GetWindowInfo(QByteArray& title, QByteArray& url)
{
    if (ServiceApplication.isEmpty() || !m_conversation.canServe(ServiceApplication))
        return false;
    m_conversation.setServiceApplication(ServiceApplication);
    m_ui.setCursor(ScreenCursor::HourGlass);
    bool result = false;
    m_conversation.SetLink(serviceName(), "WWW_GetWindowInfo");
    if (m_conversation.StartLink()) {
        const std::optional<QByteArray> reply = RequestItem("0xFFFFFFFF");
        if (CheckReply(reply) && !reply->isEmpty()) {
            // The browser answers in UTF-8; the file keeps Windows-1252 when it fits.
            url = AnsiText::fromUi(QString::fromUtf8(TextBetween(*reply, "\"", "\"")));
            QByteArray t = TextBetween(*reply, ",\"", "\"");
            if (t.contains('['))
                t = TextBetween(t, "[", "]");
            title = AnsiText::fromUi(QString::fromUtf8(t));
            result = true;
        }
        m_conversation.CloseLink();
    }
    m_ui.setCursor(ScreenCursor::Default);
    return result;
}
