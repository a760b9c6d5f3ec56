#pragma once

#include "BookmarkRecord.h"
#include "IniFiles32.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The layout of a bookmark file (".LYK"): the page list, the file-wide keys
// and one section per page whose keys are slot key + field letter.
namespace BookmarkFile {

inline const QByteArray kTabs = "Tabs";
inline const QByteArray kCount = "Count";
inline const QByteArray kProgram = "Program";
inline const QByteArray kVersion = "Version";
inline const QByteArray kMRUX = "MRUX";
inline const QByteArray kTrack = "Track";
inline const QByteArray kMRU = "MRU";
inline const QByteArray kDefault = "Default";
inline const QByteArray kIconG = "IconG";
inline const QByteArray kIconI = "IconI";
// Marker keys of the password protection, Windows-1252 bytes.
inline const QByteArray kPagePasswords = "P_\xDF_\xB6_";
inline const QByteArray kFilePassword = "\xDF_\xB6__";

constexpr int kDefaultPageCount = 10;
constexpr int kDefaultIconG = 120;
constexpr int kRows = 20;
constexpr int kMaxSlots = 80;
// A page count beyond this is believed only as far as the file names its
// pages (a damaged count is no collection).
constexpr int kMaxPages = 10000;

inline const QByteArray kFileFilter = "Lynkor Files|*.LYK";
inline const QByteArray kDefaultFileName = "Disk.LYK";

// "01" .. "80".
QByteArray SlotKey(int slot);
// The slot number of a slot key or button name tail; 0 counts as 1.
int SlotNumber(const QByteArray& slotKey);
QByteArray FieldKey(const QByteArray& slotKey, BookmarkRecord::Field field);

QByteArray TabKey(int n);
std::vector<QByteArray> ReadPageList(const TIniFile32& ini);
std::vector<QByteArray> ReadPageList(const IniDocument& doc);
QByteArray FirstPageName(const TIniFile32& ini);
// Tab1 .. Tab<n> from names, then Count; keys beyond n stay.
void SaveTabs(TIniFile32& ini, const std::vector<QByteArray>& names);
// The page list of a new file: ten pages "Page1" .. "Page10".
void WriteNewFileTabs(TIniFile32& ini);

// A unique page name: "+" is appended while a tab of the list, or a section
// the file keeps for itself, has the name (Links, Links+, Links++). Names
// compare as the file compares section names, without regard to case: two
// tabs that differ only in case would share one section.
QByteArray DupePageName(const QByteArray& name, const std::vector<QByteArray>& tabs);
// Tabs, Program, MRU, MRUX, Default: no page may be one of them.
bool IsFileSection(const QByteArray& name);
// A page name as typed: blanks around it would not survive the file.
QByteArray PageNameOf(const QByteArray& typed);

// Beyond these a file is damaged or no bookmark file at all: opening it would
// take minutes and gigabytes for nothing.
constexpr qint64 kMaxFileBytes = qint64(64) << 20;
constexpr qsizetype kMaxLineBytes = qsizetype(1) << 20;
// Why a file is no bookmark file to open (too big, or a line too long that
// is no key's value in a section), in a sentence; empty when it may be opened.
QString UnfitReason(const QByteArray& path);

// Throws a command error with a clear message when path cannot be read as a
// bookmark file: not a regular readable file, or bytes that are no INI text
// (a NUL byte, or text with no section at all).
void CheckReadable(const QByteArray& path);

// Reads a slot: every field empty by default, except Glyph "0" and IconFile
// the Url; a blank slot reads only its Title and Url.
BookmarkRecord ReadBookmark(const TIniFile32& ini, const QByteArray& page, const QByteArray& slotKey);

// A Glyph text as an icon code. Legacy "Icon" + digits (5th..7th character)
// give d + 500 below 500, else d; "Image" + digits (6th..8th) give d.
// *legacy is set when the text was a legacy form (to be written back).
// Throws ConversionError "'%s' is not a valid integer value".
int GlyphCode(const QByteArray& text, bool* legacy);

// Delphi's StrToInt: optional blanks, sign and decimal digits, or "$"/"0x" hex.
int StrToInt(const QByteArray& text);

bool IsProtectedUrl(const QByteArray& url);

} // namespace BookmarkFile
