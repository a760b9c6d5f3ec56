#include "IniDocument.h"

#include "AnsiText.h"

namespace {

inline bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

QByteArray IniDocument::trimmed(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

bool IniDocument::isSectionHeader(const QByteArray& line)
{
    return isSectionHeader(QByteArrayView(line));
}

bool IniDocument::findableHeader(QByteArrayView line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool IniDocument::isSectionHeader(QByteArrayView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line[begin]))
        ++begin;
    while (end > begin && isBlank(line[end - 1]))
        --end;
    return end > begin && line[begin] == '[' && line[end - 1] == ']';
}

QByteArray IniDocument::lineKey(const QByteArray& line)
{
    qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return {};
    return trimmed(line.left(eq));
}

QByteArray IniDocument::lineValue(const QByteArray& line)
{
    qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return {};
    return trimmed(line.mid(eq + 1));
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes)
{
    IniDocument doc;
    doc.m_source = bytes;
    std::vector<QByteArray>* target = &doc.m_preamble;
    bool canonical = true;
    forEachLine(
        doc.m_source,
        [&](QByteArrayView view, bool header) {
            QByteArray line = QByteArray::fromRawData(view.data(), view.size());
            if (header) {
                doc.m_segments.push_back(Segment{std::move(line), {}, {}, false});
                target = &doc.m_segments.back().body;
            } else {
                target->push_back(std::move(line));
            }
        },
        &canonical);
    doc.m_canonical = canonical;
    doc.m_cutAtNul = memchr(doc.m_source.constData(), 0, size_t(doc.m_source.size())) != nullptr;
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    qsizetype total = 0;
    for (const QByteArray& l : m_preamble)
        total += l.size() + 2;
    for (const Segment& s : m_segments) {
        total += s.header.size() + 2;
        for (const QByteArray& l : s.body)
            total += l.size() + 2;
    }
    QByteArray out;
    out.resize(total);
    char* d = out.data();
    // Unchanged lines that follow each other in the loaded bytes, each with
    // its CR LF there, are copied as one run.
    const char* src = m_source.constData();
    const char* srcEnd = src + m_source.size();
    const char* runStart = nullptr;
    const char* runEnd = nullptr;
    auto flush = [&] {
        if (runStart) {
            memcpy(d, runStart, runEnd - runStart);
            d += runEnd - runStart;
            runStart = nullptr;
        }
    };
    auto put = [&](const QByteArray& l) {
        const char* p = l.constData();
        const char* e = p + l.size();
        const bool inSource = p >= src && e + 2 <= srcEnd && e[0] == '\r' && e[1] == '\n';
        if (inSource && runStart && p == runEnd) {
            runEnd = e + 2;
            return;
        }
        flush();
        if (inSource) {
            runStart = p;
            runEnd = e + 2;
            return;
        }
        memcpy(d, p, l.size());
        d += l.size();
        *d++ = '\r';
        *d++ = '\n';
    };
    for (const QByteArray& l : m_preamble)
        put(l);
    for (const Segment& s : m_segments) {
        put(s.header);
        for (const QByteArray& l : s.body)
            put(l);
    }
    flush();
    return out;
}

void IniDocument::markSaved()
{
    m_cutAtNul = false;
    m_canonical = true;
    m_changed = false;
}

int IniDocument::findSection(const QByteArray& section) const
{
    if (m_sectionsIndexed && m_lastSegment >= 0 && section == m_lastSection)
        return m_lastSegment;
    if (!m_sectionsIndexed) {
        m_sectionIndex.clear();
        for (int i = 0; i < static_cast<int>(m_segments.size()); ++i) {
            const QByteArray& h = m_segments[i].header;
            // Lookup compares the whole untrimmed line, so a header with
            // surrounding blanks ends a body but is never found.
            if (findableHeader(h)) {
                QByteArray folded = AnsiText::foldCase(h.mid(1, h.size() - 2));
                if (!m_sectionIndex.contains(folded))
                    m_sectionIndex.insert(folded, i);
            }
        }
        m_sectionsIndexed = true;
    }
    const int found = m_sectionIndex.value(AnsiText::foldCase(section), -1);
    m_lastSection = section;
    m_lastSegment = found;
    return found;
}

int IniDocument::findKey(const Segment& segment, const QByteArray& key) const
{
    if (!segment.indexed) {
        segment.keys.clear();
        segment.keys.reserve(static_cast<qsizetype>(segment.body.size()));
        for (int i = 0; i < static_cast<int>(segment.body.size()); ++i) {
            QByteArray k = lineKey(segment.body[i]);
            if (!segment.keys.contains(k))
                segment.keys.insert(k, i);
        }
        segment.indexed = true;
    }
    return segment.keys.value(key, -1);
}

std::vector<std::pair<QByteArray, QByteArray>> IniDocument::sectionValues(const QByteArray& section) const
{
    std::vector<std::pair<QByteArray, QByteArray>> values;
    const int s = findSection(section);
    if (s < 0)
        return values;
    const Segment& seg = m_segments[s];
    for (int i = 0; i < static_cast<int>(seg.body.size()); ++i) {
        const QByteArray key = lineKey(seg.body[i]);
        if (!key.isEmpty() && findKey(seg, key) == i)
            values.emplace_back(key, lineValue(seg.body[i]));
    }
    return values;
}

std::vector<QByteArray>& IniDocument::linesBefore(int segment)
{
    return segment == 0 ? m_preamble : m_segments[segment - 1].body;
}

QByteArray IniDocument::readString(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& defaultValue) const
{
    int s = findSection(section);
    if (s < 0)
        return defaultValue;
    const Segment& seg = m_segments[s];
    int line = findKey(seg, key);
    if (line < 0)
        return defaultValue;
    QByteArray value = lineValue(seg.body[line]);
    return value.isEmpty() ? defaultValue : value;
}

void IniDocument::writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    int s = findSection(section);
    if (s < 0) {
        linesBefore(static_cast<int>(m_segments.size())).push_back(QByteArray());
        Segment seg;
        seg.header = "[" + section + "]";
        if (!key.isEmpty())
            seg.body.push_back(key + "=" + value);
        m_segments.push_back(std::move(seg));
        m_sectionsIndexed = false;
        m_changed = true;
        return;
    }
    if (key.isEmpty())
        return;
    Segment& seg = m_segments[s];
    QByteArray line = key + "=" + value;
    int found = findKey(seg, key);
    if (found >= 0) {
        if (seg.body[found] != line) {
            seg.body[found] = std::move(line);
            m_changed = true;
        }
        return;
    }
    seg.body.push_back(std::move(line));
    seg.keys.insert(key, static_cast<int>(seg.body.size()) - 1);
    m_changed = true;
}

