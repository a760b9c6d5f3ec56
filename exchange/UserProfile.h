#pragma once

#include "TabStyle.h"

#include <QString>
#include <QStringList>
#include <array>

class ProgramFiles;

// TUserSetup ("User Profile"): the sixteen fields of the user file's User
// section, as the dialog shows and saves them.
class UserProfile
{
public:
    struct Field
    {
        const char* key;         // key of section User; also the tray entry's name
        const char* label;       // the dialog's label
        const char* trayCaption; // "Copy '...' to Clipboard", "" for none
    };
    static constexpr int kCount = 16;
    static const std::array<Field, kCount>& Fields();
    static constexpr int kEmail = 11;
    static constexpr int kUrl = 12;
    static constexpr int kMailServer = 15;
    static constexpr const char* kSection = "User";
    // What "Your URL" shows until an address is saved.
    static constexpr const char* kUrlProposal = "http://";

    explicit UserProfile(ProgramFiles& files) : m_files(files) {}

    QStringList values; // in the order of Fields()
    TabStyle colors;    // the dialog takes the page tabs' colours

    // Fills the fields from the user file.
    void FormActivate();
    // "Save": the sixteen fields go to the user file in one write; true closes.
    bool SpeedButton1Click();
    // A press on a label drags its field's text out of the dialog.
    QString Label1MouseDown(int index) const;

private:
    ProgramFiles& m_files;
};
