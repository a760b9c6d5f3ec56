#include "IniFiles32.h"

#include <cstring>

#include "CommandError.h"

#include <limits>

TIniFile32::TIniFile32(IniStore& store, const QByteArray& fileName) : m_store(store), m_fileName(fileName)
{
    IniStore::Handle h = store.open(fileName);
    m_doc = std::move(h.doc);
    m_batchKey = std::move(h.key);
}

QByteArray TIniFile32::ReadString(const QByteArray& section, const QByteArray& key,
                                  const QByteArray& defaultValue) const
{
    if (m_doc->isEmpty())
        return defaultValue;
    return m_doc->readString(section, key, defaultValue);
}

std::vector<std::pair<QByteArray, QByteArray>> TIniFile32::ReadSectionValues(const QByteArray& section) const
{
    return m_doc->sectionValues(section);
}

int TIniFile32::toInteger(const QByteArray& input, bool* ok)
{
    *ok = false;
    QByteArray text = input;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.mid(2);
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i >= text.size())
        return 0;
    if (text[i] == '$') {
        ++i;
        qsizetype digits = text.size() - i;
        if (digits < 1 || digits > 8)
            return 0;
        quint32 v = 0;
        for (; i < text.size(); ++i) {
            char c = text[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return 0;
            v = (v << 4) | static_cast<quint32>(d);
        }
        *ok = true;
        return static_cast<int>(v);
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        return 0;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return 0;
    *ok = true;
    return static_cast<int>(v);
}

int TIniFile32::ReadInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const
{
    bool ok = false;
    int v = toInteger(ReadString(section, key, QByteArray()), &ok);
    return ok ? v : defaultValue;
}

namespace {

// A line break or NUL would end the line: what follows would be read as keys
// of its own (a crafted title could add bookmarks or rewrite an address).
bool breaksALine(const QByteArray& text)
{
    const char* data = text.constData();
    const size_t size = size_t(text.size());
    return std::memchr(data, '\r', size) || std::memchr(data, '\n', size) || std::memchr(data, '\0', size);
}

} // namespace

void TIniFile32::WriteString(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    if (breaksALine(section) || breaksALine(key) || breaksALine(value))
        throw CommandError(QStringLiteral("A line break cannot be stored in %1 (section \"%2\", key \"%3\"); "
                                          "nothing was written.")
                               .arg(QString::fromLocal8Bit(m_fileName), QString::fromLatin1(section.left(40)),
                                    QString::fromLatin1(key.left(40))));
    m_doc->writeString(section, key, value);
    m_store.changed(m_fileName, *m_doc, m_batchKey);
}

void TIniFile32::WriteInteger(const QByteArray& section, const QByteArray& key, int value)
{
    WriteString(section, key, QByteArray::number(value));
}

void TIniFile32::DeleteKey(const QByteArray& section, const QByteArray& key)
{
    if (m_doc->deleteKey(section, key))
        m_store.changed(m_fileName, *m_doc, m_batchKey);
}

std::vector<QByteArray> TIniFile32::SectionLines(const QByteArray& section) const
{
    return m_doc->sectionLines(section);
}

void TIniFile32::SetSectionLines(const QByteArray& section, std::vector<QByteArray> lines)
{
    for (const QByteArray& line : lines)
        if (breaksALine(section) || breaksALine(line))
            throw CommandError(QStringLiteral("A line break cannot be stored in %1 (section \"%2\"); nothing was "
                                              "written.")
                                   .arg(QString::fromLocal8Bit(m_fileName), QString::fromLatin1(section.left(40))));
    m_doc->setSectionLines(section, std::move(lines));
    m_store.changed(m_fileName, *m_doc, m_batchKey);
}

void TIniFile32::EraseSection(const QByteArray& section)
{
    if (m_doc->eraseSection(section))
        m_store.changed(m_fileName, *m_doc, m_batchKey);
}

void TIniFile32::UpdateFile()
{
    m_store.changed(m_fileName, *m_doc, m_batchKey);
}
