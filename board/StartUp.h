#pragma once

#include <QByteArray>
#include <QStringList>

class Board;
class TIniFile32;
struct CommandLine;

// The main window's creation: settings, the bookmark file to open, first-run
// keys, the browser list, and the first page.
class StartUp
{
public:
    explicit StartUp(Board& board) : m_board(board) {}

    // ProgramDir must be set in the board's files before this runs.
    void FormCreate(const QStringList& arguments);

    // The first run after installation: the welcome and the installer copy.
    void NewUser(const QByteArray& installFolder);

    static const QStringList& welcomeLines();

    // A bookmark file named on the command line: a name without a folder is
    // one of the data folder, a relative path is taken from the working folder.
    QByteArray bookmarkArgument(const QByteArray& argument) const;

private:
    void migrateLegacyFiles();
    void recoverDiskCopy(TIniFile32& settings);
    void readOptions(TIniFile32& settings);
    void seedBrowsers(TIniFile32& settings);
    void showBrowsers();
    void readBookmarkFileKeys();

    Board& m_board;
};
