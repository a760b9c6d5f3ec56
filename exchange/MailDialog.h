#pragma once

#include "FontChoice.h"
#include "MailText.h"
#include "MailTransport.h"
#include "Mailer.h"
#include "TabStyle.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class Board;

// TEForm ("E-Mail Bookmarks / Comments / Files"): the mail dialog's state and
// control handlers. The caller sets the mail scope and the work text; the
// window shows the fields and calls the handlers. Sending runs in the
// background: the dialog stays usable for Cancel while the wait indicator
// counts, and closes itself once every message was taken by the server.
class MailDialog : public QObject
{
    Q_OBJECT
public:
    MailDialog(Board& board, MailTransport& transport);
    // A message still on its way is cancelled.
    ~MailDialog() override;

    // Set by the caller: "One", "Page" or "All", and the bookmarks.
    QByteArray scope;
    QList<MailedBookmark> workText;

    // Shown state; the window writes back what the user edits.
    QString caption;
    QStringList addresses; // Edit1's list, sorted
    QString recipient;     // Edit1's text
    QString subject;       // Edit2
    QString comments;      // Memo1, lines separated by "\n"
    bool includeAll = false;
    int bookmarkChoice = 0; // BMGroup
    FontChoice commentFont;
    TabStyle colors;

    static const QStringList& BookmarkChoices();
    static constexpr int kHelpContext = 56;
    static constexpr int kGroupHelpContext = 73;
    static constexpr int kWaitSteps = 60;
    static constexpr int kInsertKey = 45;
    static constexpr int kDeleteKey = 46;
    // How long the server may take for one reply.
    int replyTimeoutSeconds = 15;

    bool sending() const { return m_sending; }
    // Seconds counted by the wait indicator (0 .. kWaitSteps).
    int waitStep() const { return m_waitStep; }
    // The bookmarks as the message's text lists them.
    QStringList bookmarkLines() const;
    // The messages the server took during the last "Send E-Mail".
    const QStringList& sentTo() const { return m_sentTo; }
    QByteArray addressFile() const { return m_addressFile; }

    void FormShow();
    void FormActivate();
    // "Send E-Mail".
    void Button1Click();
    // Insert adds the typed address, Delete removes it.
    void Edit1KeyDown(int key);
    // "Load": an e-mail group becomes the address list.
    void EGroupClick();
    // A right-click on the comment box: its font.
    void Memo1MouseDown();
    void BMGroupClick(int index);
    void CloseButtonClick();
    void HelpClick();
    // Stops sending; what was sent stays sent.
    void cancelSending();
    void FormClose();

signals:
    void changed();
    void closeRequested();

private:
    int scopeChoice() const;
    void readAddresses();
    // Address/Count and the keys 1 .. Count, in list order; erase first
    // when an address was removed.
    void SaveAddresses(bool erase);
    bool CheckAddress();
    bool refuse(const QString& text);
    QStringList bodyLines() const;
    QList<MailText::Link> links() const;
    void sendNext();
    void finished(const SmtpResult& result);
    void endSending();

    Board& m_board;
    MailTransport& m_transport;
    QByteArray m_addressFile;
    bool m_sending = false;
    int m_waitStep = 0;
    QTimer m_wait;
    quint64 m_job = 0;
    QStringList m_queue;
    QString m_current;
    QByteArray m_sender;
    QByteArray m_server;
    QStringList m_lines;
    QList<MailText::Link> m_links;
    QStringList m_sentTo;
    QStringList m_failures;
};
