#pragma once

#include "FileStamp.h"

#include <QByteArray>
#include <QCollator>
#include <QString>
#include <array>
#include <vector>

class IniStore;

// Every filled slot of every page of a bookmark file, for searching: the
// link, title and notes as the user sees them, and where the bookmark lives.
// Rows stay in file order (page by page, slot by slot); whatever a search
// returns comes sorted by link with the locale's comparison, equal links
// together in page and slot order.
class BookmarkIndex
{
public:
    // A bookmark as a result list keeps it: its own copy of the text.
    struct Row
    {
        QString url; // "Password Protected" for an enciphered link
        QString title;
        QString notes; // one line: "|" a blank, "~" dropped
        QByteArray page;
        QByteArray slot;
        bool isProtected = false;
    };
    enum class Column { Url, Title, Notes };
    // A result list's separator between two groups.
    static constexpr int kSeparator = -1;

    BookmarkIndex();

    // Reads every page of the file (pages first..count of section Tabs, slots
    // 1 .. columns x 20). A page listed twice is read once. The text is
    // decoded only when a search needs it.
    void build(IniStore& store, const QByteArray& path, int columns);
    void clear();
    bool isEmpty() const { return m_entries.empty(); }
    bool isBuilt() const { return m_built; }
    // False once the file was written (through the store or by anyone else)
    // or another file is meant since the index was built.
    bool matches(const IniStore& store, const QByteArray& path) const;

    int size() const { return int(m_entries.size()); }
    Row row(int i) const;
    // A column's text as the user sees it.
    QString text(Column column, int i) const;

    // The rows whose column holds the text; without caseSensitive both are
    // lower-cased first. An empty text finds nothing.
    std::vector<int> find(Column column, const QString& text, bool caseSensitive) const;
    // Groups of rows with the same link, character for character, each group
    // followed by a separator except a group that ends the sorted index.
    // Protected links take no part.
    std::vector<int> duplicates() const;
    // The same for links that differ only in the ways similarKey forgives.
    std::vector<int> similar() const;

    // A web link with what does not change the page it names taken out:
    // http and https alike, no leading "www.", the host in lower case, no
    // default port, no trailing "/", no "#fragment", no tracking parameters
    // (utm_*, fbclid, gclid). Anything else comes back as it is.
    static QString similarKey(const QString& url);

private:
    struct Span
    {
        qsizetype at = 0;
        qsizetype size = 0;
    };
    struct Entry
    {
        Span url, title, notes;
        int page = 0;
        int slot = 0;
        bool isProtected = false;
    };
    QByteArray bytes(Span span) const { return QByteArray::fromRawData(m_source.constData() + span.at, span.size); }
    QString decode(Column column, const Entry& e) const;
    const std::vector<QString>& column(Column column) const;
    const std::vector<QString>& lowered(Column column) const;
    // Index order: link by the locale, then by its characters, then by place.
    void sortRows(std::vector<int>& rows) const;
    // The walk over rows in index order: every run of two or more rows whose
    // keys are equal, a separator after each run that does not end the list.
    static std::vector<int> groups(const std::vector<int>& ordered, const std::vector<QString>& keys);
    std::vector<int> grouped(const std::vector<QString>& keys) const;

    QByteArray m_source; // the file's bytes, which the entries point into
    std::vector<QByteArray> m_pages;
    std::vector<Entry> m_entries;
    mutable std::array<std::vector<QString>, 3> m_columns;
    mutable std::array<std::vector<QString>, 3> m_lowered;
    QCollator m_collator;
    FileStamp m_stamp;
    int m_writes = 0;
    bool m_built = false;
};
