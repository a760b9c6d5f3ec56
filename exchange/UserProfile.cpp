#include "UserProfile.h"

#include "AnsiText.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "ProgramFiles.h"

const std::array<UserProfile::Field, UserProfile::kCount>& UserProfile::Fields()
{
    static const std::array<Field, kCount> fields{{
        {"First", "First Name", "Copy 'First Name' to Clipboard"},
        {"Last", "Last Name", "Copy 'Last Name' to Clipboard"},
        {"Company", "Company Name", "Copy 'Company Name' to Clipboard"},
        {"Address1", "Address 1", "Copy 'Address1' to Clipboard"},
        {"Address2", "Address 2", "Copy 'Address2' to Clipboard"},
        {"City", "City / Town", "Copy 'City' to Clipboard"},
        {"State", "State / Province", "Copy 'State/Province' to Clipboard"},
        {"Zip", "Postal Code", "Copy 'Postal Code' to Clipboard"},
        {"Country", "Country", "Copy 'Country' to Clipboard"},
        {"Phone", "Phone Number", "Copy 'Phone #' to Clipboard"},
        {"Fax", "Fax Number", "Copy 'Fax #' to Clipboard"},
        {"Email", "E-Mail Address", "Copy 'E-Mail Address' to Clipboard"},
        {"URL", "Your URL", "Copy 'Your URL' to Clipboard"},
        {"Other", "Other Info", "Copy 'Other' to Clipboard"},
        {"Misc", "Miscellaneous.", "Copy 'Misc' to Clipboard"},
        {"MailS", "Mail Server", ""},
    }};
    return fields;
}

void UserProfile::FormActivate()
{
    values.clear();
    TIniFile32 ini(m_files.store(), m_files.userFilePath());
    for (int i = 0; i < kCount; ++i) {
        const QByteArray proposal = i == kUrl ? QByteArray(kUrlProposal) : QByteArray();
        values << AnsiText::toUi(ini.ReadString(kSection, Fields()[i].key, proposal));
    }
}

bool UserProfile::SpeedButton1Click()
{
    const QByteArray path = m_files.userFilePath();
    IniBatch batch(m_files.store(), path);
    TIniFile32 ini(m_files.store(), path);
    for (int i = 0; i < kCount; ++i)
        ini.WriteString(kSection, Fields()[i].key, AnsiText::fromUi(values.value(i)));
    batch.commit();
    return true;
}

QString UserProfile::Label1MouseDown(int index) const
{
    return values.value(index);
}
