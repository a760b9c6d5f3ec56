#pragma once

#include "BrowserConversation.h"
#include "ProcessStarter.h"

#include <QList>
#include <QMap>
#include <QStringList>

// A browser conversation answering from a script, and recording every call.
class ScriptedConversation : public BrowserConversation
{
public:
    QStringList calls;                   // "SetLink service topic", "StartLink", "Request item", "CloseLink"
    QMap<QByteArray, QByteArray> replies; // topic -> reply; a missing topic gives no reply
    int failStarts = 0;                  // StartLink fails this many times first
    bool answers = true;
    QByteArray program;

    void setServiceApplication(const QByteArray& p) override { program = p; }
    void SetLink(const QByteArray& service, const QByteArray& topic) override
    {
        calls << QString::fromLatin1("SetLink " + service + " " + topic);
        m_topic = topic;
    }
    bool StartLink() override
    {
        calls << QStringLiteral("StartLink");
        if (failStarts > 0) {
            --failStarts;
            return false;
        }
        m_open = answers;
        return m_open;
    }
    void CloseLink() override
    {
        calls << QStringLiteral("CloseLink");
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    std::optional<QByteArray> Request(const QByteArray& item, int) override
    {
        calls << QString::fromLatin1("Request " + item);
        if (!replies.contains(m_topic))
            return std::nullopt;
        return replies.value(m_topic);
    }

private:
    QByteArray m_topic;
    bool m_open = false;
};

// Records the processes and documents it is asked to start.
class RecordingStarter : public ProcessStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString folder;
        QString identifier;
    };
    QList<Start> starts;
    QStringList documents;

    Result start(const QString& program, const QStringList& arguments, const QString& folder,
                 const QString& identifier) override
    {
        starts.push_back({program, arguments, folder, identifier});
        return {true, {}};
    }
    Result openDocument(const QString& target) override
    {
        documents << target;
        return {true, {}};
    }
};
