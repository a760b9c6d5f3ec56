#include "Exchange.h"

#include "Board.h"
#include "MailDialog.h"

Exchange::Exchange(Board& board, Clipboard& clipboard, MailTransport& transport, HttpRequests& http)
    : m_board(board), m_transport(transport), m_userInfo(board, clipboard), m_output(board), m_netscape(board),
      m_favorites(board), m_webImport(board, http, clipboard)
{
    m_board.setMailer(this);
}

Exchange::~Exchange()
{
    if (m_board.mailer() == this)
        m_board.setMailer(nullptr);
}

void Exchange::MailBookmarks(const QByteArray& scope, const QList<MailedBookmark>& workText)
{
    MailDialog dialog(m_board, m_transport);
    dialog.scope = scope;
    dialog.workText = workText;
    dialog.FormShow();
    dialog.FormActivate();
    m_board.ui().mailDialog(dialog);
    dialog.FormClose();
}
