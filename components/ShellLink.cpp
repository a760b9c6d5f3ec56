#include "ShellLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <optional>

namespace {

constexpr qint64 HeaderSize = 0x4C;
constexpr unsigned char LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// No real link comes near this; a huge file dropped by mistake is not read whole.
constexpr qint64 MaxFileBytes = 1 << 20;

// LinkFlags
constexpr quint32 HasLinkTargetIDList = 0x1;
constexpr quint32 HasLinkInfo = 0x2;
constexpr quint32 HasName = 0x4;
constexpr quint32 HasRelativePath = 0x8;
constexpr quint32 HasWorkingDir = 0x10;
constexpr quint32 HasArguments = 0x20;
constexpr quint32 HasIconLocation = 0x40;
constexpr quint32 IsUnicode = 0x80;
constexpr quint32 ForceNoLinkInfo = 0x100;

// LinkInfo
constexpr qint64 LinkInfoMinHeader = 0x1C;
constexpr qint64 LinkInfoUnicodeHeader = 0x24; // from here on the Unicode offsets exist
constexpr quint32 VolumeIDAndLocalBasePath = 0x1;
constexpr quint32 CommonNetworkRelativeLinkAndPathSuffix = 0x2;

// CommonNetworkRelativeLink
constexpr qint64 NetLinkMinSize = 0x14;
constexpr qint64 NetLinkUnicodeSize = 0x1C;

// EnvironmentVariableDataBlock
constexpr quint32 EnvironmentSignature = 0xA0000001;
constexpr qint64 EnvironmentBlockSize = 0x314;
constexpr qint64 EnvironmentAnsiSize = 260;
constexpr qint64 EnvironmentUnicodeSize = 520;

// 0x80..0x9F of Windows-1252; the unassigned bytes keep their C1 code point.
constexpr char16_t High1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// A window of the file: reads say "outside" instead of reading there. Offsets are
// relative to the window and kept in 64 bits, so 32-bit sizes from the file cannot wrap.
class Span
{
public:
    Span(const QByteArray& data, qint64 begin, qint64 length) : m_data(data), m_begin(begin), m_length(length) {}
    explicit Span(const QByteArray& data) : Span(data, 0, data.size()) {}

    qint64 length() const { return m_length; }
    bool has(qint64 offset, qint64 count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_length && count <= m_length - offset;
    }
    // The sub-window [offset, offset + count), when it lies inside this one.
    std::optional<Span> sub(qint64 offset, qint64 count) const
    {
        if (!has(offset, count))
            return std::nullopt;
        return Span(m_data, m_begin + offset, count);
    }
    std::optional<quint16> u16(qint64 offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        return qFromLittleEndian<quint16>(at(offset));
    }
    std::optional<quint32> u32(qint64 offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        return qFromLittleEndian<quint32>(at(offset));
    }
    unsigned char byte(qint64 offset) const { return static_cast<unsigned char>(*at(offset)); }

    QString ansi(qint64 offset, qint64 count) const
    {
        QString text;
        text.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            const unsigned char c = byte(offset + i);
            text += QChar(c >= 0x80 && c < 0xA0 ? High1252[c - 0x80] : char16_t(c));
        }
        return text;
    }
    QString utf16(qint64 offset, qint64 units) const
    {
        QString text(units, Qt::Uninitialized);
        for (qint64 i = 0; i < units; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(at(offset + 2 * i)));
        return text;
    }

    // A string that ends with a NUL inside this window; none when the NUL is missing.
    std::optional<QString> ansiZ(qint64 offset) const
    {
        if (!has(offset, 0))
            return std::nullopt;
        for (qint64 end = offset; end < m_length; ++end) {
            if (byte(end) == 0)
                return ansi(offset, end - offset);
        }
        return std::nullopt;
    }
    std::optional<QString> utf16Z(qint64 offset) const
    {
        if (!has(offset, 0))
            return std::nullopt;
        for (qint64 end = offset; has(end, 2); end += 2) {
            if (*u16(end) == 0)
                return utf16(offset, (end - offset) / 2);
        }
        return std::nullopt;
    }

private:
    const char* at(qint64 offset) const { return m_data.constData() + m_begin + offset; }

    const QByteArray& m_data;
    qint64 m_begin;
    qint64 m_length;
};

