#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The menu items and tool-bar buttons whose state (check mark, enabled,
// shown) the board keeps, named as the windows name them: a name the
// compiler does not know is no item.
enum class MenuItem {
    MAutoRun,
    MBIcon,
    MBNotes,
    MBUrl,
    MBackup,
    MColumn2,
    MColumn3,
    MColumn4,
    MHide,
    MMRU,
    MMini,
    MMultiple,
    MNewDlg,
    MPagePass,
    MPutBookmarks, // "Put Bookmarks Here": shown while selected bookmarks are carried
    MPutPage,      // "Put Page Here": shown while a page is carried
    MSingle,
    MStartBar,
    MStartSmall,
    MUndo,
    MWebDlg,
    MWebIcon,
    MultButton,
    SingleButton,
};

namespace MenuItems {

constexpr int kCount = static_cast<int>(MenuItem::SingleButton) + 1;
// "MBIcon" for MenuItem::MBIcon.
const char* nameOf(MenuItem item);
// The item a window component of that name shows; nothing for a component
// that has no state of its own.
std::optional<MenuItem> named(QByteArrayView name);

} // namespace MenuItems
