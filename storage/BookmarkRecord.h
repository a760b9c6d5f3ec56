#pragma once

#include <QByteArray>
#include <QList>
#include <array>

// The ten fields of one bookmark, in the fixed order in which a whole bookmark
// is carried between slots, pages and files.
struct BookmarkRecord
{
    enum Field { Title, Url, Color, Updated, Notes, ExtraInfo, LaunchAs, Glyph, IconFile, IpAddress };
    static constexpr int kFieldCount = 10;
    // Key letter of each field, in record order: N U C D P S L G I A.
    static constexpr std::array<char, kFieldCount> kLetters = {'N', 'U', 'C', 'D', 'P', 'S', 'L', 'G', 'I', 'A'};

    std::array<QByteArray, kFieldCount> fields;

    QByteArray& operator[](Field f) { return fields[f]; }
    const QByteArray& operator[](Field f) const { return fields[f]; }
    bool isFilled() const { return !fields[Url].isEmpty(); }
};
