#include "PageDisplay.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardGeometry.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PassText.h"
#include "Passwords.h"
#include "SettingsFile.h"
#include "ToolTip.h"
#include "WindowModes.h"

#include <algorithm>

using F = BookmarkRecord;

void PageDisplay::Buttons(int columns)
{
    BoardState& state = m_board.state();
    FormVars& vars = m_board.vars();
    const bool iconsShown = state.checked(MenuItem::MBIcon);
    std::vector<ButtonFace> buttons;
    const std::vector<ButtonFace>& old = state.buttons();
    const int count = columns * BoardGeometry::kRows;
    buttons.reserve(count);
    for (int n = 1; n <= count; ++n) {
        ButtonFace face;
        if (!vars.FirstBuild && n <= static_cast<int>(old.size()))
            face = old[n - 1];
        face.name = "B" + BookmarkFile::SlotKey(n);
        const BoardGeometry::Rect r = BoardGeometry::slotRect(n, m_clientWidth, columns);
        face.left = r.left;
        face.top = r.top;
        face.width = r.width;
        face.height = r.height;
        face.margin = BoardGeometry::kNormalMargin;
        if (vars.FirstBuild)
            face.glyph = iconsShown ? IconRef::blank() : IconRef::noIcon();
        buttons.push_back(std::move(face));
    }
    vars.KeyboardSelection = 0;
    state.setButtons(std::move(buttons));
}

void PageDisplay::resetFace(ButtonFace& face) const
{
    const FormVars& vars = m_board.vars();
    face.glyph = IconRef::blank();
    face.hint.clear();
    face.enabled = true;
    face.color = vars.ButtonFontColor;
    face.caption.clear();
    face.handCursor = false;
}

void PageDisplay::buildFace(const TIniFile32& ini, const QByteArray& page, ButtonFace& face, bool* legacyGlyph,
                            int* glyphCode) const
{
    const FormVars& vars = m_board.vars();
    const BoardState& state = m_board.state();
    const QByteArray slot = face.slotKey();
    *legacyGlyph = false;
    resetFace(face);
    face.caption = BookmarkSlot(ini, page, slot).title();
    const QByteArray url = BookmarkSlot(ini, page, slot).url();
    if (url.isEmpty())
        return;
    const BookmarkSlot fields(ini, page, slot);
    QByteArray iconFile = fields.iconFile();
    if (iconFile.isEmpty())
        iconFile = url;
    const int glyph = BookmarkFile::GlyphCode(fields.glyph().isEmpty() ? QByteArray("0") : fields.glyph(), legacyGlyph);
    *glyphCode = glyph;
    const QByteArray notes = BookmarkSlot(ini, page, slot).notes();
    face.hint = ToolTip::build(url, notes, state.checked(MenuItem::MBUrl), state.checked(MenuItem::MBNotes));

    if (!state.checked(MenuItem::MBIcon))
        face.glyph = IconRef::noIcon();
    else if (glyph >= 1 && glyph <= 499)
        face.glyph = {IconRef::Internal, glyph, {}};
    else if (glyph >= 500 && glyph <= 599)
        face.glyph = {IconRef::Second, glyph - 500, {}};
    else if (glyph >= 600)
        face.glyph = {IconRef::File, glyph - 600, iconFile};
    else
        face.glyph = IconRef::defaultIcon();

    // On a protected page the tip shows the deciphered address.
    if (m_board.PagePassBox().PageProtected(page) && BookmarkFile::IsProtectedUrl(url))
        face.hint = ToolTip::build(PassText::Decrypt(url), notes, state.checked(MenuItem::MBUrl),
                                   state.checked(MenuItem::MBNotes));

    face.color = fields.color(vars.ButtonFontColor);
    face.handCursor = true;
    if (!vars.FilePasswordValue.isEmpty()) {
        face.caption.clear();
        face.hint.clear();
        face.glyph = IconRef::blank();
        face.enabled = false;
    }
}

