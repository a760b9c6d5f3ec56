#pragma once

#include <QByteArray>
#include <QString>

class Board;

// Copies the bookmarks of one page into another page, of the same or of
// another bookmark file, leaving out what the destination already holds, and
// the colour filter that merges may apply.
class PageMerge
{
public:
    explicit PageMerge(Board& board) : m_board(board) {}

    // The merge colour filter (settings Merge/Color) when it is off.
    static constexpr int kNoFilter = 111;

    // Add: a source page the destination file does not list is added to its
    // tabs first (merging whole files). Match: the destination is taken as it is.
    enum class Missing { Match, Add };
    // Every bookmark of the source page whose stored address is not on the
    // destination page (and whose colour passes the filter) goes into the
    // destination's first empty slot, in source slot order; what does not fit
    // is left out. The destination file is saved once.
    void MergePage(const QByteArray& sourcePage, const QByteArray& destinationPage, const QByteArray& sourceFile,
                   const QByteArray& destinationFile, Missing missing = Missing::Match);

    // The colour filter question before a merge ("Merge"): Yes keeps the
    // filter shown (or chooses one), No turns it off, Color changes it.
    void MColor(const QString& operation);

    static constexpr int kHelpColorFilter = 62;

private:
    Board& m_board;
};
