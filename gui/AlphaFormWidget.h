#pragma once

#include <QDialog>
#include <QList>

class AlphaForm;
class QLabel;
class QRadioButton;
class QTreeWidget;

// TAlphaForm: the pages to choose from and the colour filter; the action
// button closes it with the range chosen.
class AlphaFormWidget : public QDialog
{
    Q_OBJECT
public:
    AlphaFormWidget(AlphaForm& model, QWidget* parent = nullptr);

    QTreeWidget* pageList() const { return m_list; }

private:
    void display();

    AlphaForm& m_model;
    QTreeWidget* m_list;
    QList<QRadioButton*> m_colors;
};
