#pragma once

#include <QByteArray>
#include <functional>
#include <optional>

class BrowserConversation;
class Prompter;
class QObject;

// TWwwDde: the link to the running browser on its "WWW_" topics, for showing
// an address in the browser's window and asking which page it shows. Every
// operation answers through a callback bound to a context object, later on
// the user-interface thread; the window keeps working meanwhile.
class TWwwDde
{
public:
    using Done = std::function<void(bool ok)>;
    using WindowInfo = std::function<void(bool ok, const QByteArray& title, const QByteArray& url)>;
    using Reply = std::function<void(const std::optional<QByteArray>& reply)>;

    TWwwDde(BrowserConversation& conversation, Prompter& ui);

    // The browser program; its file name up to the first "." is the service.
    QByteArray ServiceApplication;
    int ReplyTimeout = 1000;
    // However many attempts are left, activating gives up after this long.
    int ActivateWithinMs = 5000;

    void ActivateBrowser(QObject* context, Done done);
    void OpenURL(const QByteArray& address, QObject* context, Done done);
    // Never starts the browser: a browser started now shows no page of the
    // user's. Whatever answers on the link is asked, whatever the program's name.
    void GetWindowInfo(QObject* context, WindowInfo done);

    void RequestItem(const QByteArray& item, QObject* context, Reply done);
    bool CheckReply(const std::optional<QByteArray>& reply);

    QByteArray serviceName() const;
    static QByteArray NormalizeURL(const QByteArray& address);
    // The text after the first StartMark (the start when empty) up to the
    // next EndMark (the end when empty); empty when a mark is missing.
    static QByteArray TextBetween(const QByteArray& text, const QByteArray& startMark, const QByteArray& endMark);

    static constexpr int kAttempts = 6;

private:
    void activateAttempt(int attempt, qint64 startedAt, QObject* context, Done done);

    BrowserConversation& m_conversation;
    Prompter& m_ui;
};
