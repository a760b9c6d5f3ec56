#include "RecordOps.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardGeometry.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "FileError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "SettingsFile.h"
#include "ToolTip.h"
#include "WebIconFiles.h"
#include "WindowModes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using F = BookmarkRecord;

void RecordOps::setRecord(const BookmarkRecord& record)
{
    m_box.clear();
    for (const QByteArray& field : record.fields)
        m_box << field;
}

BookmarkRecord RecordOps::record() const
{
    BookmarkRecord r;
    for (int f = 0; f < F::kFieldCount && f < m_box.size(); ++f)
        r.fields[f] = m_box[f];
    return r;
}

void RecordOps::StoreButton(const QByteArray& file, const QByteArray& page, const QByteArray& slot)
{
    m_box.clear();
    TIniFile32 ini(m_board.store(), file);
    for (int f = 0; f < F::kFieldCount; ++f)
        m_box << BookmarkSlot(ini, page, slot).get(static_cast<F::Field>(f));
}

void RecordOps::WriteButton(const QByteArray& page, const QByteArray& slot)
{
    if (m_box.isEmpty())
        return;
    Board& b = m_board;
    const BookmarkRecord r = record();
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    BookmarkSlot(ini, page, slot).setTitle(r[F::Title]);
    BookmarkSlot(ini, page, slot).setUrl(r[F::Url]);
    for (F::Field f : {F::Color, F::Updated, F::Notes, F::ExtraInfo, F::LaunchAs, F::IpAddress})
        if (!r[f].isEmpty())
            BookmarkSlot(ini, page, slot).set(f, r[f]);
    if (!r[F::Glyph].isEmpty())
        BookmarkSlot(ini, page, slot).setGlyph(r[F::Glyph]);
    if (!r[F::IconFile].isEmpty())
        BookmarkSlot(ini, page, slot).setIconFile(r[F::IconFile]);

    // The face is a copy of the current page only: another page's slot has no
    // button on the board.
    b.state().updateShownFace(page, "B" + slot, [&](ButtonFace& face) {
        face.caption = r[F::Title];
        face.hint = ToolTip::build(r[F::Url], r[F::Notes], b.state().checked(MenuItem::MBUrl),
                                   b.state().checked(MenuItem::MBNotes), false);
        face.handCursor = true;
        face.color = b.vars().ButtonFontColor;
        if (!r[F::Color].isEmpty()) {
            bool ok = false;
            const int color = TIniFile32::toInteger(r[F::Color], &ok);
            if (ok)
                face.color = color;
        }
        if (!b.state().checked(MenuItem::MBIcon)) {
            face.glyph = IconRef::noIcon();
        } else if (r[F::Glyph].isEmpty()) {
            face.glyph = IconRef::defaultIcon();
        } else {
            // The same glyph a page load builds, from what was just written.
            ButtonFace built = face;
            bool legacy = false;
            int glyph = 0;
            b.pages().buildFace(ini, page, built, &legacy, &glyph);
            face.glyph = built.glyph;
        }
    });
    m_box.clear();
    batch.commit();
}

int RecordOps::blankFrom(int n, int freed) const
{
    const BoardState& state = m_board.state();
    const int last =
        std::min<int>(m_board.vars().Columns * BoardGeometry::kRows, static_cast<int>(state.buttons().size()));
    for (int k = std::max(n, 1); k <= last; ++k)
        if (k == freed || state.buttons()[k - 1].caption.isEmpty())
            return k;
    return 0;
}

bool RecordOps::PutButton(const QByteArray& buttonName)
{
    Board& b = m_board;
    const QByteArray page = b.state().currentPage();
    const int last =
        std::min<int>(b.vars().Columns * BoardGeometry::kRows, static_cast<int>(b.state().buttons().size()));
    const int n = BookmarkFile::SlotNumber(buttonName.mid(1, 2));

    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    bool scanned = false;
    bool placed = false;
    if (n >= 1 && n <= last) {
        scanned = !b.state().buttons()[n - 1].caption.isEmpty();
        if (const int k = blankFrom(n); k > 0) {
            for (int j = k; j > n; --j) {
                MoveButtons(page, page, BookmarkFile::SlotKey(j), BookmarkFile::SlotKey(j - 1));
                EraseButton(page, BookmarkFile::SlotKey(j - 1), WebIconFile::Keep);
            }
            WriteButton(page, BookmarkFile::SlotKey(n));
            placed = true;
        }
    }
    b.ui().setCursor(ScreenCursor::Default);
    if (scanned)
        b.pages().Load(page);
    batch.commit();
    return placed;
}

