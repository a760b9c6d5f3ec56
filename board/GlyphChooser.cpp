#include "GlyphChooser.h"

#include "Board.h"
#include "BookmarkSlot.h"
#include "IconLoader.h"
#include "IniFiles32.h"
#include "PathNames.h"

const QString& GlyphChooser::filter()
{
    static const QString f =
        QStringLiteral("All Icon File Types|*.EXE;*.DLL;*.ICL;*.ICO;*.BMP;*.GIF;*.JPG;*.PNG;*.SVG;*.DESKTOP|"
                       "Executables (.EXE)|*.EXE|Dynamic Link Library (.DLL)|*.DLL|Icon Library (.ICL)|*.ICL|"
                       "Icon (.ICO)|*.ICO|Bitmap (.BMP)|*.BMP|Graphic Interchange Format (.GIF)|*.GIF|"
                       "Joint Photographic Experts Group (.JPG)|*.JPG|Portable Network Graphics (.PNG)|*.PNG|"
                       "Scalable Vector Graphics (.SVG)|*.SVG|Desktop Launchers (.DESKTOP)|*.DESKTOP|All Files|*");
    return f;
}

QByteArray GlyphChooser::read(BookmarkRecord::Field field) const
{
    TIniFile32 ini(m_board.store(), m_board.files().BookmarkFileName());
    return BookmarkSlot(ini, m_page, m_slot).get(field);
}

void GlyphChooser::write(BookmarkRecord::Field field, const QByteArray& value)
{
    TIniFile32 ini(m_board.store(), m_board.files().BookmarkFileName());
    BookmarkSlot(ini, m_page, m_slot).set(field, value);
}

void GlyphChooser::loadFile(const QByteArray& path)
{
    filePath = path;
    strip = Strip::File;
    // The placeholder, then the file's images.
    fileImageCount = 1 + (PathNames::fileExists(path) ? IconLoader::iconCount(PathNames::toQt(path)) : 0);
}

void GlyphChooser::FormActivate(const QByteArray& page, const QByteArray& slot)
{
    m_page = page;
    m_slot = slot;
    filePath.clear();
    chosenNumber = 120;
    dialogAction = 0;
    changed = false;
    const QByteArray url = read(BookmarkRecord::Url);
    QByteArray file = read(BookmarkRecord::IconFile);
    if (file.isEmpty())
        file = url;
    // A program with parameters: the program is the part before " /".
    const qsizetype params = file.indexOf(" /");
    if (params >= 0)
        file = file.left(params + 1).trimmed();
    filePath = file;
    fileImageCount = 1;
    if (PathNames::fileExists(file))
        loadFile(file);
}

void GlyphChooser::DefaultBtnClick()
{
    strip = Strip::Internal;
    filePath.clear();
}

bool GlyphChooser::FileBtnClick()
{
    const QString start = PathNames::toQt(PathNames::folder(filePath));
    const QString chosen = m_board.ui().openFile({QStringLiteral("Select Image File"), filter(), start, {}, 0});
    if (chosen.isEmpty())
        return false;
    loadFile(PathNames::fromQt(chosen));
    return true;
}

void GlyphChooser::select(int position)
{
    changed = true;
    if (strip == Strip::Internal) {
        chosenNumber = position;
        chosenGlyph = {IconRef::Internal, position, {}};
        write(BookmarkRecord::Glyph, QByteArray::number(position));
        if (!read(BookmarkRecord::IconFile).isEmpty())
            write(BookmarkRecord::IconFile, {});
        return;
    }
    chosenNumber = 599 + position;
    if (position == 0) {
        bool ok = false;
        const int stored = TIniFile32::toInteger(read(BookmarkRecord::Glyph), &ok);
        chosenNumber = ok ? stored : 600;
    }
    if (filePath.isEmpty()) {
        filePath = read(BookmarkRecord::IconFile);
        if (filePath.isEmpty())
            filePath = read(BookmarkRecord::Url);
    }
    chosenGlyph = {IconRef::File, std::max(0, chosenNumber - 600), filePath};
    write(BookmarkRecord::Glyph, QByteArray::number(chosenNumber));
    write(BookmarkRecord::IconFile, filePath);
    dialogAction = 20;
}

void GlyphChooser::NoIconBtnClick()
{
    changed = true;
    write(BookmarkRecord::IconFile, {});
    write(BookmarkRecord::Glyph, {});
    chosenGlyph = IconRef::defaultIcon();
    chosenNumber = 0;
    dialogAction = 20;
}

void GlyphChooser::HelpBtnClick()
{
    m_board.ui().showHelp(kHelpContext);
}

void GlyphChooser::close()
{
    if (chosenNumber == 0)
        chosenNumber = 120;
    else if (chosenNumber == 599)
        chosenNumber = 600;
}
