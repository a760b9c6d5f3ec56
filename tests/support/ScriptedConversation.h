#pragma once

#include "BrowserConversation.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

// A browser conversation answering from a script, and recording every call.
// Its answers come later, as a browser's would, never inside the call.
class ScriptedConversation : public BrowserConversation
{
public:
    QStringList calls;                    // "SetLink service topic", "StartLink", "Request item", "CloseLink"
    QMap<QByteArray, QByteArray> replies; // topic -> reply; a missing topic gives no reply
    int failStarts = 0;                   // StartLink fails this many times first
    bool answers = true;
    bool offersLink = true; // canServe
    int delayMs = 0;        // how long each answer takes
    QByteArray program;

    void setServiceApplication(const QByteArray& p) override { program = p; }
    bool canServe(const QByteArray& p) const override { return offersLink && !p.isEmpty(); }
    void SetLink(const QByteArray& service, const QByteArray& topic) override
    {
        calls << QString::fromLatin1("SetLink " + service + " " + topic);
        m_topic = topic;
    }
    void StartLink(bool mayStart, QObject* context, Opened done) override
    {
        calls << (mayStart ? QStringLiteral("StartLink") : QStringLiteral("StartLink without starting"));
        bool opened = answers;
        if (failStarts > 0) {
            --failStarts;
            opened = false;
        }
        m_open = opened;
        later(context, [done, opened] { done(opened); });
    }
    void CloseLink() override
    {
        calls << QStringLiteral("CloseLink");
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    void Request(const QByteArray& item, int, QObject* context, Reply done) override
    {
        calls << QString::fromLatin1("Request " + item);
        const std::optional<QByteArray> reply =
            replies.contains(m_topic) ? std::optional<QByteArray>(replies.value(m_topic)) : std::nullopt;
        later(context, [done, reply] { done(reply); });
    }
    QString advice() const override { return QStringLiteral("Start the browser with its link."); }

private:
    void later(QObject* context, std::function<void()> f) { QTimer::singleShot(delayMs, context, std::move(f)); }
    QByteArray m_topic;
    bool m_open = false;
};
