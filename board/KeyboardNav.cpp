#include "KeyboardNav.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardGeometry.h"
#include "BookmarkEditor.h"
#include "PageCarrier.h"
#include "PageDisplay.h"
#include "RecordOps.h"
#include "WindowModes.h"

void KeyboardNav::KeysKeyPress(const QString& text)
{
    if (text.isEmpty() || !text.at(0).isPrint())
        return;
    const QString wanted = text.left(1).toCaseFolded();
    BoardState& state = m_board.state();
    const int count = static_cast<int>(state.tabs().size());
    const int current = state.tabIndex();
    // The tabs after the current one, then once more from the first.
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step) % count;
        const QString name = AnsiText::toUi(state.tabs()[i]);
        if (!name.isEmpty() && name.left(1).toCaseFolded() == wanted) {
            m_board.pages().selectTab(i);
            return;
        }
    }
}

void KeyboardNav::moveSelection(int to)
{
    BoardState& state = m_board.state();
    FormVars& vars = m_board.vars();
    if (to < 1 || to > static_cast<int>(state.buttons().size()))
        return;
    state.updateFace(vars.KeyboardSelection - 1, [](ButtonFace& face) { face.margin = BoardGeometry::kNormalMargin; });
    vars.KeyboardSelection = to;
    state.updateFace(to - 1, [](ButtonFace& face) { face.margin = BoardGeometry::kSelectedMargin; });
    const ButtonFace& face = state.buttons()[to - 1];
    vars.CurrentButton = face.name;
    // The title bar shows a start of it; a long note is never decoded whole.
    state.setTitle(QString::number(to) + QStringLiteral(" : ") + AnsiText::toUiStart(face.hint, 1024));
}

void KeyboardNav::SelectButton(const QByteArray& buttonName)
{
    const int index = m_board.state().buttonIndex(buttonName);
    const int last = std::min<int>(m_board.vars().Columns * BoardGeometry::kRows,
                                   static_cast<int>(m_board.state().buttons().size()));
    if (index >= 0 && index < last && index + 1 != m_board.vars().KeyboardSelection)
        moveSelection(index + 1);
}

bool KeyboardNav::KeysKeyDown(Key key)
{
    Board& b = m_board;
    BoardState& state = b.state();
    FormVars& vars = b.vars();
    const int count = static_cast<int>(state.tabs().size());
    const int last = std::min<int>(vars.Columns * BoardGeometry::kRows, static_cast<int>(state.buttons().size()));
    switch (key) {
    case Key::F1:
        b.MHelpCClick(Board::HelpItem::Contents);
        return true;
    case Key::F7:
        state.requestTrayMenu();
        return true;
    case Key::F9:
        b.modes().ScreenSaveClick();
        return true;
    case Key::Left:
    case Key::PageDown:
        b.FormCaption();
        if (count > 0)
            b.pages().selectTab(state.tabIndex() <= 0 ? count - 1 : state.tabIndex() - 1);
        return true;
    case Key::Right:
    case Key::PageUp:
        b.FormCaption();
        if (count > 0)
            b.pages().selectTab(state.tabIndex() >= count - 1 ? 0 : state.tabIndex() + 1);
        return true;
    case Key::Down:
        if (vars.KeyboardSelection < last)
            moveSelection(vars.KeyboardSelection + 1);
        return true;
    case Key::Up:
        if (vars.KeyboardSelection > 1)
            moveSelection(vars.KeyboardSelection - 1);
        return true;
    case Key::Home:
        b.FormCaption();
        b.pages().selectTab(0);
        return true;
    case Key::End:
        b.FormCaption();
        b.pages().selectTab(count - 1);
        return true;
    case Key::Enter:
    case Key::Space:
        if (vars.KeyboardSelection > 0 && vars.KeyboardSelection <= last)
            b.ButtonClick(state.buttons()[vars.KeyboardSelection - 1].name);
        return true;
    case Key::Menu:
        if (vars.KeyboardSelection > 0 && vars.KeyboardSelection <= last)
            b.editor().SetButtonParams(state.buttons()[vars.KeyboardSelection - 1].name);
        return true;
    case Key::Escape:
        b.records().cancelPlacing();
        b.pageCarrier().cancel();
        return true;
    case Key::Other:
        return false;
    }
    return false;
}
