#pragma once

#include <QByteArray>
#include <optional>

class BrowserConversation;
class Prompter;

// TWwwDde: the link to the running browser on its "WWW_" topics, for showing
// an address in the browser's window and asking which page it shows.
class TWwwDde
{
public:
    TWwwDde(BrowserConversation& conversation, Prompter& ui);

    // The browser program; its file name up to the first "." is the service.
    QByteArray ServiceApplication;
    int ReplyTimeout = 1000;

    bool ActivateBrowser();
    bool OpenURL(const QByteArray& address);
    bool GetWindowInfo(QByteArray& title, QByteArray& url);

    std::optional<QByteArray> RequestItem(const QByteArray& item);
    bool CheckReply(const std::optional<QByteArray>& reply);

    QByteArray serviceName() const;
    static QByteArray NormalizeURL(const QByteArray& address);
    // The text after the first StartMark (the start when empty) up to the
    // next EndMark (the end when empty); empty when a mark is missing.
    static QByteArray TextBetween(const QByteArray& text, const QByteArray& startMark,
                                  const QByteArray& endMark);

    static constexpr int kAttempts = 6;

private:
    BrowserConversation& m_conversation;
    Prompter& m_ui;
};
