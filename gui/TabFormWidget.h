#pragma once

#include <QDialog>
#include <QList>

class QGroupBox;
class QCheckBox;
class QPushButton;
class QTreeWidget;
class TabForm;

// TTabForm: the page's commands, its password, and the actions on the
// bookmarks selected in the list. A choice closes the dialog.
class TabFormWidget : public QDialog
{
    Q_OBJECT
public:
    TabFormWidget(TabForm& model, QWidget* parent = nullptr);

    QTreeWidget* bookmarkList() const { return m_list; }

protected:
    void done(int result) override;

private:
    void display();
    void closeIf(bool closes);

    TabForm& m_model;
    QTreeWidget* m_list;
    QGroupBox* m_group2;
    QCheckBox* m_password;
    QList<QPushButton*> m_group2Items;
};
