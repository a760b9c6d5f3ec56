#pragma once

#include <QByteArray>
#include <QHash>
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
    QByteArray toBytes() const;

    // True when toBytes() would give back exactly the bytes this was loaded
    // from and nothing has changed since.
    bool matchesLoadedBytes() const { return m_canonical && !m_changed; }
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
};
