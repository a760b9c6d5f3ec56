#pragma once

#include <QByteArray>

#include "MenuItem.h"
#include "SettingsFile.h"

class Board;
class TIniFile32;
struct ButtonFace;

// The button grid and page display: creating and laying out the buttons,
// building each face from the bookmark file, page switching, the window size,
// the column count and the display options.
class PageDisplay
{
public:
    explicit PageDisplay(Board& board) : m_board(board) {}

    // Creates (first build) or lays out again the columns x 20 buttons.
    void Buttons(int columns);
    // Shows a page: every face is rebuilt from the file, which is saved once.
    void Load(const QByteArray& page);
    void LoadCurrent();

    // Before a tab change: false refuses it.
    bool TabSet1Change(int newIndex);
    // After a tab change.
    void TabSet1Click();
    // Selects a tab as a click, the keyboard or code does.
    void selectTab(int index);
    // The page shown is gone from the tabs (deleted, picked up): shows the
    // nearest page that has no password, else asks for the one at index. A
    // refused password leaves that tab selected and its page hidden; a press
    // on the tab asks again.
    void showPageNear(int index);

    // The window has a new size; heights are those of the window's parts.
    void FormResize(int windowWidth, int clientWidth, int clientHeight, int tabStripHeight, int toolBarHeight);

    void MColumn2Click(int columns);
    void MBIconClick();
    void MBNotesClick();
    void MBUrlClick();
    void MFontButtonClick();
    void HomeButtonClick();
    void EndButtonClick();

    int clientWidth() const { return m_clientWidth; }
    void setClientWidth(int width) { m_clientWidth = width; }

    // The face a slot's stored fields give on the current page.
    void buildFace(const TIniFile32& ini, const QByteArray& page, ButtonFace& face, bool* legacyGlyph,
                   int* glyphCode) const;

private:
    void toggleDisplayOption(MenuItem item, const Setting& setting);
    void resetFace(ButtonFace& face) const;

    Board& m_board;
    bool m_pageHidden = false;
    int m_clientWidth = SettingsFile::Width.defaultNumber();
};
