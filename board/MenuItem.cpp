#include "MenuItem.h"

namespace {

constexpr const char* kNames[MenuItems::kCount] = {
    "MAutoRun", "MBIcon",    "MBNotes",     "MBUrl",     "MBackup", "MColumn2",  "MColumn3",      "MColumn4",
    "MHide",    "MMRU",      "MMini",       "MMultiple", "MNewDlg", "MPagePass", "MPutBookmarks", "MPutPage",
    "MSingle",  "MStartBar", "MStartSmall", "MUndo",     "MWebDlg", "MWebIcon",  "MultButton",    "SingleButton",
};

} // namespace

namespace MenuItems {

const char* nameOf(MenuItem item)
{
    return kNames[static_cast<int>(item)];
}

std::optional<MenuItem> named(QByteArrayView name)
{
    for (int i = 0; i < kCount; ++i)
        if (name == kNames[i])
            return static_cast<MenuItem>(i);
    return std::nullopt;
}

} // namespace MenuItems