QString joinPath(const QString& base, const QString& suffix)
{
    if (suffix.isEmpty())
        return base;
    if (base.isEmpty() || base.endsWith(u'\\'))
        return base + suffix;
    return base + u'\\' + suffix;
}

// The Unicode copy when the header has room for its offset and it reads cleanly, else
// the ANSI copy. A string may not start inside the header that locates it.
std::optional<QString> pickString(const Span& span, qint64 headerSize, qint64 ansiField, qint64 unicodeField,
                                  qint64 unicodeHeader)
{
    if (headerSize >= unicodeHeader) {
        const quint32 offset = span.u32(unicodeField).value_or(0);
        if (offset >= headerSize) {
            if (auto text = span.utf16Z(offset))
                return text;
        }
    }
    const quint32 offset = span.u32(ansiField).value_or(0);
    if (offset >= headerSize)
        return span.ansiZ(offset);
    return std::nullopt;
}

QString networkPath(const Span& info, quint32 netLinkOffset)
{
    const qint64 size = info.u32(netLinkOffset).value_or(0);
    if (size < NetLinkMinSize)
        return {};
    const std::optional<Span> net = info.sub(netLinkOffset, size);
    if (!net)
        return {};
    // The Unicode offsets exist only when the ANSI name starts after them.
    const qint64 headerSize = *net->u32(8) >= NetLinkUnicodeSize ? NetLinkUnicodeSize : NetLinkMinSize;
    return pickString(*net, headerSize, 8, 0x14, NetLinkUnicodeSize).value_or(QString());
}

// The target path stored in LinkInfo; empty when it holds none that reads cleanly.
QString linkInfoTarget(const Span& info)
{
    const qint64 headerSize = *info.u32(4);
    const quint32 flags = *info.u32(8);
    const QString suffix = pickString(info, headerSize, 0x18, 0x20, LinkInfoUnicodeHeader).value_or(QString());
    if (flags & VolumeIDAndLocalBasePath) {
        const QString base = pickString(info, headerSize, 0x10, 0x1C, LinkInfoUnicodeHeader).value_or(QString());
        if (!base.isEmpty())
            return joinPath(base, suffix);
    }
    if (flags & CommonNetworkRelativeLinkAndPathSuffix) {
        const quint32 netLink = *info.u32(0x14);
        if (netLink >= headerSize) {
            const QString share = networkPath(info, netLink);
            if (!share.isEmpty())
                return joinPath(share, suffix);
        }
    }
    return {};
}

QString environmentTarget(const Span& block)
{
    auto unicode = block.sub(8 + EnvironmentAnsiSize, EnvironmentUnicodeSize)->utf16Z(0);
    if (unicode && !unicode->isEmpty())
        return *unicode;
    return block.sub(8, EnvironmentAnsiSize)->ansiZ(0).value_or(QString());
}

// The environment-variable target, the one ExtraData block worth reading when LinkInfo
// gave no path.
QString extraDataTarget(const Span& file, qint64 pos)
{
    for (;;) {
        const qint64 size = file.u32(pos).value_or(0);
        if (size < 8)
            return {}; // the terminal block, or damage
        const std::optional<Span> block = file.sub(pos, size);
        if (!block)
            return {};
        if (*block->u32(4) == EnvironmentSignature && size >= EnvironmentBlockSize)
            return environmentTarget(*block);
        pos += size;
    }
}

