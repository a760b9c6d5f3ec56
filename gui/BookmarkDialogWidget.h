#pragma once

#include <QDialog>

class BookmarkDialog;
class IconLibrary;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QGroupBox;

// TBConfigForm on the screen: shows a BookmarkDialog and calls its handlers.
class BookmarkDialogWidget : public QDialog
{
    Q_OBJECT
public:
    BookmarkDialogWidget(BookmarkDialog& model, IconLibrary& icons, QWidget* parent = nullptr);

private:
    void take();    // the edited texts into the model
    void display(); // the model into the widgets
    void run(bool (BookmarkDialog::*handler)());
    void refresh();

    BookmarkDialog& m_model;
    IconLibrary& m_icons;
    QLabel* m_top;
    QLineEdit* m_title;
    QLineEdit* m_url;
    QLineEdit* m_ip;
    QPlainTextEdit* m_notes;
    QLineEdit* m_extra;
    QPushButton* m_icon;
    QPushButton* m_color;
    QPushButton* m_reset;
    QCheckBox* m_pass;
    QGroupBox* m_launch;
    QCheckBox* m_urlBox;
    QCheckBox* m_ipBox;
    QCheckBox* m_localBox;
    QPushButton* m_save;
    QPushButton* m_move;
    QPushButton* m_copy;
    QPushButton* m_erase;
    QPushButton* m_email;
    QList<QWidget*> m_protectedHidden;
};
