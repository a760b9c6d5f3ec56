#include "PeIcons.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr quint32 RtIcon = 3;
constexpr quint32 RtGroupIcon = 14;
constexpr quint32 HighBit = 0x80000000u; // a named entry, or a subdirectory
constexpr int ResourceDirectory = 2;     // index among the optional header's data directories
constexpr int MaxIconSide = 256;

// Little-endian reads that give 0 past the end instead of reading there; where 0 could
// pass for a real value, callers ask has() first.
class Bytes
{
public:
    explicit Bytes(const QByteArray& data) : m_data(data) {}

    qint64 size() const { return m_data.size(); }
    bool has(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    quint16 u16(qint64 offset) const
    {
        return has(offset, 2) ? qFromLittleEndian<quint16>(m_data.constData() + offset) : 0;
    }
    quint32 u32(qint64 offset) const
    {
        return has(offset, 4) ? qFromLittleEndian<quint32>(m_data.constData() + offset) : 0;
    }
    quint32 be32(qint64 offset) const
    {
        return has(offset, 4) ? qFromBigEndian<quint32>(m_data.constData() + offset) : 0;
    }
    const char* at(qint64 offset) const { return m_data.constData() + offset; }

private:
    const QByteArray& m_data;
};

struct Section
{
    qint64 rva = 0;
    qint64 fileOffset = 0;
    qint64 length = 0; // raw bytes actually present in the file
};

// Icon images are at most 256 pixels a side. A header claiming more is refused before
// the decoder allocates for it.
bool plausibleImage(const Bytes& in, qint64 offset, qint64 size)
{
    static const char pngMagic[] = "\x89PNG\r\n\x1a\n";
    if (size >= 24 && std::memcmp(in.at(offset), pngMagic, 8) == 0) {
        const qint64 width = in.be32(offset + 16);
        const qint64 height = in.be32(offset + 20);
        return width >= 1 && width <= MaxIconSide && height >= 1 && height <= MaxIconSide;
    }
    if (size < 40 || in.u32(offset) < 40)
        return false;
    // BITMAPINFOHEADER; the height covers the colour and the mask bitmaps.
    const qint64 width = qint32(in.u32(offset + 4));
    const qint64 height = qint32(in.u32(offset + 8));
    return width >= 1 && width <= MaxIconSide && height >= 1 && height <= 2 * MaxIconSide;
}

} // namespace

PeIcons::PeIcons(const QByteArray& data) : m_data(data)
{
    parse();
}

PeIcons PeIcons::fromFile(const QString& file)
{
    // Only regular files: a FIFO or a device with an .exe name would block or never end.
    if (!QFileInfo(file).isFile())
        return PeIcons(QByteArray());
    auto f = std::make_shared<QFile>(file);
    if (!f->open(QIODevice::ReadOnly))
        return PeIcons(QByteArray());
    // Programs can be large; mapped, only the pages holding the resources are read.
    const qint64 size = f->size();
    if (size > 0) {
        if (uchar* memory = f->map(0, size)) {
            PeIcons icons(QByteArray::fromRawData(reinterpret_cast<const char*>(memory), size));
            icons.m_mapped = f;
            return icons;
        }
    }
    return PeIcons(f->readAll());
}

