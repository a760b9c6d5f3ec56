#pragma once

#include <QByteArray>
#include <optional>

// A conversation with the running browser on one of its "WWW_" topics.
class BrowserConversation
{
public:
    virtual ~BrowserConversation() = default;

    // The browser program; StartLink starts it when nothing answers.
    virtual void setServiceApplication(const QByteArray& program) = 0;
    // Whether this kind of browser offers the link at all.
    virtual bool canServe(const QByteArray& program) const { return !program.isEmpty(); }
    virtual void SetLink(const QByteArray& service, const QByteArray& topic) = 0;
    // Opens the conversation; when no browser answers and a program is set,
    // starts it and tries once more.
    virtual bool StartLink() = 0;
    virtual void CloseLink() = 0;
    virtual bool isOpen() const = 0;
    // One request on the open conversation: the reply's bytes, or nothing
    // when no reply came within the time-out.
    virtual std::optional<QByteArray> Request(const QByteArray& item, int timeoutMs) = 0;
};
