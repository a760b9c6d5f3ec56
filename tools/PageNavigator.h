#pragma once

#include "TabStyle.h"

#include <QList>
#include <QString>

class Board;

// TNavPage, "Page Navigation": every page by name and number, optionally
// sorted by name; a click goes to the page.
class PageNavigator
{
public:
    explicit PageNavigator(Board& board) : m_board(board) {}

    struct Row
    {
        QString name; // "Page Tab Name"
        int number;   // "Pg.": 1-based place in the tab strip
    };

    QString caption = QStringLiteral("Page Navigation");
    // CheckBox1 "List Page Tabs Alphabetically?", kept while the program runs.
    bool alphabetical = false;
    QList<Row> rows; // PageListView
    // The page the main window shows once the navigator closes (0-based).
    int chosen = 0;
    TabStyle colors;

    // GoPageBtn and "&Go to...".
    void GoPageBtnClick();
    // The window opens: the pages listed.
    void FormActivate();
    void CheckBox1Click(bool checked);
    // A click on the list; true closes the navigator. A row chooses its
    // page by stored number, not by its place in the list.
    bool PageListViewClick(int row);

private:
    Board& m_board;
};
