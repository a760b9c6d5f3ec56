#include "WwwDde.h"

#include "AnsiText.h"
#include "BrowserConversation.h"
#include "PathNames.h"
#include "Prompter.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

TWwwDde::TWwwDde(BrowserConversation& conversation, Prompter& ui) : m_conversation(conversation), m_ui(ui) {}

QByteArray TWwwDde::serviceName() const
{
    const QByteArray name = PathNames::fileName(ServiceApplication);
    const qsizetype dot = name.indexOf('.');
    return dot < 0 ? name : name.left(dot);
}

QByteArray TWwwDde::TextBetween(const QByteArray& text, const QByteArray& startMark, const QByteArray& endMark)
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

void TWwwDde::RequestItem(const QByteArray& item, QObject* context, Reply done)
{
    if (!m_conversation.isOpen()) {
        QTimer::singleShot(0, context, [done] { done(std::nullopt); });
        return;
    }
    m_conversation.Request(item, ReplyTimeout, context, std::move(done));
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

void TWwwDde::activateAttempt(int attempt, qint64 startedAt, QObject* context, Done done)
{
    m_conversation.SetLink(serviceName(), "WWW_Activate");
    m_conversation.StartLink(true, context, [=, this](bool opened) {
        if (opened) {
            RequestItem("0xFFFFFFFF,0x0", context, [=, this](const std::optional<QByteArray>&) {
                m_conversation.CloseLink();
                done(true);
            });
            return;
        }
        const bool late = QDateTime::currentMSecsSinceEpoch() - startedAt >= ActivateWithinMs;
        if (attempt < kAttempts && !late) {
            activateAttempt(attempt + 1, startedAt, context, done);
            return;
        }
        m_ui.message(AnsiText::toUi(ServiceApplication) +
                         QStringLiteral(" could not be found.  Please check the browser configuration "
                                        "under Options."),
                     Prompter::Type::Error, Prompter::Buttons::Ok);
        done(false);
    });
}

void TWwwDde::ActivateBrowser(QObject* context, Done done)
{
    // A browser without the link is not an error: the launch starts it anew.
    if (ServiceApplication.isEmpty() || !m_conversation.canServe(ServiceApplication)) {
        QTimer::singleShot(0, context, [done] { done(false); });
        return;
    }
    m_conversation.setServiceApplication(ServiceApplication);
    activateAttempt(1, QDateTime::currentMSecsSinceEpoch(), context, std::move(done));
}

void TWwwDde::OpenURL(const QByteArray& address, QObject* context, Done done)
{
    if (ServiceApplication.isEmpty()) {
        QTimer::singleShot(0, context, [done] { done(false); });
        return;
    }
    ActivateBrowser(context, [=, this](bool active) {
        if (!active) {
            done(false);
            return;
        }
        m_conversation.SetLink(serviceName(), "WWW_OpenURL");
        m_conversation.StartLink(true, context, [=, this](bool opened) {
            if (!opened) {
                m_ui.message(QStringLiteral("Could not open link"), Prompter::Type::Error, Prompter::Buttons::Ok);
                done(false);
                return;
            }
            const QByteArray item = "\"" + NormalizeURL(address) + "\",,0xFFFFFFFF,0x0,,,,";
            RequestItem(item, context, [=, this](const std::optional<QByteArray>& reply) {
                const bool ok = CheckReply(reply);
                m_conversation.CloseLink();
                done(ok);
            });
        });
    });
}

void TWwwDde::GetWindowInfo(QObject* context, WindowInfo done)
{
    // Whatever the program is called (a wrapper script, a build of its own),
    // what answers on the link decides: asking starts nothing.
    if (ServiceApplication.isEmpty()) {
        QTimer::singleShot(0, context, [done] { done(false, {}, {}); });
        return;
    }
    m_conversation.setServiceApplication(ServiceApplication);
    m_conversation.SetLink(serviceName(), "WWW_GetWindowInfo");
    m_conversation.StartLink(false, context, [=, this](bool opened) {
        if (!opened) {
            done(false, {}, {});
            return;
        }
        RequestItem("0xFFFFFFFF", context, [=, this](const std::optional<QByteArray>& reply) {
            m_conversation.CloseLink();
            if (!CheckReply(reply) || reply->isEmpty()) {
                done(false, {}, {});
                return;
            }
            const QByteArray rawUrl = TextBetween(*reply, "\"", "\"");
            if (!isBookmarkablePage(QString::fromUtf8(rawUrl))) {
                done(false, {}, {});
                return;
            }
            // The browser answers in UTF-8; the file keeps Windows-1252 when it fits.
            const QByteArray url = AnsiText::oneLine(AnsiText::fromUi(QString::fromUtf8(rawUrl)));
            QByteArray t = TextBetween(*reply, ",\"", "\"");
            if (t.contains('['))
                t = TextBetween(t, "[", "]");
            // A page's title is the page's to choose: one line here, whatever it holds.
            done(true, AnsiText::oneLine(AnsiText::fromUi(QString::fromUtf8(t))), url);
        });
    });
}
