#pragma once

#include "TabStyle.h"

#include <QSet>
#include <QString>
#include <QStringList>

class Board;

// TAlphaForm: the page-and-colour chooser shared by alphabetize, output and
// the link checker. The caller sets the caption and the action button's
// text; the window shows the pages and calls the handlers. The range (first
// and last page, 0-based, -1 while none was chosen), the colour mode and the
// filter in settings Merge/Color are left for the caller.
class AlphaForm
{
public:
    explicit AlphaForm(Board& board) : m_board(board) {}

    enum class ColorMode { All, Default, Select };

    QString caption;
    QString actionText; // AlphaBtn's caption
    QStringList pages;  // PageListView: the page names in tab order
    QSet<int> selected; // rows selected in the list
    int colorGroup = 0; // ColorGroup: 0 All Colors, 1 Default Color, 2 Selected Color
    TabStyle colors;

    int first = -1;
    int last = -1;
    ColorMode mode = ColorMode::All;

    static const QStringList& ColorChoices();
    static constexpr int kHelpContext = 50;

    // Shows the chooser for a command; false, with notChosen said, when it
    // was closed without the action.
    bool ask(const QString& title, const QString& action, const QString& notChosen);

    // Opening: the pages listed, the range unset, mode "All", and the filter 111.
    void FormShow();
    void PageListViewClick();
    void ColorGroupClick(int index);
    // The action button: the range from the selected rows (the current page
    // when none is); true closes.
    bool AlphaBtnClick();
    void AlphaHelpBtnClick();

    bool allColors() const { return mode == ColorMode::All; }
    // The colour of a bookmark without Color: the button colour for
    // "Default", else 111.
    int colorDefault() const;
    // The filter the command applies: settings Merge/Color, read with the
    // mode's default.
    int filterColor();

private:
    Board& m_board;
};
