#include "FileCommands.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "FileError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "OldBookmarkFile.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageMerge.h"
#include "Passwords.h"
#include "PathNames.h"
#include "RecordOps.h"
#include "RemovableVolumes.h"
#include "SettingsFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The file pickers start in the data folder.
FileRequest request(Board& b, const QString& title, const QString& filter)
{
    FileRequest r;
    r.title = title;
    r.filter = filter;
    r.startFolder = PathNames::toQt(b.files().ProgramDir());
    return r;
}

QByteArray chosenPath(const QString& picked)
{
    return PathNames::fromQt(picked);
}

bool sameFile(const QByteArray& a, const QByteArray& b)
{
    const QFileInfo x(PathNames::toQt(a));
    const QFileInfo y(PathNames::toQt(b));
    if (x.exists() && y.exists())
        return x.canonicalFilePath() == y.canonicalFilePath();
    return x.absoluteFilePath() == y.absoluteFilePath();
}

void copyIfThere(const QByteArray& source, const QByteArray& destination)
{
    if (PathNames::fileExists(source))
        RecordOps::FileCopy(source, destination);
}

QString quotedName(const QByteArray& path)
{
    return QLatin1Char('"') + PathNames::toQt(PathNames::fileName(path)) + QLatin1Char('"');
}

// A file is named by its name up to the first dot: "Work.2024.lyk" is
// Work.lyk. Said before a question about the file, when the name typed is
// not the name it gets.
QString becomes(const QByteArray& typed, const QByteArray& path)
{
    if (PathNames::fileName(typed) == PathNames::fileName(path))
        return {};
    return QStringLiteral("%1 becomes %2 (a bookmark file's name ends at its first dot). ")
        .arg(quotedName(typed), quotedName(path));
}

bool yes(Board& b, const QString& question)
{
    return b.ui().message(question, Prompter::Type::Confirmation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
}

QByteArray companionOf(const QByteArray& bookmarkFile)
{
    const QByteArray stem = PathNames::stem(bookmarkFile);
    return PathNames::findNoCase(PathNames::folder(stem), PathNames::fileName(stem) + ".DAT");
}

} // namespace

QByteArray FileCommands::bookmarkFileOf(const QByteArray& chosen)
{
    const QByteArray stem = PathNames::stem(chosen);
    return PathNames::findNoCase(PathNames::folder(stem), PathNames::fileName(stem) + ".lyk");
}

bool FileCommands::isCurrent(const QByteArray& path) const
{
    return sameFile(path, m_board.files().BookmarkFileName());
}

void FileCommands::switchTo(const QByteArray& path, Outgoing outgoing)
{
    Board& b = m_board;
    if (PathNames::fileExists(path))
        BookmarkFile::CheckReadable(path);
    const QByteArray old = b.files().BookmarkFileName();
    if (outgoing == Outgoing::Write) {
        try {
            b.FormClose();
        } catch (const FileError&) {
            // The list was written whenever it changed; a file whose disk is
            // gone must not keep the user from opening another one.
        }
    }
    if (b.MruList2().items().contains(old))
        b.MruList2().add(old);
    b.PagePassBox().clear();
    b.files().setBookmarkFileName(path);
    b.passwords().readPagePasswords();
    b.files().write(SettingsFile::FileName, path);
    b.vars().FirstBuild = true;
    {
        TIniFile32 ini(b.store(), path);
        b.state().setTabs({BookmarkFile::FirstPageName(ini)}, 0);
    }
    b.pages().Load(b.state().currentPage());
    b.FormCaption();
}

void FileCommands::MFNewClick()
{
    Board& b = m_board;
    const QString picked = b.ui().saveFile(
        request(b, QStringLiteral("Enter New File Name"), QString::fromLatin1(BookmarkFile::kFileFilter)));
    if (picked.isEmpty())
        return;
    const QByteArray typed = chosenPath(picked);
    const QByteArray path = bookmarkFileOf(typed);
    if (PathNames::fileExists(path)) {
        BookmarkFile::CheckReadable(path);
        // Its pages would drop out of its page list.
        if (!yes(b, becomes(typed, path) +
                        QStringLiteral("%1 already exists. Creating it anew resets its page list to Page1 .. Page10: "
                                       "pages of other names are no longer listed, though their bookmarks stay in "
                                       "the file. Do you want to reset it?")
                            .arg(quotedName(path))))
            return;
    }
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        BookmarkFile::WriteNewFileTabs(ini);
        batch.commit();
    }
    switchTo(path);
}

