#pragma once

#include "BookmarkRecord.h"
#include "ButtonFace.h"

#include <QByteArray>
#include <QString>

class Board;

// TGlyphForm: picks the icon of one bookmark, or the default icon of all
// (page "Default", slot "Icon": keys IconG and IconI), from the internal icons
// or from the images of a file, writing Glyph and IconFile at once.
class GlyphChooser
{
public:
    explicit GlyphChooser(Board& board) : m_board(board) {}

    void FormActivate(const QByteArray& page, const QByteArray& slot);

    enum class Strip { Internal, File };
    Strip strip = Strip::File;
    // The file whose images the strip shows ("" when none).
    QByteArray filePath;
    // Images of the file in the strip, position 0 being the blank placeholder.
    int fileImageCount = 0;

    void DefaultBtnClick();
    // "Images from Files": true when a file was chosen.
    bool FileBtnClick();
    // An image of the strip shown; the chooser closes after it.
    void select(int position);
    void NoIconBtnClick();
    void HelpBtnClick();
    // On closing: 0 becomes 120 and 599 becomes 600.
    void close();

    int chosenNumber = 120;
    int dialogAction = 0; // 20: an image of a file or the default icon
    bool changed = false;
    IconRef chosenGlyph;

    static constexpr int kHelpContext = 75;
    static const QString& filter();

private:
    void loadFile(const QByteArray& path);
    // The fields of the dialog slot (for the default icon, page "Default" and
    // "slot" "Icon": the keys IconG and IconI).
    QByteArray read(BookmarkRecord::Field field) const;
    void write(BookmarkRecord::Field field, const QByteArray& value);

    Board& m_board;
    QByteArray m_page;
    QByteArray m_slot;
};
