#pragma once

#include "Setting.h"

#include <QByteArray>

// The settings file ("lyk.ini" or <stem>.INI): every key with its section and
// its default, each in this one table. On/off options hold "On"/"Off" and
// yes/no options "Yes"/"No"; a key counts as off only when it holds exactly
// "Off" (or "No"), so a missing key means on.
namespace SettingsFile {

inline const QByteArray kDefaultStem = "LYK";
inline const QByteArray kExtension = ".INI";
// The spelling a new default settings file gets.
inline const QByteArray kDefaultFileName = "lyk.ini";
inline const QByteArray kLegacyFileName = "kv.ini";
inline const QByteArray kUserFileName = "lyk.use";
inline const QByteArray kLegacyUserFileName = "kv.use";

inline const QByteArray On = "On";
inline const QByteArray Off = "Off";
inline const QByteArray Yes = "Yes";
inline const QByteArray No = "No";

inline bool isOff(const QByteArray& v)
{
    return v == Off;
}
inline QByteArray onOff(bool on)
{
    return on ? On : Off;
}

// The window.
inline constexpr Setting Top{"Location", "Top", "0"};
inline constexpr Setting Left{"Location", "Left", "0"};
inline constexpr Setting Width{"Location", "Width", "620"};
// What a launch does to the window: "Yes" (tray), "Bar", "Mini", "Hide", "No".
inline constexpr Setting Tray{"Location", "Tray", "No"};
inline constexpr Setting ShowHint{"Location", "ShowHint", ""};
inline constexpr Setting WindowState{"Window", "State", ""};
inline const QByteArray kNorm = "Norm";
inline const QByteArray kMin = "Min";
// The height is not stored: normal, and mini mode's.
constexpr int kNormalHeight = 469;
constexpr int kMiniHeight = 88;
// Where a first run puts the window (on a low screen: 2, 2).
constexpr int kFirstRunTop = 50;
constexpr int kFirstRunLeft = 100;
constexpr int kSmallScreenPosition = 2;
constexpr int kSmallScreenHeight = 500;

// The board.
inline constexpr Setting Columns{"Column", "Count", "4"};
inline constexpr Setting ButtonFontName{"Notebook", "FontName", "Arial"};
inline constexpr Setting ButtonFontSize{"Notebook", "FontSize", "9"};
inline constexpr Setting ButtonFontColor{"Notebook", "FontColor", "0"};
inline constexpr Setting TabFontName{"Tabs", "FontName", "Arial"};
inline constexpr Setting TabFontSize{"Tabs", "FontSize", "9"};
inline constexpr Setting TabFontColor{"Tabs", "FontColor", "0"};
inline constexpr Setting TabUnselectedColor{"Tabs", "UnselectedColor", "11228244"};
inline constexpr Setting TabSelectedColor{"Tabs", "SelectedColor", "16744576"};
inline constexpr Setting ButtonIcons{"Button", "Icons", "On"};
inline constexpr Setting ButtonNotes{"Button", "Notes", "On"};
inline constexpr Setting ButtonUrl{"Button", "Url", "On"};

// The bookmark file and its companions.
inline constexpr Setting FileName{"File", "Name", ""};
// "Disk" while the disk copy of the bookmark file is in use.
inline constexpr Setting TempName{"File", "TempName", ""};
inline const QByteArray kDisk = "Disk";
inline constexpr Setting SearchName{"Search", "Name", ""};

// Options of the menus.
inline constexpr Setting ConfirmErase{"Confirm", "Dialog", "On"};
inline constexpr Setting ConfirmWebIcon{"Confirm", "WebIcon", "On"};
inline constexpr Setting WebIconSearch{"WebIcon", "Search", "On"};
inline constexpr Setting AutoBackup{"Auto", "Backup", "On"};
// The bookmark file the backup was last taken of (files sharing a stem share it).
inline constexpr Setting BackupOf{"Auto", "BackupOf", ""};
inline constexpr Setting AutoRunLoad{"AutoRun", "Load", "No"};
inline constexpr Setting ShowPages{"Show", "Pages", "Multiple"};
inline const QByteArray kMultiple = "Multiple";
inline const QByteArray kSingle = "Single";
inline constexpr Setting MergeColor{"Merge", "Color", "111"};
// The removable volume the program is copied to (its top folder).
inline constexpr Setting DiskVolume{"Disk", "Volume", ""};
// The link checker: links asked at a time, and the user agent it sends.
inline constexpr Setting LinkCheckParallel{"LinkCheck", "Parallel", "8"};
inline constexpr Setting LinkCheckUserAgent{"LinkCheck", "UserAgent", "Mozilla/3.0 (compatible)"};

// The browsers: Count, Selected, and the paths under "1" .. Count.
inline constexpr Setting BrowserCount{"Browser", "Count", "0"};
inline constexpr Setting BrowserSelected{"Browser", "Selected", "1"};
inline const QByteArray kBrowser = "Browser";
// The DevTools port of the browser link on 127.0.0.1.
inline constexpr Setting DevToolsPort{"Browser", "DevToolsPort", "9222"};

// Sections whose keys are numbered or lettered.
inline const QByteArray kHotKey = "HotKey"; // Key<n>, Shift<n>, D<n>
inline const QByteArray kColors = "Colors"; // ColorA .. ColorP
inline const QByteArray kDefaultCustomColor = "FFFFFF";
inline const QByteArray kMRU = "MRU";
// Sites whose address question is not asked again: site=Yes or site=No, the
// answer kept for them.
inline const QByteArray kDontAsk = "DontAsk";

} // namespace SettingsFile