// Shell items of the item-ID list.
constexpr unsigned char ComputerClsid[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                             0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr unsigned char NetworkClsid[16] = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                            0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr quint32 FileEntryExtension = 0xBEEF0004;

bool clsidIs(const Span& item, qint64 offset, const unsigned char (&clsid)[16])
{
    if (!item.has(offset, 16))
        return false;
    for (int i = 0; i < 16; ++i)
        if (item.byte(offset + i) != clsid[i])
            return false;
    return true;
}

// The long name in a file entry's 0xBEEF0004 extension block, where its
// version puts it; empty when the block is missing or damaged.
QString longName(const Span& item, qint64 from)
{
    for (qint64 at = from; item.has(at, 8); at += 2) {
        if (item.u32(at + 4) != FileEntryExtension)
            continue;
        const quint16 size = *item.u16(at);
        const quint16 version = *item.u16(at + 2);
        const std::optional<Span> block = item.sub(at, size);
        if (!block || size < 0x14)
            return {};
        qint64 name = version >= 7 ? 0x26 : 0x14;
        if (version >= 8)
            name += 4;
        if (version >= 9)
            name += 4;
        return block->utf16Z(name).value_or(QString());
    }
    return {};
}

// A file or folder entry: its long name when it has one, else its short name.
QString fileEntryName(const Span& item, unsigned char type)
{
    constexpr qint64 NameOffset = 14;
    const bool unicode = type & 0x04;
    const std::optional<QString> shortName = unicode ? item.utf16Z(NameOffset) : item.ansiZ(NameOffset);
    if (!shortName)
        return {};
    qint64 end = NameOffset + (unicode ? 2 * (shortName->size() + 1) : shortName->size() + 1);
    end += end & 1;
    const QString name = longName(item, end);
    return name.isEmpty() ? *shortName : name;
}

bool driveLetter(QChar c)
{
    const char16_t upper = c.toUpper().unicode();
    return upper >= u'A' && upper <= u'Z';
}

// C:\ from a drive item; none when the item holds no drive letter (a shell
// folder of the computer, such as Control Panel, has a class id there instead).
std::optional<QString> driveName(const Span& item)
{
    const std::optional<QString> name = item.ansiZ(3);
    if (!name || name->size() < 2 || name->size() > 3 || !driveLetter(name->at(0)) || name->at(1) != u':' ||
        (name->size() == 3 && name->at(2) != u'\\'))
        return std::nullopt;
    return name->left(2) + u'\\';
}

// What the item-ID list names: a path, spelled from a drive or a network share
// and the folders and file below it; or a shell item of Windows that is no file
// (Control Panel and its pages, the computer itself...); or neither.
struct IdListTarget
{
    QString path;
    bool namespaceItem = false;
};

IdListTarget idListTarget(const Span& list)
{
    QString path;
    bool rooted = false;      // a drive or share starts path
    bool shellFolder = false; // an item no path can be spelled through
    bool fileEntry = false;
    bool anyItem = false;
    for (qint64 at = 0; list.has(at, 2);) {
        const quint16 size = *list.u16(at);
        if (size == 0)
            break; // the terminator
        const std::optional<Span> item = list.sub(at, size);
        if (!item || size < 3)
            return {};
        at += size;
        anyItem = true;
        const unsigned char type = item->byte(2);
        if (type == 0x1F) {
            // A root: the computer and the network hold the drives and shares
            // that follow; any other (Control Panel, the user's files...) is a
            // shell folder.
            if (rooted || !(clsidIs(*item, 4, ComputerClsid) || clsidIs(*item, 4, NetworkClsid)))
                shellFolder = true;
            continue;
        }
        // A drive or share starts the path only at its start, where nothing
        // else has been placed yet.
        const bool atStart = !shellFolder && !fileEntry;
        switch (type & 0x70) {
        case 0x20: // a drive, or a shell folder of the computer
            if (const std::optional<QString> drive = driveName(*item); drive && atStart && !rooted) {
                path = *drive;
                rooted = true;
            } else {
                shellFolder = true;
            }
            break;
        case 0x40: { // the network: a workgroup, then \\server, then \\server\share
            const std::optional<QString> name = item->ansiZ(5);
            if (!name)
                return {};
            if (!name->startsWith(u"\\\\") || name->size() <= 2)
                break; // a workgroup or the whole network: the server follows
            if (atStart && (!rooted || path.startsWith(u"\\\\"))) {
                path = *name;
                rooted = true;
            } else {
                shellFolder = true;
            }
            break;
        }
        case 0x30: { // a folder or a file
            fileEntry = true;
            const QString name = fileEntryName(*item, type);
            if (name.isEmpty())
                return {};
            path = joinPath(path, name);
            break;
        }
        default:
            // A shell item no path is made of (a Control Panel page, a
            // delegate of another folder, an address...).
            shellFolder = true;
            if (type == 0x74)
                fileEntry = true; // a delegate wraps a file entry of its own
            break;
        }
    }
    IdListTarget target;
    if (rooted && !shellFolder)
        target.path = path;
    else if (!rooted && !fileEntry && anyItem)
        target.namespaceItem = true;
    return target;
}

// Windows ends a string at its first NUL: writers that pad with NULs, or leave a
// buffer's leftovers after one, mean the text before it.
QString untilNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// Paths and command lines padded with blanks mean the same without them, as
// Windows reads them.
QString withoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    text.truncate(end);
    return text;
}

