#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// A conversation with the running browser on one of its "WWW_" topics. Every
// wait is asynchronous: the answer goes to a callback bound to a context
// object, later on the user-interface thread, never inside the call.
class BrowserConversation
{
public:
    using Opened = std::function<void(bool opened)>;
    // The reply's bytes, or nothing when no reply came within the time-out.
    using Reply = std::function<void(const std::optional<QByteArray>& reply)>;

    virtual ~BrowserConversation() = default;

    // The browser program; StartLink may start it when nothing answers.
    virtual void setServiceApplication(const QByteArray& program) = 0;
    // Whether this kind of browser offers the link at all.
    virtual bool canServe(const QByteArray& program) const { return !program.isEmpty(); }
    virtual void SetLink(const QByteArray& service, const QByteArray& topic) = 0;
    // Opens the conversation. When no browser answers and mayStart is set,
    // starts the program and gives it a short while to come up.
    virtual void StartLink(bool mayStart, QObject* context, Opened done) = 0;
    virtual void CloseLink() = 0;
    virtual bool isOpen() const = 0;
    // One request on the open conversation.
    virtual void Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done) = 0;
    // What the user can do when the link cannot read the browser's page.
    virtual QString advice() const { return {}; }
};

// Whether a page a browser shows can be kept as a bookmark: the browser's own
// pages (a new tab, its settings) are no page of the user's.
inline bool isBookmarkablePage(const QString& url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"file" || scheme == u"ftp";
}