void PageDisplay::Load(const QByteArray& page)
{
    Board& b = m_board;
    m_pageHidden = false;
    FormVars& vars = b.vars();
    BoardState& state = b.state();
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    if (vars.FirstBuild) {
        const QByteArray filePassword = ini.ReadString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, {});
        const QByteArray version = ini.ReadString(BookmarkFile::kProgram, BookmarkFile::kVersion, {});
        vars.FilePasswordValue = (filePassword.isEmpty() && version.isEmpty()) ? QByteArray() : filePassword + version;
    }

    // A newly opened file lists its pages before its first page is shown, so
    // that a page that fails to load still leaves the tabs usable.
    if (vars.FirstBuild) {
        const QByteArray track = ini.ReadString(BookmarkFile::kMRUX, BookmarkFile::kTrack, "On");
        state.setChecked(MenuItem::MMRU, track != "Off");
        b.modes().fileOpened(path);
        state.setLocked(!vars.FilePasswordValue.isEmpty());
        state.setTabs(BookmarkFile::ReadPageList(ini), 0);
    }
    // A page shown without a tab change (a file just opened) still shows
    // whether it is protected, so that protecting it twice cannot happen.
    state.setChecked(MenuItem::MPagePass, b.PagePassBox().PageProtected(page));

    state.updateFaces([&](std::vector<ButtonFace>& faces) {
        const int count = std::min<int>(vars.Columns * BoardGeometry::kRows, static_cast<int>(faces.size()));
        int n = 0;
        try {
            for (; n < count; ++n) {
                bool legacy = false;
                int glyph = 0;
                buildFace(ini, page, faces[n], &legacy, &glyph);
                if (legacy)
                    BookmarkSlot(ini, page, faces[n].slotKey()).setGlyph(QByteArray::number(glyph));
            }
        } catch (const CommandError&) {
            // The page stops loading at a bad icon code; the buttons after it
            // must not keep the faces of the page shown before.
            for (; n < count; ++n)
                resetFace(faces[n]);
            throw;
        }
        ini.UpdateFile();
        batch.commit();
        vars.FirstBuild = false;
    });
}

void PageDisplay::LoadCurrent()
{
    Load(m_board.state().currentPage());
}

bool PageDisplay::TabSet1Change(int newIndex)
{
    Board& b = m_board;
    BoardState& state = b.state();
    FormVars& vars = b.vars();
    if (vars.KeyboardSelection > 0) {
        state.updateFace(vars.KeyboardSelection - 1,
                         [](ButtonFace& face) { face.margin = BoardGeometry::kNormalMargin; });
        vars.KeyboardSelection = 0;
        b.FormCaption();
    }
    state.setChecked(MenuItem::MPagePass, false);
    if (newIndex < 0 || newIndex >= static_cast<int>(state.tabs().size()))
        return true;
    const QByteArray page = state.tabs()[newIndex];
    if (!b.passwords().enterPage(page)) {
        state.setChecked(MenuItem::MPagePass, b.PagePassBox().PageProtected(state.currentPage()));
        return false;
    }
    state.setTitle(QStringLiteral("Loading bookmarks for ") + AnsiText::toUi(page));
    return true;
}

void PageDisplay::TabSet1Click()
{
    LoadCurrent();
    m_board.FormCaption();
}

void PageDisplay::selectTab(int index)
{
    BoardState& state = m_board.state();
    if (index < 0 || index >= static_cast<int>(state.tabs().size()) || (index == state.tabIndex() && !m_pageHidden))
        return;
    if (!TabSet1Change(index))
        return;
    state.setTabIndex(index);
    TabSet1Click();
}

