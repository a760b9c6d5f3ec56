#include "ToolTip.h"

#include "BookmarkFile.h"
#include "NotesText.h"

namespace ToolTip {

QByteArray build(const QByteArray& url, const QByteArray& storedNotes, bool showUrl, bool showNotes, bool wrap)
{
    if (BookmarkFile::IsProtectedUrl(url))
        return kPasswordProtected;
    QByteArray notes;
    if (showNotes && !storedNotes.isEmpty()) {
        notes = NotesText::AddReturn(storedNotes);
        if (wrap)
            notes = NotesText::Wrap(notes);
    }
    const QByteArray address = showUrl ? url : QByteArray();
    if (!address.isEmpty() && !notes.isEmpty())
        return address + '\r' + notes;
    return notes.isEmpty() ? address : notes;
}

} // namespace ToolTip
