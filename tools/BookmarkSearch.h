#pragma once

#include "BookmarkIndex.h"
#include "TabStyle.h"

#include <QList>
#include <QObject>
#include <QString>

class Board;

// TDupe, "Search Lynkor Bookmarks": finds the bookmarks of every page whose
// link, title or notes hold a text, the bookmarks that share one link, or
// those whose links differ only in ways that name the same page. From the
// result list one bookmark is launched, deleted or edited, or all found ones
// are moved, copied or erased at once. In the text modes the list follows
// the search text as it is typed.
class BookmarkSearch : public QObject
{
    Q_OBJECT
public:
    explicit BookmarkSearch(Board& board);

    // SearchGroup's items, in order.
    enum class Mode { Url, Title, Keyword, Duplicates, Similar };
    static const QStringList& ModeCaptions();
    static constexpr int kHelpContext = 36;
    static constexpr const char* kCaption = "Search Lynkor Bookmarks";

    // A row of the result list: a copy of an index row, or a separator
    // between two groups (empty link and nothing else).
    struct Result
    {
        BookmarkIndex::Row row;
        bool separator = false;
    };

    // What the window shows.
    QString caption = QString::fromLatin1(kCaption);
    Mode mode() const { return m_mode; }
    const QString& text() const { return m_text; }
    bool caseSensitive() const { return m_case; }
    // Edit1 and CaseBox: shown in the text modes.
    bool textVisible() const { return isTextMode(m_mode); }
    bool resultsVisible() const { return m_resultsVisible; }
    const QList<Result>& results() const { return m_results; }
    // Changes whenever the list does.
    int resultsVersion() const { return m_version; }
    // ListView2's hint.
    const QString& hint() const { return m_hint; }
    // A line under the list: how many were found, or that none were.
    const QString& status() const { return m_status; }
    TabStyle colors() const;
    bool indexBuilt() const { return m_index.isBuilt(); }

    static bool isTextMode(Mode mode) { return mode == Mode::Url || mode == Mode::Title || mode == Mode::Keyword; }

    // The window was opened: mode "Title", the list emptied and hidden.
    void FormActivate();
    void SearchGroupClick(Mode mode);
    // Every change of the search text; in the text modes it searches.
    void Edit1Change(const QString& text);
    void CaseBoxClick(bool checked);
    // The search button, or Enter in the search text.
    void SearchButtonClick();
    // The per-row choice: Launch, Delete, Edit or Ignore.
    void ListView2Click(int row);
    // "Move": move, copy or erase every bookmark of the list.
    void MoveBtnClick();
    void HelpBtnClick();
    // Closing: everything back as it was before the first search.
    void CloseBtnClick();

signals:
    void changed();

private:
    void search();
    void emptyResults();
    void fill(const std::vector<int>& rows);
    QString groupsText() const;

    Board& m_board;
    BookmarkIndex m_index;
    Mode m_mode = Mode::Title;
    QString m_text;
    bool m_case = false;
    bool m_resultsVisible = false;
    QList<Result> m_results;
    QString m_hint;
    QString m_status;
    int m_version = 0;
};
