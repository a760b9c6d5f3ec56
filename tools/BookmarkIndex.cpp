#include "BookmarkIndex.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "IniDocument.h"
#include "IniStore.h"
#include "PassText.h"

#include <QHash>
#include <QSet>
#include <QStringView>
#include <algorithm>
#include <numeric>

namespace {

const QString kProtected = QStringLiteral("Password Protected");

QByteArray trimmedView(const char* from, const char* to)
{
    while (from < to && uchar(*from) <= ' ')
        ++from;
    while (to > from && uchar(to[-1]) <= ' ')
        --to;
    return QByteArray::fromRawData(from, to - from);
}

// A field of the slot a body line holds ("07U=..." gives slot 7, 'U'), or 0.
int slotOf(const QByteArray& key, int slotCount, char* field)
{
    if (key.size() != 3 || key[0] < '0' || key[0] > '9' || key[1] < '0' || key[1] > '9')
        return 0;
    const int n = (key[0] - '0') * 10 + (key[1] - '0');
    if (n < 1 || n > slotCount)
        return 0;
    *field = key[2];
    return n;
}

// The notes in one line: a "|" (a line break) becomes a blank, a "~" (the
// rest of one) is dropped. Both are ASCII, so the text keeps its encoding.
QString oneLineNotes(const QByteArray& notes)
{
    if (AnsiText::isAscii(notes)) {
        QString text(notes.size(), Qt::Uninitialized);
        QChar* out = text.data();
        for (const char c : notes)
            if (c != '~')
                *out++ = QLatin1Char(c == '|' ? ' ' : c);
        text.truncate(out - text.constData());
        return text;
    }
    QByteArray bytes;
    bytes.reserve(notes.size());
    for (const char c : notes)
        if (c != '~')
            bytes += c == '|' ? ' ' : c;
    return AnsiText::toUi(bytes);
}

const QByteArray& slotKey(int n)
{
    static const std::vector<QByteArray> keys = [] {
        std::vector<QByteArray> k(BookmarkFile::kMaxSlots + 1);
        for (int i = 1; i <= BookmarkFile::kMaxSlots; ++i)
            k[size_t(i)] = BookmarkFile::SlotKey(i);
        return k;
    }();
    return keys[size_t(n)];
}

bool isTracking(QStringView parameter)
{
    const QStringView name = parameter.left(parameter.indexOf(QLatin1Char('=')));
    return name.startsWith(QLatin1String("utm_"), Qt::CaseInsensitive) ||
           name.compare(QLatin1String("fbclid"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("gclid"), Qt::CaseInsensitive) == 0;
}

} // namespace

BookmarkIndex::BookmarkIndex()
{
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
}

void BookmarkIndex::clear()
{
    m_source.clear();
    m_pages.clear();
    m_entries.clear();
    for (auto& c : m_columns)
        c.clear();
    for (auto& c : m_lowered)
        c.clear();
    m_built = false;
}

bool BookmarkIndex::matches(const IniStore& store, const QByteArray& path) const
{
    return m_built && store.writes() == m_writes && FileStamp::of(path) == m_stamp;
}

void BookmarkIndex::build(IniStore& store, const QByteArray& path, int columns)
{
    clear();
    // Taken first: a change made while reading shows in the next comparison.
    m_stamp = FileStamp::of(path);
    m_writes = store.writes();
    m_source = IniStore::readBytes(path);
    const char* const base = m_source.constData();

    // One pass over the file: where each section is, found as the file's
    // reader finds sections (by name without regard to case, the first of a
    // name), and in each the lines of the keys wanted: "ddN", "ddU", "ddP".
    struct Fields
    {
        Span title, url, notes;
        bool hasTitle = false, hasUrl = false, hasNotes = false;
    };
    struct Section
    {
        const char* header = nullptr;
        const char* end = nullptr;
        std::vector<Fields> fields; // by slot number, while any was found
    };
    std::vector<Section> sections;
    QHash<QByteArray, int> byName;
    Section* current = nullptr; // the section whose lines count, if any
    const char* textEnd = base;
    IniDocument::forEachLine(m_source, [&](QByteArrayView line, bool header) {
        const char* d = line.data();
        const char* end = d + line.size();
        textEnd = end;
        if (header) {
            if (!sections.empty())
                sections.back().end = d;
            sections.push_back({d, nullptr, {}});
            current = nullptr;
            if (IniDocument::findableHeader(line)) {
                const QByteArray name = AnsiText::foldCase(QByteArray(d + 1, line.size() - 2));
                if (!byName.contains(name)) {
                    byName.insert(name, int(sections.size()) - 1);
                    current = &sections.back();
                }
            }
            return;
        }
        if (!current)
            return;
        // Blanks, the key, blanks, "=".
        const char* p = d;
        while (p < end && uchar(*p) <= ' ')
            ++p;
        if (end - p < 4)
            return;
        const char* key = p;
        p += 3;
        while (p < end && uchar(*p) <= ' ')
            ++p;
        if (p == end || *p != '=')
            return;
        char field = 0;
        const int n = slotOf(QByteArray::fromRawData(key, 3), BookmarkFile::kMaxSlots, &field);
        if (n == 0)
            return;
        if (current->fields.empty())
            current->fields.resize(size_t(BookmarkFile::kMaxSlots) + 1);
        // The first line of a key is the one that counts.
        Fields& f = current->fields[size_t(n)];
        auto take = [&](Span& value, bool& has) {
            if (!has) {
                const QByteArray v = trimmedView(p + 1, end);
                value = {v.constData() - base, v.size()};
                has = true;
            }
        };
        if (field == 'U')
            take(f.url, f.hasUrl);
        else if (field == 'N')
            take(f.title, f.hasTitle);
        else if (field == 'P')
            take(f.notes, f.hasNotes);
    });
    if (!sections.empty())
        sections.back().end = textEnd;
    auto section = [&](const QByteArray& name) -> const Section* {
        const auto it = byName.constFind(AnsiText::foldCase(name));
        return it == byName.constEnd() ? nullptr : &sections[size_t(*it)];
    };

    // The page list, read by the file's own rules from its section alone.
    std::vector<QByteArray> pages;
    if (const Section* tabs = section(BookmarkFile::kTabs))
        pages = BookmarkFile::ReadPageList(
            IniDocument::fromBytes(QByteArray::fromRawData(tabs->header, tabs->end - tabs->header)));
    else
        pages = BookmarkFile::ReadPageList(IniDocument());

    const int slotCount = std::clamp(columns, 1, 4) * 20;
    QSet<QByteArray> seen;
    for (const QByteArray& name : pages) {
        // Two tabs on one section are one page: listing its bookmarks twice
        // would make each a duplicate of itself.
        const QByteArray folded = AnsiText::foldCase(name);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        const Section* s = section(name);
        if (!s || s->fields.empty())
            continue;
        const int page = int(m_pages.size());
        m_pages.push_back(name);
        for (int n = 1; n <= slotCount; ++n) {
            const Fields& f = s->fields[size_t(n)];
            if (f.url.size == 0)
                continue;
            Entry e;
            e.url = f.url;
            e.title = f.title;
            e.notes = f.notes;
            e.page = page;
            e.slot = n;
            // Only a link with a B6 byte can carry the mark.
            const char* u = base + f.url.at;
            e.isProtected = memchr(u, '\xB6', size_t(f.url.size)) && PassText::isProtected(bytes(f.url));
            m_entries.push_back(e);
        }
    }
    m_built = true;
}

QString BookmarkIndex::decode(Column column, const Entry& e) const
{
    switch (column) {
    case Column::Url:
        return e.isProtected ? kProtected : AnsiText::toUi(bytes(e.url));
    case Column::Title:
        return AnsiText::toUi(bytes(e.title));
    case Column::Notes:
        return e.notes.size == 0 ? QString() : oneLineNotes(bytes(e.notes));
    }
    return {};
}

QString BookmarkIndex::text(Column column, int i) const
{
    const std::vector<QString>& cached = m_columns[size_t(column)];
    return cached.empty() ? decode(column, m_entries[size_t(i)]) : cached[size_t(i)];
}

BookmarkIndex::Row BookmarkIndex::row(int i) const
{
    const Entry& e = m_entries[size_t(i)];
    Row r;
    r.url = text(Column::Url, i);
    r.title = text(Column::Title, i);
    r.notes = text(Column::Notes, i);
    r.page = m_pages[size_t(e.page)];
    r.slot = slotKey(e.slot);
    r.isProtected = e.isProtected;
    return r;
}

const std::vector<QString>& BookmarkIndex::column(Column c) const
{
    std::vector<QString>& cached = m_columns[size_t(c)];
    if (cached.size() != m_entries.size()) {
        cached.clear();
        cached.reserve(m_entries.size());
        for (const Entry& e : m_entries)
            cached.push_back(decode(c, e));
    }
    return cached;
}

const std::vector<QString>& BookmarkIndex::lowered(Column c) const
{
    std::vector<QString>& cached = m_lowered[size_t(c)];
    if (cached.size() != m_entries.size()) {
        cached.clear();
        cached.reserve(m_entries.size());
        for (const Entry& e : m_entries) {
            const Span span = c == Column::Url ? e.url : c == Column::Title ? e.title : e.notes;
            const QByteArray text = bytes(span);
            if (c != Column::Notes && !(c == Column::Url && e.isProtected) && AnsiText::isAscii(text)) {
                // Most text is ASCII: lowered as it is copied.
                QString lower(text.size(), Qt::Uninitialized);
                QChar* out = lower.data();
                for (const char ch : text)
                    *out++ = QLatin1Char(ch >= 'A' && ch <= 'Z' ? char(ch + 32) : ch);
                cached.push_back(std::move(lower));
            } else {
                cached.push_back(decode(c, e).toLower());
            }
        }
    }
    return cached;
}

void BookmarkIndex::sortRows(std::vector<int>& rows) const
{
    // The links of the rows to sort, decoded once each.
    std::vector<QString> links;
    links.reserve(rows.size());
    for (int r : rows)
        links.push_back(text(Column::Url, r));
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const QString& x = links[size_t(a)];
        const QString& y = links[size_t(b)];
        if (const int c = m_collator.compare(x, y); c != 0)
            return c < 0;
        // Links the locale finds equal still differ when their characters do;
        // equal links keep the order of the file.
        if (const int c = x.compare(y); c != 0)
            return c < 0;
        return rows[size_t(a)] < rows[size_t(b)];
    });
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    for (int o : order)
        sorted.push_back(rows[size_t(o)]);
    rows.swap(sorted);
}

