#include "BookmarkFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include "AnsiText.h"
#include "CommandError.h"
#include "ConversionError.h"
#include "FileError.h"
#include "IniDocument.h"
#include "PassText.h"
#include "PathNames.h"

#include <QFile>

namespace BookmarkFile {

QByteArray SlotKey(int slot)
{
    QByteArray key = QByteArray::number(slot);
    return key.size() < 2 ? "0" + key : key;
}

int SlotNumber(const QByteArray& slotKey)
{
    int n = slotKey.toInt();
    return n < 1 ? 1 : n;
}

QByteArray FieldKey(const QByteArray& slotKey, BookmarkRecord::Field field)
{
    return slotKey + BookmarkRecord::kLetters[field];
}

QByteArray TabKey(int n)
{
    return "Tab" + QByteArray::number(n);
}

std::vector<QByteArray> ReadPageList(const TIniFile32& ini)
{
    return ReadPageList(ini.document());
}

std::vector<QByteArray> ReadPageList(const IniDocument& doc)
{
    bool ok = false;
    int count = TIniFile32::toInteger(doc.readString(kTabs, kCount, {}), &ok);
    if (!ok)
        count = kDefaultPageCount;
    // Past kMaxPages a count is believed as far as the file names pages: a
    // collection that big is reached page by page, a count damaged to
    // billions would make billions of names.
    if (count > kMaxPages) {
        const std::vector<QByteArray>* tabs = doc.sectionBody(kTabs);
        count = std::min(count, std::max(kMaxPages, tabs ? int(tabs->size()) : 0));
    }
    std::vector<QByteArray> names;
    names.reserve(count > 0 ? count : 1);
    names.push_back(doc.readString(kTabs, TabKey(1), "Page1"));
    for (int n = 2; n <= count; ++n)
        names.push_back(doc.readString(kTabs, TabKey(n), "Page" + QByteArray::number(n)));
    return names;
}

QByteArray FirstPageName(const TIniFile32& ini)
{
    return ini.ReadString(kTabs, TabKey(1), "Page1");
}

void SaveTabs(TIniFile32& ini, const std::vector<QByteArray>& names)
{
    for (size_t i = 0; i < names.size(); ++i)
        ini.WriteString(kTabs, TabKey(static_cast<int>(i) + 1), names[i]);
    ini.WriteInteger(kTabs, kCount, static_cast<int>(names.size()));
}

void WriteNewFileTabs(TIniFile32& ini)
{
    ini.WriteInteger(kTabs, kCount, kDefaultPageCount);
    for (int i = 1; i <= kDefaultPageCount; ++i)
        ini.WriteString(kTabs, TabKey(i), "Page" + QByteArray::number(i));
}

bool IsFileSection(const QByteArray& name)
{
    for (const QByteArray& own : {kTabs, kProgram, kMRU, kMRUX, kDefault})
        if (AnsiText::equalsNoCase(name, own))
            return true;
    return false;
}

QByteArray DupePageName(const QByteArray& name, const std::vector<QByteArray>& tabs)
{
    QByteArray candidate = name;
    auto taken = [&tabs](const QByteArray& c) {
        if (IsFileSection(c))
            return true;
        const QByteArray folded = AnsiText::foldCase(c);
        for (const QByteArray& tab : tabs)
            if (AnsiText::foldCase(tab) == folded)
                return true;
        return false;
    };
    while (taken(candidate))
        candidate += '+';
    return candidate;
}

QByteArray PageNameOf(const QByteArray& typed)
{
    return IniDocument::trimmed(AnsiText::oneLine(typed));
}

QString UnfitReason(const QByteArray& path)
{
    const QString name = PathNames::toQt(path);
    const QFileInfo info(name);
    if (!info.isFile())
        return {};
    if (info.size() > kMaxFileBytes)
        return QStringLiteral("\"%1\" is %2 MB: too big to be a Lynkor bookmark file (they stay below %3 MB).")
            .arg(name)
            .arg(info.size() >> 20)
            .arg(kMaxFileBytes >> 20);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    // A long value (a title, a note) is a bookmark's business; any other line
    // that long (before the first section, a header, a line without "=") is
    // no bookmark file's.
    bool inSection = false;
    QString unfit;
    IniDocument::forEachLine(bytes, [&](QByteArrayView line, bool header) {
        if (!unfit.isEmpty())
            return;
        if (line.size() > kMaxLineBytes &&
            (header || !inSection || !memchr(line.data(), '=', size_t(std::min(line.size(), kMaxLineBytes)))))
            unfit = QStringLiteral("\"%1\" has a line of %2 MB that holds no bookmark: it is damaged or no Lynkor "
                                   "bookmark file.")
                        .arg(name)
                        .arg(line.size() >> 20);
        if (header)
            inSection = true;
    });
    return unfit;
}

void CheckReadable(const QByteArray& path)
{
    const QString name = PathNames::toQt(path);
    if (const QString unfit = UnfitReason(path); !unfit.isEmpty())
        throw CommandError(unfit + QStringLiteral(" Nothing was changed."));
    QFile file(name);
    if (!PathNames::fileExists(path) || !file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file %1").arg(name));
    const QByteArray bytes = file.readAll();
    bool hasSection = false;
    for (qsizetype at = 0; at < bytes.size() && !hasSection;) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        hasSection = IniDocument::isSectionHeader(bytes.mid(at, end - at));
        at = end + 1;
    }
    if (bytes.contains('\0') || (!hasSection && !IniDocument::trimmed(bytes).isEmpty()))
        throw CommandError(QStringLiteral("\"%1\" is not a Lynkor bookmark file; nothing was changed.").arg(name));
}

BookmarkRecord ReadBookmark(const TIniFile32& ini, const QByteArray& page, const QByteArray& slotKey)
{
    using F = BookmarkRecord;
    BookmarkRecord r;
    r[F::Title] = ini.ReadString(page, FieldKey(slotKey, F::Title), {});
    r[F::Url] = ini.ReadString(page, FieldKey(slotKey, F::Url), {});
    if (r[F::Url].isEmpty())
        return r;
    for (int f = F::Color; f < F::kFieldCount; ++f) {
        auto field = static_cast<F::Field>(f);
        QByteArray def;
        if (field == F::Glyph)
            def = "0";
        else if (field == F::IconFile)
            def = r[F::Url];
        r[field] = ini.ReadString(page, FieldKey(slotKey, field), def);
    }
    return r;
}

int StrToInt(const QByteArray& text)
{
    bool ok = false;
    int v = TIniFile32::toInteger(text, &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(AnsiText::toUi(text)));
    return v;
}

int GlyphCode(const QByteArray& text, bool* legacy)
{
    *legacy = false;
    if (text.startsWith("Icon")) {
        *legacy = true;
        int d = StrToInt(text.mid(4, 3));
        return d < 500 ? d + 500 : d;
    }
    if (text.startsWith("Image")) {
        *legacy = true;
        return StrToInt(text.mid(5, 3));
    }
    return StrToInt(text);
}

bool IsProtectedUrl(const QByteArray& url)
{
    return PassText::isProtected(url);
}

} // namespace BookmarkFile
