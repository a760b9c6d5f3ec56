#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <vector>

class Board;
class TIniFile32;
struct MailedBookmark;

// "Print Bookmarks", "Export to HTML" and "Email Bookmarks": a range of pages
// as a list of addresses and titles, printed, saved as an HTML file with a
// page index, or handed to the mail dialog.
class PageOutput
{
public:
    explicit PageOutput(Board& board) : m_board(board) {}

    enum class Mode { Print, Html, Email };
    void PrintClick(Mode mode);

    struct Range
    {
        int first = 0;
        int last = 0;
        bool allColors = true;
        int filter = 111;       // the colour a listed bookmark has
        int colorDefault = 111; // the colour of a bookmark without Color
        int slotCount = 80;
    };
    // The lines of a mode over a range, as text. HTML lines escape page
    // names, titles and addresses and begin with the charset the file is
    // written in (UTF-8).
    static QStringList Lines(const TIniFile32& ini, const std::vector<QByteArray>& pages, const Range& range,
                             Mode mode);
    // The bookmarks that "Email Bookmarks" sends over a range.
    static QList<MailedBookmark> Mailed(const TIniFile32& ini, const std::vector<QByteArray>& pages,
                                        const Range& range);

    static constexpr int kHtmlHelpContext = 46;

private:
    Board& m_board;
};
