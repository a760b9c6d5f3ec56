#include "DesktopEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

namespace {

// Launchers are a few kilobytes; a huge file dropped by mistake is not read whole.
constexpr qint64 MaxFileBytes = 1 << 20;

// The escapes of string values. Any other backslash stays: Exec's quoting rules
// come after these and need their \" \` \$.
QString unescape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        switch (value[i + 1].unicode()) {
        case u's':
            out += u' ';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'r':
            out += u'\r';
            break;
        case u'\\':
            out += u'\\';
            break;
        default:
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

bool isFieldCode(QChar c)
{
    return QStringView(u"fFuUdDnNickvm").contains(c);
}

// What the field codes that stand for the entry itself become.
struct Expansions
{
    QString icon; // %i: "--icon" and the Icon key, or nothing without one
    QString name; // %c
    QString file; // %k
};

// Exec split into words. Quoting is undone before field codes are seen, so a quoted
// "%%" is a percent sign too. Codes for files and addresses (%f %F %u %U) are removed:
// a launcher started from a bookmark is given none. An unknown field code makes the
// whole line invalid, as the format demands, rather than guessing what it should become.
std::optional<QStringList> splitExec(const QString& exec, const Expansions& x)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool hadFieldCode = false;
    bool iconCode = false;
    bool quoted = false;
    auto finish = [&] {
        // %i stands alone and becomes two arguments.
        if (iconCode && word.isEmpty()) {
            if (!x.icon.isEmpty())
                words << QStringLiteral("--icon") << x.icon;
        } else if (inWord && !(word.isEmpty() && hadFieldCode)) {
            // A word that was nothing but removed field codes goes away with them; "" stays.
            words << word;
        }
        word.clear();
        inWord = hadFieldCode = iconCode = false;
    };
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        const QChar next = i + 1 < exec.size() ? exec[i + 1] : QChar();
        if (c == u'%') {
            if (next == u'%')
                word += u'%';
            else if (next == u'c')
                word += x.name;
            else if (next == u'k')
                word += x.file;
            else if (next == u'i')
                iconCode = true;
            else if (isFieldCode(next))
                hadFieldCode = true;
            else
                return std::nullopt;
            inWord = true;
            ++i;
        } else if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && QStringView(u"\"`$\\").contains(next)) {
                word += next;
                ++i;
            } else {
                word += c;
            }
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            finish();
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    finish();
    return words;
}

// Name[lang_COUNTRY] before Name[lang]; the C locale reads plain Name.
QStringList localeSuffixes()
{
    const QString locale = QLocale().name();
    if (locale.isEmpty() || locale == u"C")
        return {};
    QStringList suffixes{locale};
    const qsizetype underscore = locale.indexOf(u'_');
    if (underscore > 0)
        suffixes << locale.left(underscore);
    return suffixes;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::readFields(const QString& file)
{
    // Only a regular file: a pipe with a launcher's name would never end.
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(f.read(MaxFileBytes));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QHash<QString, QString> keys;
    bool seenGroup = false;
    bool inEntry = false;
    for (QStringView raw : QStringView(text).split(u'\n')) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            seenGroup = seenGroup || inEntry;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals <= 0)
            continue;
        keys.insert(line.left(equals).trimmed().toString(), line.mid(equals + 1).trimmed().toString());
    }
    if (!seenGroup)
        return std::nullopt;

    DesktopEntry entry;
    entry.name = unescape(keys.value(QStringLiteral("Name")));
    for (const QString& suffix : localeSuffixes()) {
        const auto localized = keys.constFind(QStringLiteral("Name[%1]").arg(suffix));
        if (localized != keys.constEnd()) {
            entry.name = unescape(*localized);
            break;
        }
    }
    entry.workingDir = unescape(keys.value(QStringLiteral("Path")));
    entry.icon = unescape(keys.value(QStringLiteral("Icon")));
    entry.type = keys.value(QStringLiteral("Type"));
    entry.url = unescape(keys.value(QStringLiteral("URL")));
    entry.terminal = keys.value(QStringLiteral("Terminal")) == u"true";

    const auto exec = keys.constFind(QStringLiteral("Exec"));
    std::optional<QStringList> words;
    if (exec != keys.constEnd())
        words = splitExec(unescape(*exec), {entry.icon, entry.name, QFileInfo(file).absoluteFilePath()});
    if (words && !words->isEmpty()) {
        entry.program = words->takeFirst();
        entry.arguments = *words;
    }
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::read(const QString& file)
{
    std::optional<DesktopEntry> entry = readFields(file);
    if (!entry)
        return std::nullopt;
    // Without a Type the entry is taken for an application, the common case.
    if (entry->type.isEmpty() || entry->type == u"Application") {
        if (entry->program.isEmpty())
            return std::nullopt;
    } else if (entry->type == u"Link") {
        if (entry->url.isEmpty())
            return std::nullopt;
    }
    return entry;
}