void FileCommands::MFOpenClick()
{
    Board& b = m_board;
    const QString picked =
        b.ui().openFile(request(b, QStringLiteral("Select Lynkor File"), QStringLiteral("Lynkor Files|*.LYK;*.KVK")));
    if (picked.isEmpty())
        return;
    openPath(chosenPath(picked));
}

void FileCommands::openPath(const QByteArray& chosen)
{
    Board& b = m_board;
    QByteArray path = chosen;
    if (!PathNames::nameHasDot(path)) {
        b.ui().message(QStringLiteral("Please use Create New File to create a new file."), Prompter::Type::Information,
                       Prompter::Buttons::Ok);
        return;
    }
    BookmarkFile::CheckReadable(path);
    if (AnsiText::toLower(PathNames::extension(path).left(3)) == "kvk") {
        const QByteArray stem = PathNames::stem(path);
        const QByteArray converted = PathNames::findNoCase(PathNames::folder(stem), PathNames::fileName(stem) + ".LYK");
        const bool convert =
            !PathNames::fileExists(converted) ||
            b.ui().message(QStringLiteral("Converted file already exists, do you want to overwrite it?"),
                           Prompter::Type::Information, Prompter::Buttons::YesNoHelp,
                           kHelpOpen) == Prompter::Answer::Yes;
        if (convert) {
            b.ui().setCursor(ScreenCursor::HourGlass);
            b.state().setTitle(QStringLiteral("Copying and Converting old bookmarks..."));
            OldBookmarkFile::OldToNew(b.store(), path, converted);
            b.ui().setCursor(ScreenCursor::Default);
        }
        path = converted;
        BookmarkFile::CheckReadable(path);
    }

    Outgoing outgoing = Outgoing::Write;
    const QByteArray programDir = b.files().ProgramDir();
    if (!sameFile(PathNames::folder(path), programDir) &&
        b.ui().message(QStringLiteral("Would you like to copy this data file to the Lynkor directory"),
                       Prompter::Type::Information, Prompter::Buttons::YesNoHelp, kHelpOpen) == Prompter::Answer::Yes) {
        const QByteArray name = PathNames::fileName(path);
        const QByteArray target = PathNames::findNoCase(programDir, name);
        const bool copy =
            !PathNames::fileExists(target) ||
            b.ui().message(QStringLiteral("A file named %1 already exists in the Lynkor directory, do you want to "
                                          "replace it?")
                               .arg(AnsiText::toUi(PathNames::fileName(target))),
                           Prompter::Type::Information, Prompter::Buttons::YesNoHelp,
                           kHelpOpen) == Prompter::Answer::Yes;
        if (copy) {
            // The open file itself is replaced: its page passwords are
            // written before, not into the copy.
            if (isCurrent(target)) {
                b.FormClose();
                outgoing = Outgoing::AlreadyWritten;
            }
            RecordOps::FileCopy(path, target);
            path = target;
        }
    }
    switchTo(path, outgoing);
}

