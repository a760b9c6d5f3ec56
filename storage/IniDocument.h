#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

// The lines of one INI file as the engine sees them. Lines are kept in
// segments: the lines before the first section header, then one segment per
// header (a trimmed line that begins with "[" and ends with "]") with its body.
// A new key always goes to the end of a body and a section is only ever
// appended or removed whole, so lookups can use indexes that stay valid
// across most writes.
//
// Lines read from the file are views into the loaded bytes, which the
// document keeps; only changed and new lines own their text. Loading, saving
// and discarding a large file therefore cost a few passes over one buffer
// rather than one allocation per line.
class IniDocument
{
public:
    static IniDocument fromBytes(const QByteArray& bytes);
    // The lines of file bytes as fromBytes cuts them, one call each, without
    // keeping them: fn(line, isHeader), where line views the bytes. Text
    // ends at a NUL. *canonical tells whether every line ended in CR LF and
    // no NUL cut the text.
    template <class Fn> static void forEachLine(const QByteArray& bytes, Fn&& fn, bool* canonical = nullptr);
    // Whether a header line is one a lookup can find (no blanks around its
    // brackets), and the name it is found by, folded.
    static bool findableHeader(QByteArrayView line);
    QByteArray toBytes() const;

    // True when toBytes() would give back exactly the bytes this was loaded
    // from and nothing has changed since.
    bool matchesLoadedBytes() const { return m_canonical && !m_changed; }
    // True while the text was cut at a NUL byte when loaded: saving would
    // drop what followed it.
    bool cutAtNul() const { return m_cutAtNul; }
    void markSaved();

    bool isEmpty() const { return m_preamble.empty() && m_segments.empty(); }

    QByteArray readString(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue) const;
    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    // Both return whether a line was removed (and the file must be saved).
    bool deleteKey(const QByteArray& section, const QByteArray& key);
    // The body lines of a section as they stand ("key=value", comments,
    // blanks), and a new body for it (the section is made when missing).
    std::vector<QByteArray> sectionLines(const QByteArray& section) const;
    // The same lines without a copy, for a reader that walks many sections;
    // null when the section is missing. Valid until the next change.
    const std::vector<QByteArray>* sectionBody(const QByteArray& section) const;
    void setSectionLines(const QByteArray& section, std::vector<QByteArray> lines);
    bool eraseSection(const QByteArray& section);
    // Every key of a section that a lookup can find, with its value, in the
    // order of the file (a key's later duplicates are never seen).
    std::vector<std::pair<QByteArray, QByteArray>> sectionValues(const QByteArray& section) const;

    static QByteArray lineKey(const QByteArray& line);
    static QByteArray lineValue(const QByteArray& line);
    static QByteArray trimmed(const QByteArray& text);
    static bool isSectionHeader(const QByteArray& line);
    static bool isSectionHeader(QByteArrayView line);

private:
    struct Segment
    {
        QByteArray header;
        std::vector<QByteArray> body;
        mutable QHash<QByteArray, int> keys; // key -> first body line holding it
        mutable bool indexed = false;
    };

    int findSection(const QByteArray& section) const;
    int findKey(const Segment& segment, const QByteArray& key) const;
    std::vector<QByteArray>& linesBefore(int segment);

    QByteArray m_source; // the loaded bytes that unchanged lines point into
    std::vector<QByteArray> m_preamble;
    std::vector<Segment> m_segments;
    mutable QHash<QByteArray, int> m_sectionIndex; // folded name -> first segment
    mutable bool m_sectionsIndexed = false;
    mutable QByteArray m_lastSection; // the name last looked up, and where it was
    mutable int m_lastSegment = -1;
    bool m_canonical = true;
    bool m_changed = false;
    bool m_cutAtNul = false;
};

template <class Fn> void IniDocument::forEachLine(const QByteArray& bytes, Fn&& fn, bool* canonical)
{
    const char* data = bytes.constData();
    qsizetype size = bytes.size();
    bool whole = true;
    if (const void* nul = memchr(data, 0, size_t(size))) {
        size = static_cast<const char*>(nul) - data;
        whole = false;
    }
    const char* const end = data + size;
    // The next CR and LF at or after the current position; each is searched
    // for again only once passed, so the scan stays linear.
    auto find = [end](const char* from, char c) {
        const void* p = memchr(from, c, size_t(end - from));
        return p ? static_cast<const char*>(p) : end;
    };
    const char* nextCr = find(data, '\r');
    const char* nextLf = find(data, '\n');
    const char* pos = data;
    while (pos < end) {
        if (nextCr < pos)
            nextCr = find(pos, '\r');
        if (nextLf < pos)
            nextLf = find(pos, '\n');
        const char* lineEnd = std::min(nextCr, nextLf);
        const QByteArrayView line(pos, lineEnd - pos);
        if (lineEnd >= end) {
            whole = false; // last line without terminator
            pos = end;
        } else if (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') {
            pos = lineEnd + 2;
        } else {
            whole = false;
            pos = lineEnd + 1;
        }
        fn(line, isSectionHeader(line));
    }
    if (canonical)
        *canonical = whole;
}