void RecordOps::MoveButtons(const QByteArray& fromPage, const QByteArray& toPage, const QByteArray& toSlot,
                            const QByteArray& fromSlot)
{
    Board& b = m_board;
    const QByteArray path = b.files().BookmarkFileName();
    IniBatch batch(b.store(), path);
    TIniFile32 ini(b.store(), path);
    for (F::Field f : {F::Url, F::Title, F::Color, F::Updated, F::Notes, F::ExtraInfo, F::LaunchAs, F::Glyph,
                       F::IconFile, F::IpAddress}) {
        const QByteArray value = BookmarkSlot(ini, fromPage, fromSlot).get(f);
        if (!value.isEmpty())
            BookmarkSlot(ini, toPage, toSlot).set(f, value);
    }
    batch.commit();
}

void RecordOps::EraseButton(const QByteArray& page, const QByteArray& slot, WebIconFile icon)
{
    Board& b = m_board;
    b.state().updateShownFace(page, "B" + slot, [&](ButtonFace& face) {
        face.caption.clear();
        face.hint.clear();
        face.glyph = b.state().checked(MenuItem::MBIcon) ? IconRef::blank() : IconRef::noIcon();
        face.handCursor = false;
    });
    const QByteArray path = b.files().BookmarkFileName();
    // The keys and the recent list go to the file in one save.
    IniBatch erase(b.store(), path);
    QByteArray title;
    QByteArray url;
    QByteArray iconFile;
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        title = BookmarkSlot(ini, page, slot).title();
        url = BookmarkSlot(ini, page, slot).url();
        iconFile = BookmarkSlot(ini, page, slot).iconFile();
        for (int f = 0; f < F::kFieldCount; ++f)
            BookmarkSlot(ini, page, slot).erase(static_cast<F::Field>(f));
        batch.commit();
    }

    if (icon == WebIconFile::MayDelete && WebIconFiles::belongsTo(iconFile, url)) {
        bool remove = true;
        if (b.state().checked(MenuItem::MWebDlg)) {
            const QString quoted = QStringLiteral("\"") + AnsiText::toUi(title) + QStringLiteral("\"");
            remove = b.ui().choice(
                         {QStringLiteral("Delete Web Icon for ") + quoted,
                          {QStringLiteral("Delete Image"), QStringLiteral("Keep Image")},
                          {QStringLiteral("A Web Icon is being used by the ") + quoted + QStringLiteral(" bookmark."),
                           AnsiText::toUi(url),
                           QStringLiteral("If you have duplicate bookmarks they may be using this "
                                          "icon as well."),
                           QStringLiteral("If you delete this icon you can recover it by bookmarking "
                                          "the site again.")},
                          std::nullopt}) == 0;
        }
        const QByteArray extension = AnsiText::toLower(PathNames::fileName(iconFile));
        if (remove && (extension.endsWith(".gif") || extension.endsWith(".jpg") || extension.endsWith(".ico")))
            QFile::remove(PathNames::toQt(iconFile));
    }
    const QByteArray entry = WindowModes::recentEntry(WindowModes::recentTitle(title, url), page, slot);
    if (b.MruList1().items().contains(entry)) {
        b.MruList1().blank(entry);
        b.MruList1().save(b.store());
        b.showRecent();
    }
    erase.commit();
}

RecordOps::BulkAction RecordOps::askBulkAction()
{
    const int pressed = m_board.ui().choice(
        {QStringLiteral("Move, Copy or Erase Bookmarks."),
         {QStringLiteral("Move"), QStringLiteral("Copy"), QStringLiteral("Erase"), QStringLiteral("Ignore")},
         {QStringLiteral("Move  = Move list of bookmarks to new page."),
          QStringLiteral("Copy  = Copy list of bookmarks to new page."),
          QStringLiteral("Erase = Erase list of bookmarks from Lynkor.")},
         std::nullopt});
    return pressed >= 0 && pressed <= 2 ? BulkAction(pressed) : BulkAction::Ignore;
}

