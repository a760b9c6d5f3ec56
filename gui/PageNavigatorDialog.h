#pragma once

#include <QDialog>

class PageNavigator;
class QCheckBox;
class QTreeWidget;

// TNavPage: the pages by name and number; a click (or Enter) on a row goes
// to its page.
class PageNavigatorDialog : public QDialog
{
    Q_OBJECT
public:
    PageNavigatorDialog(PageNavigator& navigator, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }

private:
    void fill();

    PageNavigator& m_model;
    QCheckBox* m_sorted;
    QTreeWidget* m_list;
};
