#include "BrowserConnect.h"

#include "Board.h"
#include "MessagingHosts.h"

#include <QFileInfo>

void BrowserConnect::MConnectBrowsersClick()
{
    Board& b = m_board;
    if (!QFileInfo(m_hostPath).isExecutable()) {
        b.ui().message(QStringLiteral("Lynkor's browser host (%1) is missing, so no browser can be connected. "
                                      "Install Lynkor again.")
                           .arg(m_hostPath),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
        return;
    }
    const MessagingHosts::Result r = MessagingHosts::install(m_hostPath, m_home, m_configHome);
    QString text;
    if (!r.written.isEmpty())
        text = QStringLiteral("Lynkor's browser link is set up for %1.\n\n").arg(r.written.join(QStringLiteral(", ")));
    if (!r.failed.isEmpty())
        text += QStringLiteral("It could not be set up for: %1.\n\n").arg(r.failed.join(QStringLiteral("; ")));
    text += QStringLiteral(
                "To finish, add Lynkor's extension to your browser once:\n"
                "- Chromium, Chrome, Brave, Edge, Vivaldi: open the browser's extensions page, switch on Developer "
                "mode, choose \"Load unpacked\" and pick the folder\n  %1/chromium\n"
                "- Firefox: open about:debugging, \"This Firefox\", \"Load Temporary Add-on...\" and pick\n  "
                "%1/firefox/manifest.json\n\n"
                "The Browsers menu then lists the browser as connected. The extension only tells Lynkor the address "
                "and title of the page you look at, and opens Lynkor's bookmarks.")
                .arg(m_extensionFolder);
    const QString off = b.state().browserLinkOff();
    if (!off.isEmpty())
        text += QStringLiteral("\n\nBut no browser can connect to this Lynkor now: %1.").arg(off);
    b.ui().message(text, r.failed.isEmpty() && off.isEmpty() ? Prompter::Type::Information : Prompter::Type::Warning,
                   Prompter::Buttons::OkHelp, kHelpContext);
}
