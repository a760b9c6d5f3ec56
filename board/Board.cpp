#include "Board.h"

#include "AnsiText.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "KeyboardNav.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "SettingsFile.h"
#include "StartUp.h"

Board::Board(ProgramFiles& files, BoardState& state, Prompter& ui, Desktop& desktop)
    : m_files(files), m_state(state), m_ui(ui), m_desktop(desktop),
      m_pages(std::make_unique<PageDisplay>(*this)), m_keys(std::make_unique<KeyboardNav>(*this)),
      m_startUp(std::make_unique<StartUp>(*this))
{
}

Board::~Board() = default;

void Board::FormCreate(const QStringList& arguments)
{
    m_startUp->FormCreate(arguments);
}

void Board::FormActivate()
{
    WindowGeometry g = m_state.geometry();
    if (g.width != m_vars.WindowWidth) {
        g.width = m_vars.WindowWidth;
        m_state.requestGeometry(g);
    }
}

void Board::FormCaption()
{
    const QByteArray stem = m_files.SettingsStem() == SettingsFile::kDefaultStem
                                ? QByteArray()
                                : m_files.SettingsStem();
    const QByteArray file = PathNames::fileName(PathNames::stem(m_files.BookmarkFileName()));
    const int index = m_state.tabIndex();
    const QString title = QStringLiteral("Lynkor ") + AnsiText::toUi(stem) + QStringLiteral(" [ ") +
                          AnsiText::toUi(file) + QStringLiteral(" ]    ") +
                          AnsiText::toUi(m_state.currentPage()) + QStringLiteral(": Page ") +
                          QString::number(index + 1) + QStringLiteral(" of ") +
                          QString::number(m_state.tabs().size()) + QStringLiteral("   ") +
                          m_desktop.todayText();
    m_state.setTitle(title);
}

void Board::MResetSizeClick()
{
    m_state.requestSize(SettingsFile::kDefaultWidth, SettingsFile::kNormalHeight);
}

void Board::MHelpCClick(HelpItem item)
{
    switch (item) {
    case HelpItem::Contents:
        m_ui.showHelp(kHelpContents);
        break;
    case HelpItem::About:
        m_ui.showHelp(kHelpAbout);
        break;
    case HelpItem::Search:
    case HelpItem::HelpButton:
        m_ui.showHelpSearch();
        break;
    }
}

bool Board::FormCloseQuery()
{
    SaveLocation();
    return true;
}

void Board::SaveLocation()
{
    using namespace SettingsFile;
    const WindowGeometry& g = m_state.geometry();
    const QByteArray path = m_files.settingsPath();
    IniBatch batch(store(), path);
    TIniFile32 ini(store(), path);
    ini.WriteInteger(kLocation, kTop, g.top);
    ini.WriteInteger(kLocation, kLeft, g.left);
    ini.WriteInteger(kLocation, kWidth, g.width);
    ini.WriteString(kWindow, kState, m_state.minimized() ? kMin : kNorm);
    batch.commit();
}

void Board::OnceInstanceStarted()
{
    m_ui.message(QStringLiteral("Program Already Running!"), Prompter::Type::Information,
                 Prompter::Buttons::Ok);
}

void Board::NetDetectorChanged(bool online)
{
    m_state.setOnline(online);
}

void Board::FormMoved(int left, int top)
{
    WindowGeometry g = m_state.geometry();
    g.left = left;
    g.top = top;
    m_state.noteGeometry(g);
}

void Board::FormStateChanged(bool minimized)
{
    m_state.noteMinimized(minimized);
}

void Board::ButtonClick(const QByteArray& buttonName)
{
    const int index = m_state.buttonIndex(buttonName);
    if (index < 0)
        return;
    ButtonFace& face = m_state.mutableButtons()[index];
    if (face.margin != 1) {
        face.margin = 1;
        m_state.notifyFace(index);
    }
    m_vars.CurrentButton = buttonName;
    FormCaption();
}
