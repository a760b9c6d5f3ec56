#pragma once

#include "BrowserConversation.h"

class BrowserBridge;

// The browser conversation through Lynkor's browser extension: the "WWW_"
// topics become requests to the connected browser (the active tab's address
// and title, an address opened in that tab or a new window, the window
// brought forward), with the browser's replies in the form the other
// transports give.
class ExtensionConversation : public BrowserConversation
{
public:
    explicit ExtensionConversation(BrowserBridge& bridge) : m_bridge(bridge) {}

    void setServiceApplication(const QByteArray& program) override { m_program = program; }
    // Any browser, while one is connected.
    bool canServe(const QByteArray& program) const override;
    void SetLink(const QByteArray& service, const QByteArray& topic) override { m_topic = topic; }
    void StartLink(bool mayStart, QObject* context, Opened done) override;
    void CloseLink() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done) override;

    // The connected browser that answers for program: the one of its name
    // when connected ("" for whichever connected last).
    QString browserFor(const QByteArray& program) const;

private:
    BrowserBridge& m_bridge;
    QByteArray m_program;
    QByteArray m_topic;
    bool m_open = false;
};

// The link's transports in order: the extension when a browser with it is
// connected, else the DevTools endpoint (which may start the browser).
class LinkedConversation : public BrowserConversation
{
public:
    LinkedConversation(ExtensionConversation& extension, BrowserConversation& fallback)
        : m_extension(extension), m_fallback(fallback)
    {
    }

    void setServiceApplication(const QByteArray& program) override;
    bool canServe(const QByteArray& program) const override;
    void SetLink(const QByteArray& service, const QByteArray& topic) override;
    void StartLink(bool mayStart, QObject* context, Opened done) override;
    void CloseLink() override { current().CloseLink(); }
    bool isOpen() const override { return current().isOpen(); }
    void Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done) override
    {
        current().Request(item, timeoutMs, context, std::move(done));
    }
    QString advice() const override;

private:
    BrowserConversation& current() const
    {
        return m_usingExtension ? static_cast<BrowserConversation&>(m_extension) : m_fallback;
    }

    ExtensionConversation& m_extension;
    BrowserConversation& m_fallback;
    QByteArray m_program;
    bool m_usingExtension = false;
};
