#pragma once

#include <QString>

class Board;

// "Connect Browsers" (Browsers menu): registers Lynkor's browser host with
// every browser of the user (Chromium, Chrome, Brave, Edge, Vivaldi,
// Firefox), then says how to add the extension, from where.
class BrowserConnect
{
public:
    // hostPath: lynkor-browser-host; extensionFolder: the folder holding the
    // extension's "chromium" and "firefox" folders.
    BrowserConnect(Board& board, QString hostPath, QString extensionFolder, QString home, QString configHome)
        : m_board(board), m_hostPath(std::move(hostPath)), m_extensionFolder(std::move(extensionFolder)),
          m_home(std::move(home)), m_configHome(std::move(configHome))
    {
    }

    void MConnectBrowsersClick();

    static constexpr int kHelpContext = 82;

private:
    Board& m_board;
    QString m_hostPath;
    QString m_extensionFolder;
    QString m_home;
    QString m_configHome;
};
