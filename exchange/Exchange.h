#pragma once

#include "FavoritesCommands.h"
#include "Mailer.h"
#include "NetscapeCommands.h"
#include "PageOutput.h"
#include "UserInfo.h"
#include "WebImport.h"

class Board;
class Clipboard;
class HttpRequests;
class MailTransport;

// The import-and-export commands of the main window, built on the board with
// the clipboard, the mail transport and HTTP; it is the board's mailer and
// link importer.
class Exchange : public Mailer
{
public:
    Exchange(Board& board, Clipboard& clipboard, MailTransport& transport, HttpRequests& http);
    ~Exchange() override;

    UserInfo& userInfo() { return m_userInfo; }
    PageOutput& output() { return m_output; }
    NetscapeCommands& netscape() { return m_netscape; }
    FavoritesCommands& favorites() { return m_favorites; }
    WebImport& webImport() { return m_webImport; }

    void MailBookmarks(const QByteArray& scope, const QList<MailedBookmark>& workText) override;

private:
    Board& m_board;
    MailTransport& m_transport;
    UserInfo m_userInfo;
    PageOutput m_output;
    NetscapeCommands m_netscape;
    FavoritesCommands m_favorites;
    WebImport m_webImport;
};
