#pragma once

#include <QByteArray>

// Keys and defaults of the settings file ("lyk.ini" or <stem>.INI). On/off
// options hold "On"/"Off" and yes/no options "Yes"/"No"; a key counts as off
// only when it holds exactly "Off" (or "No"), so a missing key means on.
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

inline bool isOff(const QByteArray& v) { return v == Off; }
inline QByteArray onOff(bool on) { return on ? On : Off; }

// Location
inline const QByteArray kLocation = "Location";
inline const QByteArray kTop = "Top";
inline const QByteArray kLeft = "Left";
inline const QByteArray kWidth = "Width";
inline const QByteArray kTray = "Tray";
inline const QByteArray kShowHint = "ShowHint";
constexpr int kDefaultWidth = 620;
constexpr int kFirstRunTop = 50;
constexpr int kFirstRunLeft = 100;
constexpr int kSmallScreenPosition = 2;
constexpr int kSmallScreenHeight = 500;
constexpr int kNormalHeight = 469;
constexpr int kMiniHeight = 88;

inline const QByteArray kWindow = "Window";
inline const QByteArray kState = "State";
inline const QByteArray kNorm = "Norm";
inline const QByteArray kMin = "Min";

inline const QByteArray kColumn = "Column";
inline const QByteArray kCount = "Count";
constexpr int kDefaultColumns = 4;

inline const QByteArray kFile = "File";
inline const QByteArray kName = "Name";
inline const QByteArray kTempName = "TempName";
inline const QByteArray kDisk = "Disk";
inline const QByteArray kSearch = "Search";

inline const QByteArray kConfirm = "Confirm";
inline const QByteArray kDialog = "Dialog";
inline const QByteArray kWebIcon = "WebIcon";

inline const QByteArray kShow = "Show";
inline const QByteArray kPages = "Pages";
inline const QByteArray kMultiple = "Multiple";
inline const QByteArray kSingle = "Single";

inline const QByteArray kNotebook = "Notebook";
inline const QByteArray kTabs = "Tabs";
inline const QByteArray kFontName = "FontName";
inline const QByteArray kFontSize = "FontSize";
inline const QByteArray kFontColor = "FontColor";
inline const QByteArray kUnselectedColor = "UnselectedColor";
inline const QByteArray kSelectedColor = "SelectedColor";
inline const QByteArray kDefaultFontName = "Arial";
constexpr int kDefaultFontSize = 9;
constexpr int kDefaultFontColor = 0;
constexpr int kDefaultUnselectedColor = 11228244;
constexpr int kDefaultSelectedColor = 16744576;

inline const QByteArray kBrowser = "Browser";
inline const QByteArray kSelected = "Selected";

inline const QByteArray kAutoRun = "AutoRun";
inline const QByteArray kLoad = "Load";

inline const QByteArray kButton = "Button";
inline const QByteArray kIcons = "Icons";
inline const QByteArray kNotes = "Notes";
inline const QByteArray kUrl = "Url";

inline const QByteArray kAuto = "Auto";
inline const QByteArray kBackup = "Backup";
// The bookmark file the backup was last taken of (files sharing a stem share it).
inline const QByteArray kBackupOf = "BackupOf";

inline const QByteArray kMerge = "Merge";
inline const QByteArray kColor = "Color";
constexpr int kNoColorFilter = 111;

inline const QByteArray kHotKey = "HotKey";
inline const QByteArray kColors = "Colors";
inline const QByteArray kDefaultCustomColor = "FFFFFF";

inline const QByteArray kMRU = "MRU";

} // namespace SettingsFile