// A drive or network path some writers store as the "relative" path.
bool windowsAbsolute(const QString& path)
{
    return (path.size() >= 3 && driveLetter(path.at(0)) && path.at(1) == u':' && path.at(2) == u'\\') ||
           path.startsWith(u"\\\\");
}

} // namespace

std::optional<ShellLink> ShellLink::parse(const QByteArray& bytes)
{
    const Span file(bytes);
    if (file.u32(0) != quint32(HeaderSize) || !file.has(0, HeaderSize))
        return std::nullopt;
    for (int i = 0; i < 16; ++i) {
        if (file.byte(4 + i) != LinkClsid[i])
            return std::nullopt;
    }
    const quint32 flags = *file.u32(0x14);

    ShellLink link;
    link.iconIndex = qint32(*file.u32(0x38));
    qint64 pos = HeaderSize;

    IdListTarget idTarget;
    if (flags & HasLinkTargetIDList) {
        const std::optional<quint16> size = file.u16(pos);
        if (!size || !file.has(pos + 2, *size))
            return std::nullopt;
        idTarget = idListTarget(*file.sub(pos + 2, *size));
        pos += 2 + *size;
    }

    QString infoTarget;
    if (flags & HasLinkInfo) {
        const qint64 size = file.u32(pos).value_or(0);
        // Too small to hold its own header: nothing after it can be located either.
        if (size < LinkInfoMinHeader)
            return std::nullopt;
        const std::optional<Span> info = file.sub(pos, size);
        if (!info)
            return std::nullopt;
        const qint64 headerSize = *info->u32(4);
        if (!(flags & ForceNoLinkInfo) && headerSize >= LinkInfoMinHeader && headerSize <= size)
            infoTarget = linkInfoTarget(*info);
        pos += size;
    }

    QString relativePath;
    QString* const strings[] = {&link.description, &relativePath, &link.workingDir, &link.arguments,
                                &link.iconLocation};
    const quint32 stringFlags[] = {HasName, HasRelativePath, HasWorkingDir, HasArguments, HasIconLocation};
    const qint64 unitSize = (flags & IsUnicode) ? 2 : 1;
    bool complete = true;
    for (int i = 0; i < 5; ++i) {
        if (!(flags & stringFlags[i]))
            continue;
        const std::optional<quint16> count = file.u16(pos);
        if (!count || !file.has(pos + 2, *count * unitSize)) {
            complete = false; // the later strings cannot be located
            break;
        }
        *strings[i] = untilNul(unitSize == 2 ? file.utf16(pos + 2, *count) : file.ansi(pos + 2, *count));
        pos += 2 + *count * unitSize;
    }
    // A name may end as its author typed it; the paths and the command line not.
    for (QString* text : {&relativePath, &link.workingDir, &link.arguments, &link.iconLocation})
        *text = withoutTrailingBlanks(*text);

    const auto take = [&link](const QString& target, Source source) {
        if (!link.target.isEmpty() || target.isEmpty())
            return;
        link.target = target;
        link.source = source;
    };
    take(infoTarget, Source::LinkInfo);
    if (complete)
        take(extraDataTarget(file, pos), Source::Environment);
    take(idTarget.path, Source::IdList);
    take(relativePath, Source::Relative);
    if (link.target.isEmpty()) {
        if (!idTarget.namespaceItem)
            return std::nullopt;
        link.namespaceItem = true;
    }
    return link;
}

std::optional<ShellLink> ShellLink::read(const QString& file)
{
    // Only a regular file: a pipe with a shortcut's name would never end.
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<ShellLink> link = parse(f.read(MaxFileBytes));
    // A relative path counts from the shortcut's own folder.
    if (link && link->source == Source::Relative && !windowsAbsolute(link->target)) {
        QString relative = link->target;
        relative.replace(u'\\', u'/');
        link->target = QDir::cleanPath(QFileInfo(file).absolutePath() + u'/' + relative);
    }
    return link;
}