void PageDisplay::showPageNear(int index)
{
    Board& b = m_board;
    BoardState& state = b.state();
    const auto& tabs = state.tabs();
    const int n = static_cast<int>(tabs.size());
    if (n == 0)
        return;
    index = std::clamp(index, 0, n - 1);
    auto show = [&](int i) {
        state.setTabIndex(i);
        TabSet1Click();
    };
    for (int d = 0; d < n; ++d) {
        for (const int i : {index - d, index + d}) {
            if (i >= 0 && i < n && !b.PagePassBox().PageProtected(tabs[i])) {
                show(i);
                return;
            }
        }
    }
    if (b.passwords().enterPage(tabs[index])) {
        show(index);
        return;
    }
    state.setTabIndex(index);
    state.updateFaces([this](std::vector<ButtonFace>& faces) {
        for (ButtonFace& face : faces)
            resetFace(face);
    });
    m_pageHidden = true;
    b.FormCaption();
}

void PageDisplay::FormResize(int windowWidth, int clientWidth, int clientHeight, int tabStripHeight, int toolBarHeight)
{
    Board& b = m_board;
    FormVars& vars = b.vars();
    BoardState& state = b.state();
    state.setPanelHeight(BoardGeometry::panelHeight(clientHeight, tabStripHeight, toolBarHeight));
    WindowGeometry g = state.geometry();
    g.width = windowWidth;
    state.noteGeometry(g);
    // The faces do not depend on the width, so laying the buttons out again is
    // enough; the page is not read from the file again.
    const bool widthChanged = clientWidth != m_clientWidth;
    m_clientWidth = clientWidth;
    if (!vars.FirstBuild && (windowWidth != vars.WindowWidth || widthChanged))
        Buttons(vars.Columns);
    if (!vars.FirstBuild)
        vars.WindowWidth = windowWidth;
}

void PageDisplay::MColumn2Click(int columns)
{
    Board& b = m_board;
    FormVars& vars = b.vars();
    if (columns < 2 || columns > 4)
        return;
    vars.Columns = columns;
    b.files().write(SettingsFile::Columns, columns);
    b.state().setChecked(MenuItem::MColumn2, columns == 2);
    b.state().setChecked(MenuItem::MColumn3, columns == 3);
    b.state().setChecked(MenuItem::MColumn4, columns == 4);
    vars.FirstBuild = true;
    Buttons(columns);
    vars.FirstBuild = false;
    LoadCurrent();
}

void PageDisplay::toggleDisplayOption(MenuItem item, const Setting& setting)
{
    BoardState& state = m_board.state();
    const bool on = !state.checked(item);
    state.setChecked(item, on);
    m_board.files().write(setting, SettingsFile::onOff(on));
    LoadCurrent();
}

void PageDisplay::MBIconClick()
{
    toggleDisplayOption(MenuItem::MBIcon, SettingsFile::ButtonIcons);
}

void PageDisplay::MBNotesClick()
{
    toggleDisplayOption(MenuItem::MBNotes, SettingsFile::ButtonNotes);
}

void PageDisplay::MBUrlClick()
{
    toggleDisplayOption(MenuItem::MBUrl, SettingsFile::ButtonUrl);
}

void PageDisplay::MFontButtonClick()
{
    Board& b = m_board;
    FormVars& vars = b.vars();
    const FontChoice initial{AnsiText::toUi(vars.ButtonFontName), vars.ButtonFontSize, vars.ButtonFontColor};
    if (std::optional<FontChoice> chosen = b.ui().font(initial)) {
        vars.ButtonFontName = AnsiText::fromUi(chosen->name);
        vars.ButtonFontSize = chosen->size;
        vars.ButtonFontColor = chosen->color;
        b.state().setButtonFont(vars.ButtonFontName, vars.ButtonFontSize);
        const QByteArray path = b.files().settingsPath();
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        SettingsFile::ButtonFontName.write(ini, vars.ButtonFontName);
        SettingsFile::ButtonFontSize.write(ini, vars.ButtonFontSize);
        SettingsFile::ButtonFontColor.write(ini, vars.ButtonFontColor);
        batch.commit();
    }
    LoadCurrent();
}

void PageDisplay::HomeButtonClick()
{
    selectTab(0);
    m_board.FormCaption();
}

void PageDisplay::EndButtonClick()
{
    selectTab(static_cast<int>(m_board.state().tabs().size()) - 1);
    m_board.FormCaption();
}