void RecordOps::carryToNewPages(const QByteArray& base, const QList<Listed>& bookmarks, bool move, Show show)
{
    Board& b = m_board;
    const QByteArray path = b.files().BookmarkFileName();
    const int perPage = b.vars().Columns * 20;
    std::vector<QByteArray> tabs;
    {
        const TIniFile32 ini(b.store(), path);
        tabs = b.pageCommands().ReadTabs(ini);
    }
    QByteArray firstPage;
    QByteArray page;
    int slot = perPage;
    for (const Listed& l : bookmarks) {
        if (l.page.isEmpty()) {
            if (slot > 0 && slot < perPage)
                ++slot;
            continue;
        }
        if (slot >= perPage) {
            page = BookmarkFile::DupePageName(base, tabs);
            tabs.push_back(page);
            TIniFile32 ini(b.store(), path);
            BookmarkFile::SaveTabs(ini, tabs);
            if (firstPage.isEmpty())
                firstPage = page;
            slot = 0;
        }
        const QByteArray target = BookmarkFile::SlotKey(++slot);
        MoveButtons(l.page, page, target, l.slot);
        if (move)
            EraseButton(l.page, l.slot, WebIconFile::Keep);
        TIniFile32 ini(b.store(), path);
        BookmarkSlot moved(ini, page, target);
        moved.setNotes(moved.notes() + " " + l.page);
    }
    if (page.isEmpty())
        return;
    const QByteArray shown = show == Show::First ? firstPage : page;
    const auto at = std::find(tabs.begin(), tabs.end(), shown);
    b.state().setTabs(tabs, int(at - tabs.begin()));
    b.pages().Load(shown);
    b.FormCaption();
}

QString RecordOps::fullPageText(const QByteArray& title)
{
    return QStringLiteral("The page is full from this button on, so \"%1\" could not be put there.")
        .arg(AnsiText::toUi(title));
}

void RecordOps::beginPlacing(const QByteArray& page, const QByteArray& slot, bool move)
{
    Board& b = m_board;
    const QByteArray file = b.files().BookmarkFileName();
    StoreButton(file, page, slot);
    // A moved bookmark stays in its slot until it is put down: a crash or a
    // kill meanwhile loses nothing.
    m_origin = Origin{file, page, slot, record()[F::Title], record()[F::Url], move};
    b.ui().setCursor(ScreenCursor::Drag);
    b.FormCaption();
}

void RecordOps::endPlacing()
{
    m_origin.reset();
    m_board.ui().setCursor(ScreenCursor::Default);
    m_board.FormCaption();
}

