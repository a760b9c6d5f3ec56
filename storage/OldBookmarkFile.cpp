#include "OldBookmarkFile.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "IniDocument.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "PathNames.h"

#include <algorithm>
#include <vector>

namespace OldBookmarkFile {

namespace {

struct OldField
{
    const char* section;
    BookmarkRecord::Field field;
};

constexpr OldField kFields[] = {
    {"Names", BookmarkRecord::Title},        {"Parameters", BookmarkRecord::Url},
    {"Reminder1", BookmarkRecord::Notes},    {"Reminder2", BookmarkRecord::ExtraInfo},
    {"FontColor", BookmarkRecord::Color},    {"Updated", BookmarkRecord::Updated},
    {"AppLaunch", BookmarkRecord::LaunchAs},
};

} // namespace

QByteArray ConvertedName(const QByteArray& oldPath)
{
    return PathNames::stem(oldPath) + ".LYK";
}

void OldToNew(IniStore& store, const QByteArray& oldPath, const QByteArray& newPath)
{
    using namespace BookmarkFile;
    const TIniFile32 old(store, oldPath);
    const int count = std::clamp(old.ReadInteger(kPages, kCount, kDefaultPageCount), 1, kMaxPages);
    const QByteArray prefix = old.ReadString(kProgram, kInfo, {}).isEmpty() ? "SpeedButton" : "SB";

    // The converted file is made whole in memory and replaces what was there:
    // keys of an earlier file of that name must not mix with the old bookmarks.
    IniDocument doc = IniDocument::fromBytes({});
    std::vector<QByteArray> names;
    names.reserve(count);
    doc.writeString(kTabs, kCount, QByteArray::number(count));
    for (int p = 1; p <= count; ++p) {
        QByteArray name = PageNameOf(old.ReadString(kTabs, kPageTab + QByteArray::number(p), {}));
        if (name.isEmpty())
            name = "Page" + QByteArray::number(p);
        name = DupePageName(name, names);
        doc.writeString(kTabs, TabKey(p), name);
        names.push_back(name);
        for (int j = 1; j <= kSlotsPerPage; ++j) {
            const QByteArray key = prefix + QByteArray::number(kSlotsPerPage * (p - 1) + j);
            for (const OldField& f : kFields) {
                // A stray control character would break the line it is written to.
                const QByteArray value = AnsiText::oneLine(old.ReadString(f.section, key, {}));
                if (!value.isEmpty())
                    doc.writeString(name, FieldKey(SlotKey(j), f.field), value);
            }
        }
    }
    IniStore::writeAtomically(newPath, doc.toBytes(), oldPath);
}

} // namespace OldBookmarkFile