std::vector<int> BookmarkIndex::find(Column c, const QString& text, bool caseSensitive) const
{
    std::vector<int> found;
    if (text.isEmpty())
        return found;
    const std::vector<QString>& values = caseSensitive ? column(c) : lowered(c);
    const QString needle = caseSensitive ? text : text.toLower();
    for (int i = 0; i < int(values.size()); ++i)
        if (values[size_t(i)].contains(needle))
            found.push_back(i);
    sortRows(found);
    return found;
}

std::vector<int> BookmarkIndex::groups(const std::vector<int>& ordered, const std::vector<QString>& keys)
{
    std::vector<int> list;
    const size_t n = ordered.size();
    for (size_t i = 0; i < n;) {
        size_t end = i + 1;
        while (end < n && keys[size_t(ordered[end])] == keys[size_t(ordered[i])])
            ++end;
        if (end - i >= 2) {
            list.insert(list.end(), ordered.begin() + qsizetype(i), ordered.begin() + qsizetype(end));
            if (end < n)
                list.push_back(kSeparator);
        }
        i = end;
    }
    return list;
}

std::vector<int> BookmarkIndex::grouped(const std::vector<QString>& keys) const
{
    // Only links that occur more than once need sorting.
    QHash<QString, int> counts;
    counts.reserve(qsizetype(m_entries.size()));
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (!m_entries[i].isProtected)
            ++counts[keys[i]];
    std::vector<int> candidates;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (!m_entries[i].isProtected && counts.value(keys[i]) >= 2)
            candidates.push_back(int(i));
    // Groups in the order of their keys, each group in index order.
    sortRows(candidates);
    std::stable_sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        const QString& x = keys[size_t(a)];
        const QString& y = keys[size_t(b)];
        if (x == y)
            return false;
        if (const int c = m_collator.compare(x, y); c != 0)
            return c < 0;
        return x < y;
    });
    std::vector<int> list = groups(candidates, keys);
    // A group stands without a separator only where it ended the whole index:
    // there a single row after it would have been dropped, not separated.
    if (!list.empty() && list.back() != kSeparator) {
        const QString& last = keys[size_t(list.back())];
        bool endsIndex = true;
        for (size_t i = 0; i < m_entries.size() && endsIndex; ++i)
            if (!m_entries[i].isProtected && counts.value(keys[i]) == 1) {
                // A single link that sorts after the last group ends the index.
                const QString& x = keys[i];
                const int c = m_collator.compare(x, last);
                endsIndex = c < 0 || (c == 0 && x < last);
            }
        if (!endsIndex)
            list.push_back(kSeparator);
    }
    return list;
}