void RecordOps::placeAt(const QByteArray& buttonName)
{
    if (!m_origin)
        return;
    Board& b = m_board;
    const Origin origin = *m_origin;
    const QByteArray path = b.files().BookmarkFileName();
    const QByteArray page = b.state().currentPage();
    b.ui().setCursor(ScreenCursor::HourGlass);
    // A move takes the bookmark from its slot as that holds it now (an
    // address looked up meanwhile goes along); a slot that holds another
    // bookmark by now keeps it, and the one carried is put down as read.
    bool take = false;
    if (origin.move && origin.file == path) {
        const TIniFile32 ini(b.store(), path);
        const BookmarkSlot source(ini, origin.page, origin.slot);
        take = source.title() == origin.title && source.url() == origin.url;
    }
    if (take && origin.page == page && origin.slot == buttonName.mid(1, 2)) {
        m_box.clear(); // put down where it is
        endPlacing();
        return;
    }
    if (take)
        StoreButton(path, origin.page, origin.slot);
    const BookmarkRecord carried = record();
    const int freed = take && origin.page == page ? BookmarkFile::SlotNumber(origin.slot) : 0;
    if (blankFrom(BookmarkFile::SlotNumber(buttonName.mid(1, 2)), freed) == 0) {
        m_box.clear();
        endPlacing();
        b.ui().message(fullPageText(origin.title) +
                           (origin.move ? QStringLiteral(" It is back in its place.") : QString()),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    // Taken from its slot and put down in one save.
    IniBatch batch(b.store(), path);
    if (take)
        EraseButton(origin.page, origin.slot, WebIconFile::Keep);
    setRecord(carried);
    PutButton(buttonName);
    batch.commit();
    endPlacing();
}

void RecordOps::cancelPlacing()
{
    if (!m_origin)
        return;
    // Nothing was taken: the bookmark is still in its slot.
    m_box.clear();
    endPlacing();
}

void RecordOps::putBack(const QByteArray& page, const QByteArray& slot)
{
    Board& b = m_board;
    const BookmarkRecord carried = record();
    if (!carried.isFilled())
        return;
    const QByteArray file = b.files().BookmarkFileName();
    // Should the place it came from be taken, the first blank slot of the
    // page (the shown columns come first in slot order).
    QByteArray target = slot;
    {
        TIniFile32 ini(b.store(), file);
        auto blank = [&](int n) { return !BookmarkSlot(ini, page, BookmarkFile::SlotKey(n)).isFilled(); };
        if (!blank(BookmarkFile::SlotNumber(slot))) {
            target.clear();
            for (int n = 1; n <= BookmarkFile::kMaxSlots && target.isEmpty(); ++n)
                if (blank(n))
                    target = BookmarkFile::SlotKey(n);
        }
    }
    if (target.isEmpty())
        throw CommandError(QStringLiteral("Page \"%1\" has no blank slot left for \"%2\"; it stays carried.")
                               .arg(AnsiText::toUi(page), AnsiText::toUi(carried[F::Title])));
    setRecord(carried);
    WriteButton(page, target);
}

void RecordOps::FileCopy(const QByteArray& source, const QByteArray& destination)
{
    QFile in(PathNames::toQt(source));
    if (!PathNames::fileExists(source) || !in.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file %1").arg(in.fileName()));
    // A file copied onto itself (by another name, or through a link) stays
    // as it is.
    const QFileInfo to(PathNames::toQt(destination));
    if (to.exists() && to.canonicalFilePath() == QFileInfo(in).canonicalFilePath())
        throw FileError(QStringLiteral("Cannot copy %1 onto itself").arg(in.fileName()));
    // The copy is as private as its source.
    IniStore::writeAtomically(destination, in.readAll(), source);
}

QByteArray RecordOps::backupName(const QByteArray& bookmarkFile)
{
    return PathNames::stem(bookmarkFile) + ".bak";
}

void RecordOps::takeBackup()
{
    Board& b = m_board;
    if (!b.state().checked(MenuItem::MBackup))
        return;
    const QByteArray file = b.files().BookmarkFileName();
    // A file that is not there yet has nothing to keep.
    if (!PathNames::fileExists(file))
        return;
    FileCopy(file, backupName(file));
    // Files that share a stem share a backup: undo must know whose it is.
    if (m_backupOf.isNull())
        m_backupOf = b.files().read(SettingsFile::BackupOf);
    if (m_backupOf != file) {
        b.files().write(SettingsFile::BackupOf, file);
        m_backupOf = file;
    }
}

QString RecordOps::foreignBackup(const QByteArray& file) const
{
    const QByteArray backup = backupName(file);
    const QByteArray of = m_board.files().read(SettingsFile::BackupOf);
    const QString name = PathNames::toQt(PathNames::fileName(backup));
    if (!of.isEmpty()) {
        if (of == file)
            return {};
        return QStringLiteral("The backup \"%1\" was taken of \"%2\", not of the open file \"%3\"; "
                              "nothing was restored.")
            .arg(name, PathNames::toQt(of), PathNames::toQt(PathNames::fileName(file)));
    }
    // A backup of an older version, which kept no owner: it is only taken for
    // the open file's when no other bookmark file could have made it.
    const QString stem = PathNames::toQt(PathNames::fileName(PathNames::stem(file)));
    const QDir dir(PathNames::toQt(PathNames::folder(file).isEmpty() ? QByteArray(".") : PathNames::folder(file)));
    for (const QString& other : dir.entryList({stem + QStringLiteral(".*")}, QDir::Files)) {
        if (other == PathNames::toQt(PathNames::fileName(file)) ||
            !other.endsWith(QLatin1String(".lyk"), Qt::CaseInsensitive))
            continue;
        return QStringLiteral("The backup \"%1\" may have been taken of \"%2\", not of the open file \"%3\"; "
                              "nothing was restored.")
            .arg(name, other, PathNames::toQt(PathNames::fileName(file)));
    }
    return {};
}

void RecordOps::MBackupClick()
{
    Board& b = m_board;
    const bool on = !b.state().checked(MenuItem::MBackup);
    b.state().setChecked(MenuItem::MBackup, on);
    b.state().setEnabled(MenuItem::MUndo, on);
    b.files().write(SettingsFile::AutoBackup, SettingsFile::onOff(on));
}

void RecordOps::MUndoClick()
{
    Board& b = m_board;
    const QByteArray file = b.files().BookmarkFileName();
    const QByteArray backup = backupName(file);
    // Copied back over the file itself: the stem + ".LYK" of old would be
    // another file where names differ in letter case.
    if (PathNames::fileExists(backup)) {
        const QString refusal = foreignBackup(file);
        if (!refusal.isEmpty()) {
            b.ui().message(refusal, Prompter::Type::Warning, Prompter::Buttons::Ok);
            return;
        }
        FileCopy(backup, file);
    }
    b.vars().FirstBuild = true;
    {
        TIniFile32 ini(b.store(), file);
        b.state().setTabs({BookmarkFile::FirstPageName(ini)}, 0);
    }
    b.pages().Load(b.state().currentPage());
    b.FormCaption();
}
