#pragma once

#include <QWidget>
#include <functional>

class BookmarkSearch;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeView;
class SearchResultsModel;

// TDupe, "Search Lynkor Bookmarks": not modal. It shows the search's state;
// every control runs as a command of the board.
class SearchWindow : public QWidget
{
    Q_OBJECT
public:
    using Dispatch = std::function<void(const std::function<void()>&)>;
    SearchWindow(BookmarkSearch& search, Dispatch dispatch, QWidget* parent = nullptr);

    // Shows the window afresh (mode "Title", nothing listed) with the
    // keyboard in the search text.
    void open();

    QLineEdit* searchText() const { return m_text; }
    QTreeView* resultList() const { return m_list; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void render();
    void rowChosen(int row);

    BookmarkSearch& m_search;
    Dispatch m_dispatch;
    QList<QRadioButton*> m_modes;
    QLineEdit* m_text;
    QCheckBox* m_case;
    QTreeView* m_list;
    SearchResultsModel* m_model;
    QLabel* m_status;
    int m_shownResults = -1;
};