std::vector<int> BookmarkIndex::duplicates() const
{
    return grouped(column(Column::Url));
}

std::vector<int> BookmarkIndex::similar() const
{
    const std::vector<QString>& links = column(Column::Url);
    std::vector<QString> keys;
    keys.reserve(links.size());
    for (size_t i = 0; i < links.size(); ++i)
        keys.push_back(m_entries[i].isProtected ? links[i] : similarKey(links[i]));
    return grouped(keys);
}

QString BookmarkIndex::similarKey(const QString& url)
{
    const qsizetype sep = url.indexOf(QLatin1String("://"));
    if (sep <= 0)
        return url;
    QString scheme = url.left(sep).toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (web)
        scheme = QStringLiteral("http");
    const qsizetype hostStart = sep + 3;
    qsizetype hostEnd = hostStart;
    while (hostEnd < url.size() && url[hostEnd] != QLatin1Char('/') && url[hostEnd] != QLatin1Char('?') &&
           url[hostEnd] != QLatin1Char('#'))
        ++hostEnd;
    QString authority = url.mid(hostStart, hostEnd - hostStart);
    // The user part keeps its case; the host and port follow it.
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    const QString user = authority.left(at + 1);
    QString host = authority.mid(at + 1).toLower();
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && !host.endsWith(QLatin1Char(']'))) {
        const QString port = host.mid(colon + 1);
        const bool standard = port.isEmpty() ||
                              (web && (port == QLatin1String("80") || port == QLatin1String("443"))) ||
                              (scheme == QLatin1String("ftp") && port == QLatin1String("21"));
        if (standard)
            host.truncate(colon);
    }
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    QString rest = url.mid(hostEnd);
    if (const qsizetype hash = rest.indexOf(QLatin1Char('#')); hash >= 0)
        rest.truncate(hash);
    QString query;
    if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0) {
        QStringList kept;
        for (QStringView p : QStringView(rest).mid(q + 1).split(QLatin1Char('&')))
            if (!p.isEmpty() && !isTracking(p))
                kept << p.toString();
        if (!kept.isEmpty())
            query = QLatin1Char('?') + kept.join(QLatin1Char('&'));
        rest.truncate(q);
    }
    while (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    return scheme + QLatin1String("://") + user + host + rest + query;
}
