#include "BookmarkIndex.h"

#include "AnsiText.h"
#include "BookmarkFile.h"
#include "IniDocument.h"
#include "IniFiles32.h"
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
    m_rows.clear();
    for (auto& column : m_lowered)
        column.clear();
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
    const TIniFile32 ini(store, path);
    const IniDocument& doc = ini.document();
    const int slotCount = std::clamp(columns, 1, 4) * 20;
    QSet<QByteArray> seen;
    struct Fields
    {
        QByteArray title, url, notes;
        bool hasTitle = false, hasUrl = false, hasNotes = false;
    };
    std::vector<Fields> page(size_t(slotCount) + 1);
    for (const QByteArray& name : BookmarkFile::ReadPageList(ini)) {
        // Two tabs on one section are one page: listing its bookmarks twice
        // would make each a duplicate of itself.
        const QByteArray folded = AnsiText::foldCase(name);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        const std::vector<QByteArray>* body = doc.sectionBody(name);
        if (!body)
            continue;
        std::fill(page.begin(), page.end(), Fields());
        for (const QByteArray& line : *body) {
            const qsizetype eq = line.indexOf('=');
            if (eq < 0)
                continue;
            const char* d = line.constData();
            char field = 0;
            const int n = slotOf(trimmedView(d, d + eq), slotCount, &field);
            if (n == 0)
                continue;
            // The first line of a key is the one that counts.
            Fields& f = page[size_t(n)];
            auto take = [&](QByteArray& value, bool& has) {
                if (!has) {
                    value = trimmedView(d + eq + 1, d + line.size());
                    has = true;
                }
            };
            if (field == 'U')
                take(f.url, f.hasUrl);
            else if (field == 'N')
                take(f.title, f.hasTitle);
            else if (field == 'P')
                take(f.notes, f.hasNotes);
        }
        for (int n = 1; n <= slotCount; ++n) {
            const Fields& f = page[size_t(n)];
            if (f.url.isEmpty())
                continue;
            Row row;
            row.isProtected = PassText::isProtected(f.url);
            row.url = row.isProtected ? kProtected : AnsiText::toUi(f.url);
            row.title = AnsiText::toUi(f.title);
            if (!f.notes.isEmpty()) {
                QByteArray notes = f.notes;
                notes.replace('|', ' ');
                notes.replace("~", "");
                row.notes = AnsiText::toUi(notes);
            }
            row.page = name;
            row.slot = BookmarkFile::SlotKey(n);
            m_rows.push_back(std::move(row));
        }
    }
    // The values viewed the document's bytes; the rows own their text.
    m_built = true;
}

bool BookmarkIndex::before(int a, int b) const
{
    const QString& x = m_rows[size_t(a)].url;
    const QString& y = m_rows[size_t(b)].url;
    if (const int c = m_collator.compare(x, y); c != 0)
        return c < 0;
    // Links the locale finds equal still differ when their characters do;
    // equal links keep the order of the file.
    if (const int c = x.compare(y); c != 0)
        return c < 0;
    return a < b;
}

void BookmarkIndex::sortRows(std::vector<int>& rows) const
{
    std::sort(rows.begin(), rows.end(), [this](int a, int b) { return before(a, b); });
}

std::vector<int> BookmarkIndex::find(Column column, const QString& text, bool caseSensitive) const
{
    std::vector<int> found;
    if (text.isEmpty())
        return found;
    const int c = int(column);
    auto value = [&](const Row& r) -> const QString& {
        return column == Column::Url ? r.url : column == Column::Title ? r.title : r.notes;
    };
    if (caseSensitive) {
        for (int i = 0; i < int(m_rows.size()); ++i)
            if (value(m_rows[size_t(i)]).contains(text))
                found.push_back(i);
    } else {
        std::vector<QString>& lowered = m_lowered[size_t(c)];
        if (lowered.size() != m_rows.size()) {
            lowered.clear();
            lowered.reserve(m_rows.size());
            for (const Row& r : m_rows)
                lowered.push_back(value(r).toLower());
        }
        const QString needle = text.toLower();
        for (int i = 0; i < int(lowered.size()); ++i)
            if (lowered[size_t(i)].contains(needle))
                found.push_back(i);
    }
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
    counts.reserve(qsizetype(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (!m_rows[i].isProtected)
            ++counts[keys[i]];
    std::vector<int> candidates;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (!m_rows[i].isProtected && counts.value(keys[i]) >= 2)
            candidates.push_back(int(i));
    // Groups in the order of their keys, each group in index order.
    std::sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        const QString& x = keys[size_t(a)];
        const QString& y = keys[size_t(b)];
        if (x != y) {
            if (const int c = m_collator.compare(x, y); c != 0)
                return c < 0;
            return x < y;
        }
        return before(a, b);
    });
    std::vector<int> list = groups(candidates, keys);
    // A group stands without a separator only where it ended the whole index:
    // there a single row after it would have been dropped, not separated.
    if (!list.empty() && list.back() != kSeparator) {
        const QString& last = keys[size_t(list.back())];
        bool endsIndex = true;
        for (size_t i = 0; i < m_rows.size() && endsIndex; ++i)
            if (!m_rows[i].isProtected && counts.value(keys[i]) == 1) {
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
    std::vector<QString> keys;
    keys.reserve(m_rows.size());
    for (const Row& r : m_rows)
        keys.push_back(r.url);
    return grouped(keys);
}

std::vector<int> BookmarkIndex::similar() const
{
    std::vector<QString> keys;
    keys.reserve(m_rows.size());
    for (const Row& r : m_rows)
        keys.push_back(r.isProtected ? r.url : similarKey(r.url));
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
