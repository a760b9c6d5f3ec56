#pragma once

#include <QDialog>

class InternetSearch;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// TSearchForm: the search sites, the topic, and the buttons that search,
// learn, rename and delete sites and switch search-site files.
class InternetSearchWidget : public QDialog
{
    Q_OBJECT
public:
    InternetSearchWidget(InternetSearch& model, QWidget* parent = nullptr);

    QTreeWidget* siteList() const { return m_list; }

private:
    void display();

    InternetSearch& m_model;
    QTreeWidget* m_list;
    QLabel* m_count;
    QLabel* m_topicLabel;
    QLineEdit* m_topic;
    QLabel* m_nameLabel;
    QLineEdit* m_name;
    QPushButton* m_search;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_rename;
    QPushButton* m_new;
    QPushButton* m_load;
    QPushButton* m_merge;
    QPushButton* m_save;
    bool m_filling = false;
};
