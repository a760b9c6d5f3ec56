#pragma once

#include <QDialog>
#include <QList>

class QLineEdit;
class UserProfile;

// TUserSetup: shows the profile's fields; pressing a label drags its field's
// text into another program.
class UserProfileWidget : public QDialog
{
    Q_OBJECT
public:
    UserProfileWidget(UserProfile& model, QWidget* parent = nullptr);

    QLineEdit* field(int index) const { return m_edits.value(index); }

private:
    void take();
    void dragField(int index);

    UserProfile& m_model;
    QList<QLineEdit*> m_edits;
};
