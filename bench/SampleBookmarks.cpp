#include "SampleBookmarks.h"

#include "BookmarkFile.h"

#include <array>

namespace SampleBookmarks {

namespace {

using F = BookmarkRecord;

// Values must look like real ones (lengths, digits, separators) but need not
// be random in any strong sense.
quint32 mix(int page, int slot, int f, int variant)
{
    quint32 h = 2166136261u;
    for (int v : {page, slot, f, variant}) {
        h ^= static_cast<quint32>(v);
        h *= 16777619u;
        h ^= h >> 13;
    }
    h *= 0x9E3779B1u;
    return h ^ (h >> 16);
}

template <std::size_t N> const char* pick(const std::array<const char*, N>& list, quint32 h)
{
    return list[h % N];
}

const std::array<const char*, 16> kWords = {"Daily",  "News",   "Home",    "Garden", "Recipes", "Weather",
                                            "Forum",  "Travel", "Photo",   "Music",  "Library", "Review",
                                            "Market", "Tools",  "Support", "Archive"};

const std::array<const char*, 8> kPaths = {"news",      "docs/manual", "shop/items", "forum/topics",
                                           "blog/2004", "files",       "help/faq",   "articles"};

const std::array<const char*, 10> kSentences = {"Remember to check this one every Monday morning",
                                                "Login needed, password is in the blue notebook",
                                                "Good prices on spare parts and cables",
                                                "Recommended by Anna at the club meeting",
                                                "Slow in the evening, try before nine",
                                                "Has a printable version of every page",
                                                "The old address still redirects here",
                                                "Keep an eye on the monthly newsletter",
                                                "Free shipping above fifty",
                                                "Archive goes back to 1998"};

const std::array<int, 8> kColors = {0, 255, 32768, 8388608, 16711680, 128, 8421504, 12632256};
const std::array<int, 7> kGlyphs = {120, 512, 0, 3, 45, 507, 250};

QByteArray title(quint32 h)
{
    return QByteArray(pick(kWords, h)) + ' ' + pick(kWords, h >> 4) + ' ' + pick(kWords, h >> 8) + ' ' +
           QByteArray::number(h % 97);
}

QByteArray url(quint32 h)
{
    return "http://www.site" + QByteArray::number(h % 1000) + ".example/" + pick(kPaths, h >> 10) + "/page" +
           QByteArray::number((h >> 13) % 10000) + ".html";
}

QByteArray notes(quint32 h)
{
    // Stored notes keep their line breaks as "|~".
    QByteArray text = pick(kSentences, h);
    const int lines = 2 + static_cast<int>((h >> 4) % 3);
    for (int i = 1; i < lines; ++i)
        text += "|~" + QByteArray(pick(kSentences, h >> (4 * i + 4)));
    return text;
}

QByteArray value(int page, int slot, BookmarkRecord::Field f, int variant)
{
    const quint32 h = mix(page, slot, f, variant);
    // The url and the icon file come from the same number: an icon file
    // defaults to the bookmark's own address.
    const quint32 u = mix(page, slot, F::Url, variant);
    switch (f) {
    case F::Title:
        return title(h);
    case F::Url:
    case F::IconFile:
        return url(u);
    case F::Color:
        return QByteArray::number(kColors[h % kColors.size()]);
    case F::Updated:
        return QByteArray::number(1 + h % 12) + '/' + QByteArray::number(1 + (h >> 4) % 28) + '/' +
               QByteArray::number(1999 + (h >> 9) % 11);
    case F::Notes:
        return notes(h);
    case F::ExtraInfo:
        return "user" + QByteArray::number(h % 5000) + " / members area / since " +
               QByteArray::number(1999 + (h >> 12) % 11);
    case F::LaunchAs:
        return QByteArray::number(h % 3);
    case F::Glyph:
        return QByteArray::number(kGlyphs[h % kGlyphs.size()]);
    case F::IpAddress:
        return "192.168." + QByteArray::number(h % 256) + '.' + QByteArray::number((h >> 8) % 256);
    }
    return {};
}

} // namespace

QByteArray pageName(int page)
{
    return "Page" + QByteArray::number(page);
}

QByteArray field(int page, int slot, BookmarkRecord::Field f, int variant)
{
    const QByteArray stored = value(page, slot, f, 0);
    if (variant == 0)
        return stored;
    // Colours, glyphs and launch modes have few values; step on until the
    // value differs so that every write is a real change.
    for (int v = variant;; v += 1000) {
        QByteArray other = value(page, slot, f, v);
        if (other != stored)
            return other;
    }
}

QByteArray file(int pages)
{
    QByteArray out;
    out.reserve(qsizetype(pages) * 32'500);
    auto line = [&out](const QByteArray& l) {
        out += l;
        out += "\r\n";
    };
    line("[" + BookmarkFile::kTabs + "]");
    line(BookmarkFile::kCount + "=" + QByteArray::number(pages));
    for (int p = 1; p <= pages; ++p)
        line(BookmarkFile::TabKey(p) + "=" + pageName(p));
    for (int p = 1; p <= pages; ++p) {
        line("[" + pageName(p) + "]");
        for (int s = 1; s <= kSlots; ++s) {
            const QByteArray slot = BookmarkFile::SlotKey(s);
            for (int f = 0; f < F::kFieldCount; ++f) {
                const auto field = static_cast<F::Field>(f);
                line(BookmarkFile::FieldKey(slot, field) + "=" + SampleBookmarks::field(p, s, field));
            }
        }
    }
    return out;
}

} // namespace SampleBookmarks