void PeIcons::parse()
{
    const Bytes in(m_data);
    if (in.u16(0) != 0x5a4d) // "MZ"
        return;
    const qint64 peOffset = in.u32(0x3c);
    if (in.u32(peOffset) != 0x00004550) // "PE\0\0"
        return;
    const qint64 fileHeader = peOffset + 4;
    const int sectionCount = in.u16(fileHeader + 2);
    const qint64 optionalSize = in.u16(fileHeader + 16);
    const qint64 optional = fileHeader + 20;
    const quint16 magic = in.u16(optional);
    qint64 directories = 0;
    if (magic == 0x10b)
        directories = optional + 96; // PE32
    else if (magic == 0x20b)
        directories = optional + 112; // PE32+
    else
        return;
    const qint64 resourceEntry = directories + 8 * ResourceDirectory;
    if (in.u32(directories - 4) <= ResourceDirectory || resourceEntry + 8 > optional + optionalSize)
        return;
    const quint32 resourceRva = in.u32(resourceEntry);
    if (resourceRva == 0)
        return;

    QList<Section> sections;
    const qint64 table = optional + optionalSize;
    for (int i = 0; i < sectionCount; ++i) {
        const qint64 header = table + 40 * qint64(i);
        if (!in.has(header, 40))
            break;
        const qint64 rawOffset = in.u32(header + 20);
        if (rawOffset >= in.size())
            continue;
        // Raw data cut short by the end of the file counts only as far as it goes.
        sections.append({in.u32(header + 12), rawOffset, std::min<qint64>(in.u32(header + 16), in.size() - rawOffset)});
    }

    // The file bytes holding [rva, rva + length), all inside one section.
    const auto locate = [&](qint64 rva, qint64 length) -> std::optional<Span> {
        for (const Section& s : sections) {
            const qint64 into = rva - s.rva;
            if (into >= 0 && into < s.length && length <= s.length - into)
                return Span{s.fileOffset + into, length};
        }
        return std::nullopt;
    };

    const auto root = locate(resourceRva, 16);
    if (!root)
        return;
    const qint64 base = root->offset;
    qint64 end = base;
    for (const Section& s : sections) {
        if (base >= s.fileOffset && base < s.fileOffset + s.length)
            end = std::max(end, s.fileOffset + s.length);
    }
    // Directory offsets count from the resource root and must stay in its section.
    const auto inTree = [&](qint64 offset, qint64 length) {
        return offset >= base && length >= 0 && offset <= end && length <= end - offset;
    };
    const auto entryCount = [&](qint64 directory) -> qint64 {
        if (!inTree(directory, 16))
            return 0;
        const qint64 declared = qint64(in.u16(directory + 12)) + in.u16(directory + 14);
        return std::min(declared, (end - directory - 16) / 8);
    };
    const auto subdirectory = [&](quint32 target) -> std::optional<qint64> {
        if (!(target & HighBit))
            return std::nullopt;
        return base + (target & ~HighBit);
    };
    // The data of the first language under a name entry. Only the first is looked at,
    // so a hostile tree cannot make the walk quadratic.
    const auto leaf = [&](quint32 target) -> std::optional<Span> {
        const auto languages = subdirectory(target);
        if (!languages || entryCount(*languages) < 1)
            return std::nullopt;
        const quint32 dataEntry = in.u32(*languages + 20);
        if (dataEntry & HighBit)
            return std::nullopt;
        const qint64 at = base + dataEntry;
        if (!inTree(at, 16))
            return std::nullopt;
        return locate(in.u32(at), in.u32(at + 4));
    };

    std::optional<qint64> iconDirectory;
    std::optional<qint64> groupDirectory;
    for (qint64 i = 0, n = entryCount(base); i < n; ++i) {
        const qint64 entry = base + 16 + 8 * i;
        const quint32 type = in.u32(entry);
        const quint32 target = in.u32(entry + 4);
        if (type == RtIcon && !iconDirectory)
            iconDirectory = subdirectory(target);
        else if (type == RtGroupIcon && !groupDirectory)
            groupDirectory = subdirectory(target);
    }
    if (!iconDirectory || !groupDirectory)
        return;

    for (qint64 i = 0, n = entryCount(*iconDirectory); i < n; ++i) {
        const qint64 entry = *iconDirectory + 16 + 8 * i;
        const quint32 id = in.u32(entry);
        if (id > 0xffff || m_icons.contains(quint16(id)))
            continue; // groups name their images by number only
        if (const auto data = leaf(in.u32(entry + 4)); data && data->size > 0)
            m_icons.insert(quint16(id), *data);
    }
    for (qint64 i = 0, n = entryCount(*groupDirectory); i < n; ++i) {
        const qint64 entry = *groupDirectory + 16 + 8 * i;
        if (const auto data = leaf(in.u32(entry + 4)); data && data->size >= 6)
            m_groups.append(*data);
    }
}

QByteArray PeIcons::icoFile(int index) const
{
    if (index < 0 || index >= m_groups.size())
        return {};
    const Bytes in(m_data);
    const Span group = m_groups[index];
    if (in.u16(group.offset + 2) != 1) // 2 would be a cursor group
        return {};
    const qint64 count = std::min<qint64>(in.u16(group.offset + 4), (group.size - 6) / 14);

    struct Image
    {
        qint64 entry;
        Span data;
    };
    QList<Image> images;
    QSet<quint16> seen;
    qint64 total = 0;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 entry = group.offset + 6 + 14 * i;
        const quint16 id = in.u16(entry + 12);
        if (seen.contains(id))
            continue;
        seen.insert(id);
        const auto icon = m_icons.constFind(id);
        if (icon == m_icons.cend())
            continue;
        // Real images never overlap, so a group cannot hold more bytes than the file;
        // overlapping ones could otherwise multiply the file many times over.
        if (icon->size > m_data.size() - total)
            break;
        total += icon->size;
        images.append({entry, *icon});
    }
    if (images.isEmpty())
        return {};

    QByteArray out;
    out.reserve(6 + 16 * images.size() + total);
    const auto put16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    const auto put32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    put16(0);
    put16(1);
    put16(quint16(images.size()));
    qint64 offset = 6 + 16 * images.size();
    for (const Image& image : images) {
        // Width, height, colours, reserved, planes and bit count are the same in both
        // layouts; the resource id becomes a size and a file offset.
        out.append(in.at(image.entry), 8);
        put32(quint32(image.data.size));
        put32(quint32(offset));
        offset += image.data.size;
    }
    for (const Image& image : images)
        out.append(in.at(image.data.offset), image.data.size);
    return out;
}

QImage PeIcons::image(int index) const
{
    return bestImage(icoFile(index));
}

QImage PeIcons::bestImage(const QByteArray& icoFile)
{
    const Bytes in(icoFile);
    if (in.u16(0) != 0 || in.u16(2) != 1)
        return {};
    const int count = in.u16(4);

    QBuffer buffer;
    buffer.setData(icoFile);
    buffer.open(QIODevice::ReadOnly);
    QImage best;
    int bestBits = -1;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = 6 + 16 * qint64(i);
        if (!in.has(entry, 16))
            break;
        const int bits = in.u16(entry + 6);
        const qint64 size = in.u32(entry + 8);
        const qint64 offset = in.u32(entry + 12);
        if (!in.has(offset, size) || !plausibleImage(in, offset, size))
            continue;
        buffer.seek(0);
        QImageReader reader(&buffer, "ico");
        if (!reader.jumpToImage(i))
            continue;
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        const qint64 area = qint64(image.width()) * image.height();
        const qint64 bestArea = qint64(best.width()) * best.height();
        if (best.isNull() || area > bestArea || (area == bestArea && bits > bestBits)) {
            best = image;
            bestBits = bits;
        }
    }
    return best;
}