bool IniDocument::deleteKey(const QByteArray& section, const QByteArray& key)
{
    int s = findSection(section);
    if (s < 0)
        return false;
    Segment& seg = m_segments[s];
    int found = findKey(seg, key);
    if (found < 0)
        return false;
    seg.body.erase(seg.body.begin() + found);
    seg.indexed = false;
    m_changed = true;
    return true;
}

std::vector<QByteArray> IniDocument::sectionLines(const QByteArray& section) const
{
    const int s = findSection(section);
    return s < 0 ? std::vector<QByteArray>() : m_segments[s].body;
}

const std::vector<QByteArray>* IniDocument::sectionBody(const QByteArray& section) const
{
    const int s = findSection(section);
    return s < 0 ? nullptr : &m_segments[s].body;
}

void IniDocument::setSectionLines(const QByteArray& section, std::vector<QByteArray> lines)
{
    int s = findSection(section);
    if (s < 0) {
        writeString(section, {}, {});
        s = findSection(section);
    }
    Segment& seg = m_segments[s];
    seg.body = std::move(lines);
    seg.indexed = false;
    m_changed = true;
}

bool IniDocument::eraseSection(const QByteArray& section)
{
    int s = findSection(section);
    if (s < 0)
        return false;
    bool headerWasFirstLine = (s == 0 && m_preamble.empty());
    m_segments.erase(m_segments.begin() + s);
    if (!headerWasFirstLine)
        linesBefore(s).push_back(QByteArray());
    m_sectionsIndexed = false;
    m_changed = true;
    return true;
}
