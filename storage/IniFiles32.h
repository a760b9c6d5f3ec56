#pragma once

#include "IniStore.h"

#include <QByteArray>
#include <memory>
#include <vector>

// The INI engine through which every file of the program is read and written.
// An instance lives for one short sequence of operations: creating it loads the
// file, every change saves it at once (or when the enclosing batch ends), and
// destroying it discards the lines without saving.
class TIniFile32
{
public:
    TIniFile32(IniStore& store, const QByteArray& fileName);

    const QByteArray& FileName() const { return m_fileName; }

    QByteArray ReadString(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue) const;
    int ReadInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const;
    void WriteString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void WriteInteger(const QByteArray& section, const QByteArray& key, int value);
    void DeleteKey(const QByteArray& section, const QByteArray& key);
    // A section's body lines as they stand, and a new body for it in one
    // change: for commands that rearrange a whole page at once.
    std::vector<QByteArray> SectionLines(const QByteArray& section) const;
    void SetSectionLines(const QByteArray& section, std::vector<QByteArray> lines);
    void EraseSection(const QByteArray& section);
    // Every key of a section with its value, as ReadString would find them.
    std::vector<std::pair<QByteArray, QByteArray>> ReadSectionValues(const QByteArray& section) const;
    // Saves the lines as they are (loading a page leaves the file in the
    // engine's saved form).
    void UpdateFile();

    const IniDocument& document() const { return *m_doc; }

    // The text-to-integer rule of ReadInteger; ok is false for a text that
    // gives the default.
    static int toInteger(const QByteArray& text, bool* ok);

private:
    IniStore& m_store;
    QByteArray m_fileName;
    std::shared_ptr<IniDocument> m_doc;
    QByteArray m_batchKey;
};