void FileCommands::MFSaveAsClick(Keep keep)
{
    Board& b = m_board;
    // The picker asks nothing itself: the name typed is not always the name
    // the file gets, and the question is about the files that are written.
    const QString picked = b.ui().saveFile(
        request(b, QStringLiteral("Enter New File Name"), QString::fromLatin1(BookmarkFile::kFileFilter)));
    if (picked.isEmpty())
        return;
    const QByteArray old = b.files().BookmarkFileName();
    const QByteArray typed = chosenPath(picked);
    const QByteArray path = bookmarkFileOf(typed);
    if (isCurrent(path)) {
        b.ui().message(QStringLiteral("\"%1\" is the file in use; please choose another name.")
                           .arg(PathNames::toQt(PathNames::fileName(path))),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    const QByteArray oldData = companionOf(old);
    const QByteArray newData = companionOf(path);
    QStringList replaced;
    if (QFileInfo::exists(PathNames::toQt(path)))
        replaced << quotedName(path);
    if (PathNames::fileExists(oldData) && QFileInfo::exists(PathNames::toQt(newData)))
        replaced << quotedName(newData);
    if (!replaced.isEmpty() &&
        !yes(b, becomes(typed, path) + (replaced.size() == 1 ? QStringLiteral("%1 already exists. Do you want to "
                                                                              "replace it?")
                                                                   .arg(replaced.front())
                                                             : QStringLiteral("%1 already exist. Do you want to "
                                                                              "replace them?")
                                                                   .arg(replaced.join(QStringLiteral(" and "))))))
        return;
    // The page passwords go along with the file.
    b.FormClose();
    RecordOps::FileCopy(old, path);
    copyIfThere(oldData, newData);
    if (keep == Keep::NewOnly) {
        for (const QByteArray& gone : {old, oldData}) {
            if (PathNames::fileExists(gone) && !QFile::remove(PathNames::toQt(gone)))
                b.ui().message(QStringLiteral("\"%1\" could not be removed; it stays beside the new file.")
                                   .arg(PathNames::toQt(gone)),
                               Prompter::Type::Warning, Prompter::Buttons::Ok);
        }
        b.MruList2().remove(old);
    }
    b.files().setBookmarkFileName(path);
    b.MruList1().setFile(path);
    b.files().write(SettingsFile::FileName, path);
    b.MruList2().setFile(b.files().recentFilesPath());
    b.MruList2().add(path);
    b.MruList2().save(b.store());
    b.showRecent();
    b.FormCaption();
}

void FileCommands::MFDeleteClick()
{
    Board& b = m_board;
    const QString picked = b.ui().openFile(
        request(b, QStringLiteral("Select File to Delete"),
                QStringLiteral("Lynkor Files|*.LYK; *.KVK|All Files|*.*|Backup Files|*.BAK|Temp Files|*.~??")));
    if (picked.isEmpty())
        return;
    const QByteArray path = chosenPath(picked);
    if (isCurrent(path)) {
        b.ui().message(QStringLiteral("You cannot delete [ %1 ] while it is in use by Lynkor.")
                           .arg(PathNames::toQt(PathNames::fileName(PathNames::stem(path)))),
                       Prompter::Type::Error, Prompter::Buttons::Ok);
        return;
    }
    if (b.ui().message(
            QStringLiteral("Are you sure you want to delete [ %1 ]?").arg(PathNames::toQt(PathNames::fileName(path))),
            Prompter::Type::Information, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    if (!QFile::remove(PathNames::toQt(path))) {
        b.ui().message(QStringLiteral("\"%1\" could not be deleted.").arg(PathNames::toQt(path)), Prompter::Type::Error,
                       Prompter::Buttons::Ok);
        return;
    }
    if (b.MruList2().items().contains(path)) {
        b.MruList2().remove(path);
        b.MruList2().save(b.store());
        b.showRecent();
    }
}

void FileCommands::MFMergeClick()
{
    Board& b = m_board;
    const QString picked = b.ui().openFile(
        request(b, QStringLiteral("Select Lynkor File"), QString::fromLatin1(BookmarkFile::kFileFilter)));
    if (picked.isEmpty())
        return;
    const QByteArray other = chosenPath(picked);
    BookmarkFile::CheckReadable(other);
    std::vector<QByteArray> pages;
    {
        const TIniFile32 ini(b.store(), other);
        if (!ini.ReadString(BookmarkFile::kTabs, BookmarkFile::kFilePassword, {}).isEmpty() ||
            !ini.ReadString(BookmarkFile::kProgram, BookmarkFile::kVersion, {}).isEmpty()) {
            b.ui().message(QStringLiteral("The file you selected is Password Protected!"), Prompter::Type::Information,
                           Prompter::Buttons::Ok);
            return;
        }
        pages = BookmarkFile::ReadPageList(ini);
    }
    ChoiceRequest request;
    request.title = QStringLiteral("Merge Files");
    request.buttons = {QStringLiteral("Match"), QStringLiteral("Add")};
    request.lines = {QStringLiteral("Match = Merge all matching Page Tabs."),
                     QStringLiteral("Add  = Merge all Page Tabs including new ones.")};
    const int answer = b.ui().choice(request);
    if (answer != 0 && answer != 1)
        return;
    b.records().takeBackup();
    b.ui().setCursor(ScreenCursor::HourGlass);
    const QByteArray path = b.files().BookmarkFileName();
    {
        IniBatch batch(b.store(), path);
        const std::vector<QByteArray> tabs = [&] {
            const TIniFile32 ini(b.store(), path);
            return b.pageCommands().ReadTabs(ini);
        }();
        for (const QByteArray& page : pages) {
            if (answer == 1) {
                b.pageMerge().MergePage(page, page, other, path, PageMerge::Missing::Add);
                continue;
            }
            for (const QByteArray& tab : tabs) {
                if (AnsiText::equalsNoCase(tab, page)) {
                    b.pageMerge().MergePage(page, tab, other, path);
                    break;
                }
            }
        }
        batch.commit();
    }
    b.ui().setCursor(ScreenCursor::Default);
    b.pages().LoadCurrent();
}

void FileCommands::refreshVolumes()
{
    Board& b = m_board;
    b.state().setVolumes(RemovableVolumes::mounted(), b.files().read(SettingsFile::DiskVolume));
}

void FileCommands::MADriveClick(const QByteArray& volume)
{
    m_board.files().write(SettingsFile::DiskVolume, volume);
    refreshVolumes();
    DiskButtonClick();
}

void FileCommands::DiskButtonClick()
{
    Board& b = m_board;
    ProgramFiles& files = b.files();
    const QByteArray volume = files.read(SettingsFile::DiskVolume);
    if (!RemovableVolumes::answers(volume)) {
        const QString where = volume.isEmpty() ? QStringLiteral("chosen") : PathNames::toQt(volume) + QLatin1Char('/');
        b.ui().message(QStringLiteral("Drive not responding!\nYou may need to put a diskette in the %1 Drive, then "
                                      "press the copy button again.\nOr select a different drive under the File "
                                      "Menu : Copy Program to Diskette.")
                           .arg(where),
                       Prompter::Type::Warning, Prompter::Buttons::Ok);
        return;
    }
    const QByteArray root = volume + '/';
    const QByteArray dir = files.ProgramDir();
    const QByteArray stem = files.SettingsStem();
    b.ui().setCursor(ScreenCursor::HourGlass);
    copyIfThere(files.settingsPath(), root + "LYK.INI");
    copyIfThere(files.fixedFile("User.BMP"), root + "User.BMP");
    copyIfThere(PathNames::findNoCase(dir, stem + ".BMP"), root + "User.BMP");
    QByteArray search = files.read(SettingsFile::SearchName);
    if (search.isEmpty())
        search = files.BookmarkFileName() + ".ISE";
    copyIfThere(search, root + "Disk.ISE");
    copyIfThere(search, root + PathNames::fileName(search));
    const QByteArray bookmarks = files.BookmarkFileName();
    copyIfThere(bookmarks, root + "Disk.LYK");
    copyIfThere(bookmarks, root + PathNames::fileName(bookmarks));
    b.ui().setCursor(ScreenCursor::Default);
    if (b.ui().message(QStringLiteral("Do you want to copy your User Information and e-mail addresses to floppy as "
                                      "well?"),
                       Prompter::Type::Confirmation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes)
        copyIfThere(files.userFilePath(), root + "LYK.USE");
    // The copy starts from its disk copy of the bookmark file.
    TIniFile32 ini(b.store(), root + "LYK.INI");
    SettingsFile::TempName.write(ini, SettingsFile::kDisk);
}
