#pragma once

#include "BoardState.h"
#include "Desktop.h"
#include "FormVars.h"
#include "Prompter.h"
#include "ProgramFiles.h"

#include <QStringList>
#include <memory>

class PageDisplay;
class KeyboardNav;
class StartUp;

// The main window's behaviour (TForm1), free of widgets. It owns the main
// window's variables and the handler groups; the window renders BoardState
// and forwards its events here.
class Board
{
public:
    Board(ProgramFiles& files, BoardState& state, Prompter& ui, Desktop& desktop);
    ~Board();

    ProgramFiles& files() { return m_files; }
    IniStore& store() { return m_files.store(); }
    BoardState& state() { return m_state; }
    Prompter& ui() { return m_ui; }
    Desktop& desktop() { return m_desktop; }
    FormVars& vars() { return m_vars; }
    PageDisplay& pages() { return *m_pages; }
    KeyboardNav& keys() { return *m_keys; }
    StartUp& startUp() { return *m_startUp; }

    // Start-up: builds the board from the settings and the bookmark file.
    void FormCreate(const QStringList& arguments);
    void FormActivate();
    // Composes the window title from the stem, file, page and today's date.
    void FormCaption();
    void MResetSizeClick();

    enum class HelpItem { Contents, Search, About, HelpButton };
    void MHelpCClick(HelpItem item);

    // Closing: the window position is saved; the close is always allowed.
    bool FormCloseQuery();
    void SaveLocation();

    // Another start of the program was handed over to this one.
    void OnceInstanceStarted();
    void NetDetectorChanged(bool online);

    // The window reports where it is.
    void FormMoved(int left, int top);
    void FormStateChanged(bool minimized);

    // A click on a bookmark button (a drop on the button it came from).
    void ButtonClick(const QByteArray& buttonName);

    static constexpr int kHelpContents = 1;
    static constexpr int kHelpAbout = 9;

private:
    ProgramFiles& m_files;
    BoardState& m_state;
    Prompter& m_ui;
    Desktop& m_desktop;
    FormVars m_vars;
    std::unique_ptr<PageDisplay> m_pages;
    std::unique_ptr<KeyboardNav> m_keys;
    std::unique_ptr<StartUp> m_startUp;
};
