#include "AlphaForm.h"

#include "AnsiText.h"
#include "Board.h"
#include "IniFiles32.h"
#include "SettingsFile.h"

#include <algorithm>

const QStringList& AlphaForm::ColorChoices()
{
    static const QStringList items{QStringLiteral("All Colors"), QStringLiteral("Default Color"),
                                   QStringLiteral("Selected Color")};
    return items;
}

bool AlphaForm::ask(const QString& title, const QString& action, const QString& notChosen)
{
    caption = title;
    actionText = action;
    FormShow();
    m_board.ui().alphaForm(*this);
    if (first >= 0 && last >= 0)
        return true;
    m_board.ui().message(notChosen, Prompter::Type::Information, Prompter::Buttons::Ok);
    return false;
}

void AlphaForm::FormShow()
{
    pages.clear();
    for (const QByteArray& tab : m_board.state().tabs())
        pages << AnsiText::toUi(tab);
    selected.clear();
    colors = m_board.state().tabStyle();
    first = last = -1;
    mode = ColorMode::All;
    colorGroup = 0;
    m_board.files().write(SettingsFile::MergeColor, 111);
}

void AlphaForm::PageListViewClick()
{
    caption = QStringLiteral("Pages Selected from List!");
}

void AlphaForm::ColorGroupClick(int index)
{
    colorGroup = index;
    if (index == 1) {
        m_board.files().write(SettingsFile::MergeColor, m_board.vars().ButtonFontColor);
        mode = ColorMode::Default;
    } else if (index == 2) {
        QStringList custom = m_board.GetCustomPalette();
        const std::optional<int> chosen = m_board.ui().color(filterColor(), custom);
        m_board.SaveCustomPalette(custom);
        if (chosen) {
            m_board.files().write(SettingsFile::MergeColor, *chosen);
            mode = ColorMode::Select;
        } else {
            colorGroup = 0;
            mode = ColorMode::All;
        }
    } else {
        mode = ColorMode::All;
    }
}

bool AlphaForm::AlphaBtnClick()
{
    if (selected.isEmpty()) {
        first = last = m_board.state().tabIndex();
    } else {
        first = *std::min_element(selected.begin(), selected.end());
        last = *std::max_element(selected.begin(), selected.end());
    }
    return true;
}

void AlphaForm::AlphaHelpBtnClick()
{
    m_board.ui().showHelp(kHelpContext);
}

int AlphaForm::colorDefault() const
{
    return mode == ColorMode::Default ? m_board.vars().ButtonFontColor : 111;
}

int AlphaForm::filterColor()
{
    TIniFile32 ini(m_board.store(), m_board.files().settingsPath());
    return ini.ReadInteger(SettingsFile::MergeColor.sectionName(), SettingsFile::MergeColor.keyName(), colorDefault());
}
