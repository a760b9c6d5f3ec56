#include "DesktopEntry.h"
#include "ShellLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "TestFiles.h"
using TestFiles::put16;
using TestFiles::put32;

#include <algorithm>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString shortcutsDir()
{
    const QString env = qEnvironmentVariable("LYNKOR_TEST_DATA");
    if (!env.isEmpty() && QFileInfo::exists(env + "/shortcuts"))
        return env + "/shortcuts";
    return QFINDTESTDATA("../data/shortcuts");
}

QString fixturePath(const QString& name)
{
    return shortcutsDir() + '/' + name;
}

QByteArray fixture(const QString& name)
{
    QFile f(fixturePath(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(f.fileName()));
    return f.readAll();
}

quint32 get32(const QByteArray& data, qint64 offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

// Where LinkInfo starts: after the header and the id list when there is one.
qint64 linkInfoStart(const QByteArray& link)
{
    const bool hasIdList = get32(link, 0x14) & 0x1;
    return 0x4C + (hasIdList ? 2 + qFromLittleEndian<quint16>(link.constData() + 0x4C) : 0);
}

// The bytes in a heap block of exactly their size with no NUL after them, so valgrind
// reports a read even one byte past the end.
std::optional<ShellLink> parseExact(const QByteArray& bytes)
{
    std::unique_ptr<char[]> copy(new char[bytes.size()]);
    std::memcpy(copy.get(), bytes.constData(), bytes.size());
    return ShellLink::parse(QByteArray::fromRawData(copy.get(), bytes.size()));
}

const QString EditorTarget = QStringLiteral("C:\\Tools\\Edit.exe");
const QString EditorRelative = QStringLiteral("..\\..\\Tools\\Edit.exe");
const QString OmegaUnicode = QStringLiteral("C:\\Tools\\Ωmega.exe");
const QString OmegaAnsi = QStringLiteral("C:\\Tools\\?mega.exe");
const QString RunRelative = QStringLiteral("..\\bin\\run.exe");

} // namespace

class TestShortcuts : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void linkFields_data();
    void linkFields();
    void truncatedLink_data();
    void truncatedLink();
    void corruptedLink_data();
    void corruptedLink();
    void namespaceItemsAndRelativePaths();
    void linksWithoutTarget_data();
    void linksWithoutTarget();
    void mutatedLinks_data();
    void mutatedLinks();
    void unreadableFiles();

    void execLine_data();
    void execLine();
    void desktopFields_data();
    void desktopFields();
    void localizedName_data();
    void localizedName();
    void entryRules_data();
    void entryRules();

private:
    QTemporaryDir m_dir;
};

void TestShortcuts::linkFields_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("iconLocation");
    QTest::addColumn<int>("iconIndex");

    const QString none;
    QTest::newRow("unicode, id list, every string")
        << QStringLiteral("editor.lnk") << EditorTarget << QStringLiteral("readme.txt /x") << QStringLiteral("D:\\Docs")
        << QStringLiteral("My Editor") << EditorTarget << 1;
    QTest::newRow("ansi strings in Windows-1252")
        << QStringLiteral("ansi.lnk") << QStringLiteral("C:\\Programme\\Größe.exe") << none
        << QStringLiteral("C:\\Programme") << QStringLiteral("Größe – 5 €") << none << 0;
    QTest::newRow("network share and suffix")
        << QStringLiteral("network.lnk") << QStringLiteral("\\\\server\\share\\dir\\tool.exe") << none << none
        << QStringLiteral("Tool on server") << none << 0;
    QTest::newRow("unicode local path beats its ansi copy")
        << QStringLiteral("omega.lnk") << OmegaUnicode << none << none << QStringLiteral("Omega") << none << 0;
    QTest::newRow("unicode share and suffix beat their ansi copies")
        << QStringLiteral("unicode-net.lnk") << QStringLiteral("\\\\sérveur\\Ωshare\\Ωmega.exe") << none << none << none
        << none << 0;
    QTest::newRow("relative path when nothing else, from the shortcut's folder")
        << QStringLiteral("relative.lnk") << QDir::cleanPath(shortcutsDir() + "/../bin/run.exe") << none << none << none
        << none << 0;
    QTest::newRow("environment block beats the relative path")
        << QStringLiteral("envvar.lnk") << QStringLiteral("%ProgramFiles%\\Run\\run.exe") << none << none << none
        << none << 0;
    QTest::newRow("item-ID list in short names beats the relative path")
        << QStringLiteral("idlist-short.lnk") << QStringLiteral("C:\\PROGRA~1\\xt\\xt.exe") << none
        << QStringLiteral("C:\\PROGRA~1\\xt") << none << none << 0;
    QTest::newRow("item-ID list with long names (versions 9, 3 and 8)")
        << QStringLiteral("idlist-long.lnk") << QStringLiteral("C:\\Program Files\\xt\\xterm main.exe")
        << QStringLiteral("-geometry 80x24") << QStringLiteral("C:\\Program Files\\xt") << none << none << 0;
    QTest::newRow("item-ID list on a network share")
        << QStringLiteral("network-idlist.lnk") << QStringLiteral("\\\\server\\share\\tool.exe") << none << none
        << QStringLiteral("Tool") << none << 0;
    QTest::newRow("arguments and working folder padded with NULs")
        << QStringLiteral("padded.lnk") << EditorTarget << QStringLiteral("--fast") << QStringLiteral("C:\\Tools")
        << none << none << 0;
    QTest::newRow("unknown and damaged extra data blocks")
        << QStringLiteral("unknown-extra.lnk") << QStringLiteral("C:\\Program Files\\xt\\xterm main.exe")
        << QStringLiteral("-e top") << none << none << none << 0;
    QTest::newRow("times out of range") << QStringLiteral("bad-date.lnk") << EditorTarget << none << none
                                        << QStringLiteral("Old times") << none << 0;
    QTest::newRow("item-ID list through the network's workgroup, server and share")
        << QStringLiteral("unc-idlist.lnk") << QStringLiteral("\\\\server\\share\\Tools and more\\tool.exe") << none
        << none << QStringLiteral("Tool") << none << 0;
    QTest::newRow("a shell folder of the computer spells no drive: the relative path")
        << QStringLiteral("documents.lnk") << QDir::cleanPath(shortcutsDir() + "/../Documents/report.docx") << none
        << none << none << none << 0;
    QTest::newRow("ansi strings of odd lengths padded with blanks, a NUL and leftovers")
        << QStringLiteral("padded-ansi.lnk") << EditorTarget << QStringLiteral("--fast") << QStringLiteral("C:\\Tools")
        << none << none << 0;
    QTest::newRow("relative path holding an absolute Windows path stays as it is")
        << QStringLiteral("absolute-relative.lnk") << EditorTarget << none << none << none << none << 0;
}

void TestShortcuts::linkFields()
{
    QFETCH(QString, file);
    const std::optional<ShellLink> link = ShellLink::read(fixturePath(file));
    QVERIFY(link);
    QTEST(link->target, "target");
    QTEST(link->arguments, "arguments");
    QTEST(link->workingDir, "workingDir");
    QTEST(link->description, "description");
    QTEST(link->iconLocation, "iconLocation");
    QTEST(link->iconIndex, "iconIndex");
}

// editor.lnk cut at every length: nothing until LinkInfo is whole, then the target and
// each string that fits; a string cut short is dropped, never read in part.
void TestShortcuts::truncatedLink_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("iconLocation");

    const QByteArray full = fixture("editor.lnk");
    const qint64 info = linkInfoStart(full);
    const qint64 strings = info + get32(full, info);
    auto end = [](qint64 start, const QString& text) { return start + 2 + 2 * text.size(); };
    const qint64 nameEnd = end(strings, "My Editor");
    const qint64 dirEnd = end(end(nameEnd, EditorRelative), "D:\\Docs");
    const qint64 argumentsEnd = end(dirEnd, "readme.txt /x");
    const qint64 iconEnd = end(argumentsEnd, EditorTarget);
    QCOMPARE(iconEnd + 4, full.size()); // then only the terminal block

    for (qint64 length = 0; length < full.size(); ++length) {
        QTest::addRow("%lld bytes", length)
            << full.left(length) << (length >= strings) << (length >= nameEnd ? "My Editor" : "")
            << (length >= dirEnd ? "D:\\Docs" : "") << (length >= argumentsEnd ? "readme.txt /x" : "")
            << (length >= iconEnd ? EditorTarget : QString());
    }
}

void TestShortcuts::truncatedLink()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const std::optional<ShellLink> link = parseExact(bytes);
    QCOMPARE(bool(link), valid);
    if (!link)
        return;
    QCOMPARE(link->target, EditorTarget);
    QTEST(link->description, "description");
    QTEST(link->workingDir, "workingDir");
    QTEST(link->arguments, "arguments");
    QTEST(link->iconLocation, "iconLocation");
    QCOMPARE(link->iconIndex, 1);
}

void TestShortcuts::corruptedLink_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("description");

    const QString none;
    const QByteArray editor = fixture("editor.lnk");
    const qint64 editorInfo = linkInfoStart(editor);
    const quint32 editorInfoSize = get32(editor, editorInfo);
    const qint64 editorStrings = editorInfo + editorInfoSize;

    QByteArray clsid = editor;
    clsid[4 + 15] = char(0x47);
    QTest::newRow("header size one too big") << put32(editor, 0, 0x4D) << false << none << none;
    QTest::newRow("header size zero") << put32(editor, 0, 0) << false << none << none;
    QTest::newRow("wrong class id") << clsid << false << none << none;
    QTest::newRow("id list past the end") << put16(editor, 0x4C, 0xFFFF) << false << none << none;
    QTest::newRow("link info past the end") << put32(editor, editorInfo, 0xFFFFFFFF) << false << none << none;
    QTest::newRow("link info smaller than its header") << put32(editor, editorInfo, 8) << false << none << none;
    QTest::newRow("link info header bigger than link info: the item-ID list")
        << put32(editor, editorInfo + 4, editorInfoSize + 4) << true << EditorTarget << "My Editor";
    QTest::newRow("name longer than the file: target only")
        << put16(editor, editorStrings, 0xFFFF) << true << EditorTarget << none;

    // omega.lnk: a damaged Unicode copy falls back to the ANSI one.
    const QByteArray omega = fixture("omega.lnk");
    const qint64 omegaInfo = linkInfoStart(omega);
    const quint32 omegaInfoSize = get32(omega, omegaInfo);
    const qint64 unicodeField = omegaInfo + 0x1C;
    const qint64 ansiField = omegaInfo + 0x10;
    QByteArray unterminated = put32(omega, unicodeField, omegaInfoSize - 2);
    unterminated[omegaInfo + omegaInfoSize - 2] = 'x';
    QTest::newRow("unicode path past link info")
        << put32(omega, unicodeField, omegaInfoSize) << true << OmegaAnsi << "Omega";
    QTest::newRow("unicode path near 4 GiB") << put32(omega, unicodeField, 0xFFFFFFF0) << true << OmegaAnsi << "Omega";
    QTest::newRow("unicode path inside the header") << put32(omega, unicodeField, 4) << true << OmegaAnsi << "Omega";
    QTest::newRow("unicode path on the last odd byte")
        << put32(omega, unicodeField, omegaInfoSize - 1) << true << OmegaAnsi << "Omega";
    QTest::newRow("unicode path without its NUL") << unterminated << true << OmegaAnsi << "Omega";
    QByteArray ansiUnterminated = put32(put32(omega, unicodeField, 0), ansiField, omegaInfoSize - 1);
    ansiUnterminated[omegaInfo + omegaInfoSize - 1] = 'x';
    QTest::newRow("ansi path without its NUL, no other target") << ansiUnterminated << false << none << none;
    QTest::newRow("both paths past link info, no other target")
        << put32(put32(omega, unicodeField, omegaInfoSize), ansiField, omegaInfoSize) << false << none << none;

    // network.lnk has no other target, so a damaged share leaves nothing.
    const QByteArray network = fixture("network.lnk");
    const qint64 networkInfo = linkInfoStart(network);
    const qint64 netLinkField = networkInfo + 0x14;
    const qint64 netLink = networkInfo + get32(network, netLinkField);
    QTest::newRow("network link past link info") << put32(network, netLink, 0xFFFF) << false << none << none;
    QTest::newRow("network link smaller than its header") << put32(network, netLink, 8) << false << none << none;
    QTest::newRow("share name past the network link") << put32(network, netLink + 8, 0x1000) << false << none << none;
    QTest::newRow("share name inside the network link header")
        << put32(network, netLink + 8, 4) << false << none << none;
    QTest::newRow("network link inside the link info header")
        << put32(network, netLinkField, 0) << false << none << none;

    // envvar.lnk: a damaged ExtraData block falls back to the relative path.
    const QByteArray envvar = fixture("envvar.lnk");
    const qint64 knownFolder = envvar.indexOf(QByteArray("\x0b\x00\x00\xa0", 4)) - 4;
    const qint64 environment = envvar.indexOf(QByteArray("\x01\x00\x00\xa0", 4)) - 4;
    QVERIFY(knownFolder > 0 && environment > knownFolder);
    QTest::newRow("environment block cut short") << envvar.left(environment + 0x200) << true << RunRelative << none;
    QTest::newRow("environment block past the end")
        << put32(envvar, environment, 0xFFFF) << true << RunRelative << none;
    QTest::newRow("environment block too small for its strings")
        << put32(envvar, environment, 0x100) << true << RunRelative << none;
    QTest::newRow("extra data block of size zero") << put32(envvar, knownFolder, 0) << true << RunRelative << none;
}

void TestShortcuts::corruptedLink()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const std::optional<ShellLink> link = parseExact(bytes);
    QCOMPARE(bool(link), valid);
    if (!link)
        return;
    QTEST(link->target, "target");
    QTEST(link->description, "description");
}

void TestShortcuts::namespaceItemsAndRelativePaths()
{
    // A Control Panel shortcut names no file: a link without a target, so
    // the caller can say so.
    const std::optional<ShellLink> panel = ShellLink::read(fixturePath("namespace.lnk"));
    QVERIFY(panel);
    QVERIFY(panel->namespaceItem);
    QVERIFY(panel->target.isEmpty());
    QCOMPARE(panel->description, QStringLiteral("Display"));
    for (const char* name : {"editor.lnk", "idlist-short.lnk", "relative.lnk"})
        QVERIFY(!ShellLink::read(fixturePath(QString::fromLatin1(name)))->namespaceItem);
    // The relative path, the last resort, counts from the shortcut's folder.
    const std::optional<ShellLink> relative = ShellLink::read(fixturePath("relative.lnk"));
    QCOMPARE(relative->source, ShellLink::Source::Relative);
    QCOMPARE(relative->target, QDir::cleanPath(shortcutsDir() + "/../bin/run.exe"));
    QCOMPARE(ShellLink::parse(fixture("relative.lnk"))->target, RunRelative);
    QCOMPARE(ShellLink::read(fixturePath("idlist-short.lnk"))->source, ShellLink::Source::IdList);
    QCOMPARE(ShellLink::read(fixturePath("editor.lnk"))->source, ShellLink::Source::LinkInfo);
}

// Item-ID lists that name no path: a shell item of Windows is marked as one,
// so the caller can say why it makes no bookmark; a file in a place the list
// names without a drive is simply unreadable, never a namespace item.
void TestShortcuts::linksWithoutTarget_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("namespaceItem");
    QTest::addColumn<QString>("description");

    QTest::newRow("Control Panel as its own root")
        << QStringLiteral("namespace.lnk") << true << QStringLiteral("Display");
    QTest::newRow("Control Panel inside the computer")
        << QStringLiteral("panel-in-computer.lnk") << true << QStringLiteral("Mouse");
    QTest::newRow("Control Panel folder inside the computer")
        << QStringLiteral("panel-folder.lnk") << true << QStringLiteral("Control Panel");
    QTest::newRow("the computer itself") << QStringLiteral("this-pc.lnk") << true << QString();
    QTest::newRow("a file below the user's folder") << QStringLiteral("user-files.lnk") << false << QString();
}

void TestShortcuts::linksWithoutTarget()
{
    QFETCH(QString, file);
    QFETCH(bool, namespaceItem);
    const std::optional<ShellLink> link = ShellLink::read(fixturePath(file));
    QCOMPARE(bool(link), namespaceItem);
    if (!link)
        return;
    QVERIFY(link->namespaceItem);
    QCOMPARE(link->target, QString());
    QCOMPARE(link->source, ShellLink::Source::None);
    QTEST(link->description, "description");
}

// Every fixture cut short (also in the middle of a string) and with each byte, 16-bit and 32-bit field set to
// values that break sizes and offsets. Under the sanitizers (build-asan) any
// read outside the bytes fails the run; everywhere a link that comes back is
// whole: a target or a namespace item, and no string with a NUL in it.
void TestShortcuts::mutatedLinks_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(shortcutsDir()).entryList({QStringLiteral("*.lnk")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 20);
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestShortcuts::mutatedLinks()
{
    QFETCH(QString, file);
    const QByteArray original = fixture(file);
    QStringList faults;
    int parsed = 0;
    const auto check = [&](const QByteArray& bytes, const QString& what) {
        const std::optional<ShellLink> link = parseExact(bytes);
        if (!link)
            return;
        ++parsed;
        const bool whole = link->namespaceItem == link->target.isEmpty() &&
                           (link->source == ShellLink::Source::None) == link->target.isEmpty();
        bool clean = true;
        for (const QString* text :
             {&link->target, &link->arguments, &link->workingDir, &link->description, &link->iconLocation})
            clean = clean && !text->contains(QChar(0));
        if (!whole || !clean)
            faults << what;
    };

    for (qint64 length = 0; length <= original.size(); ++length) {
        check(original.left(length), QStringLiteral("cut to %1 bytes").arg(length));
        // Cut where a string's NUL would follow: a string that runs to the end.
        QByteArray unterminated = original.left(length);
        for (qint64 at = std::max<qint64>(0, length - 2); at < length; ++at)
            unterminated[at] = 'A';
        check(unterminated, QStringLiteral("cut to %1 bytes ending in text").arg(length));
    }
    for (qint64 at = 0; at < original.size(); ++at) {
        for (const unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            QByteArray bytes = original;
            bytes[at] = char(value);
            check(bytes, QStringLiteral("byte %1 set to %2").arg(at).arg(value));
        }
        if (at + 2 <= original.size()) {
            for (const quint16 value : {quint16(0x8000), quint16(0xFFFF)})
                check(put16(original, at, value), QStringLiteral("u16 at %1 set to %2").arg(at).arg(value));
        }
        if (at + 4 <= original.size()) {
            const quint32 toEnd = quint32(original.size() - at);
            for (const quint32 value : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, toEnd, toEnd + 1})
                check(put32(original, at, value), QStringLiteral("u32 at %1 set to %2").arg(at).arg(value));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 5).join(u"; ")));
    QVERIFY(parsed > 0);
}

void TestShortcuts::unreadableFiles()
{
    QVERIFY(!ShellLink::read(fixturePath("no-such.lnk")));
    QVERIFY(!ShellLink::read(fixturePath("app.desktop")));
    QVERIFY(!DesktopEntry::read(fixturePath("no-such.desktop")));
}

void TestShortcuts::execLine_data()
{
    QTest::addColumn<QString>("exec"); // as written in the file
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("plain") << "edit --new file.txt" << true << "edit" << QStringList{"--new", "file.txt"};
    QTest::newRow("runs of spaces") << "edit   a    b  " << true << "edit" << QStringList{"a", "b"};
    QTest::newRow("quoted program with spaces")
        << "\"/opt/My App/run\" -x" << true << "/opt/My App/run" << QStringList{"-x"};
    QTest::newRow("quoted argument with spaces")
        << "edit \"two words\" three" << true << "edit" << QStringList{"two words", "three"};
    QTest::newRow("quotes inside a word") << "edit --title=\"a b\"" << true << "edit" << QStringList{"--title=a b"};
    QTest::newRow("escaped quote") << R"(edit "say \\"hi\\"")" << true << "edit" << QStringList{"say \"hi\""};
    QTest::newRow("escaped backtick and dollar")
        << R"(edit "\\`id\\` \\$HOME")" << true << "edit" << QStringList{"`id` $HOME"};
    QTest::newRow("escaped backslash") << R"(edit "C:\\\\dir")" << true << "edit" << QStringList{"C:\\dir"};
    QTest::newRow("string escapes come first")
        << R"(edit "a\tb" c\sd)" << true << "edit" << QStringList{"a\tb", "c", "d"};
    QTest::newRow("unquoted backslash is kept") << R"(edit a\\b)" << true << "edit" << QStringList{"a\\b"};
    QTest::newRow("empty quoted argument is kept") << "edit \"\" x" << true << "edit" << QStringList{"", "x"};
    QTest::newRow("field code alone is dropped") << "edit %U" << true << "edit" << QStringList{};
    // Codes for files and addresses go (a bookmark gives none); the entry's
    // own: %i its icon as two arguments, %c its name, %k the launcher file.
    QTest::newRow("every field code") << "edit %f %F %u %U %d %D %n %N %i %c %k %v %m end" << true << "edit"
                                      << QStringList{"--icon", "lynkor", "T", "@FILE@", "end"};
    QTest::newRow("name inside a word") << "edit --class=%c" << true << "edit" << QStringList{"--class=T"};
    QTest::newRow("quoted field code is dropped") << "edit \"%u\"" << true << "edit" << QStringList{};
    QTest::newRow("field code inside a word") << "edit --file=%f" << true << "edit" << QStringList{"--file="};
    QTest::newRow("double percent, expanded once")
        << "edit 100%% --x=%%f" << true << "edit" << QStringList{"100%", "--x=%f"};
    QTest::newRow("double percent in quotes") << "edit \"50%% off\"" << true << "edit" << QStringList{"50% off"};

    QTest::newRow("unknown field code") << "edit %z" << false << "" << QStringList{};
    QTest::newRow("lone percent at the end") << "edit 100%" << false << "" << QStringList{};
    QTest::newRow("unterminated quote") << "edit \"open" << false << "" << QStringList{};
    QTest::newRow("only field codes") << "%U" << false << "" << QStringList{};
    QTest::newRow("empty") << "" << false << "" << QStringList{};
}

void TestShortcuts::execLine()
{
    QFETCH(QString, exec);
    QFETCH(bool, valid);
    QVERIFY(m_dir.isValid());
    const QString file = m_dir.filePath("exec.desktop");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[Desktop Entry]\nType=Application\nName=T\nIcon=lynkor\nExec=" + exec.toUtf8() + "\n");
    f.close();

    const std::optional<DesktopEntry> entry = DesktopEntry::read(file);
    QCOMPARE(bool(entry), valid);
    if (!entry)
        return;
    QTEST(entry->program, "program");
    QFETCH(QStringList, arguments);
    arguments.replaceInStrings(QStringLiteral("@FILE@"), QFileInfo(file).absoluteFilePath());
    QCOMPARE(entry->arguments, arguments);
}

void TestShortcuts::desktopFields_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("terminal");

    const QString none;
    QTest::newRow("application") << u"app.desktop"_s << u"Text Editor"_s << u"/opt/Text Editor/bin/edit"_s
                                 << QStringList{"--title", "Notes \"draft\"", "--zoom=50%"} << u"/home/user/Notes"_s
                                 << u"accessories-text-editor"_s << u"Application"_s << none << true;
    QTest::newRow("link") << u"link.desktop"_s << u"Project Home"_s << none << QStringList{} << none
                          << u"/usr/share/pixmaps/lynkor-site.png"_s << u"Link"_s
                          << u"https://example.org/lynkor?page=1&lang=de"_s << false;
}

void TestShortcuts::desktopFields()
{
    QFETCH(QString, file);
    const std::optional<DesktopEntry> entry = DesktopEntry::read(fixturePath(file));
    QVERIFY(entry);
    QTEST(entry->name, "name");
    QTEST(entry->program, "program");
    QTEST(entry->arguments, "arguments");
    QTEST(entry->workingDir, "workingDir");
    QTEST(entry->icon, "icon");
    QTEST(entry->type, "type");
    QTEST(entry->url, "url");
    QTEST(entry->terminal, "terminal");
}

void TestShortcuts::localizedName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");

    QTest::newRow("C locale") << u"app.desktop"_s << u"C"_s << u"Text Editor"_s;
    QTest::newRow("language") << u"app.desktop"_s << u"de_DE"_s << u"Texteditor"_s;
    QTest::newRow("language and country") << u"app.desktop"_s << u"de_CH"_s << u"Texteditor (Schweiz)"_s;
    QTest::newRow("no translation") << u"app.desktop"_s << u"fr_FR"_s << u"Text Editor"_s;
    QTest::newRow("link") << u"link.desktop"_s << u"de_AT"_s << u"Projektseite"_s;
}

void TestShortcuts::localizedName()
{
    QFETCH(QString, file);
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    const std::optional<DesktopEntry> entry = DesktopEntry::read(fixturePath(file));
    QVERIFY(entry);
    QTEST(entry->name, "name");
}

void TestShortcuts::entryRules_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("program");

    QTest::newRow("no Desktop Entry group")
        << QByteArray("[Desktop Action new]\nType=Application\nExec=edit\n") << false << "";
    QTest::newRow("keys before any group") << QByteArray("Type=Application\nExec=edit\n") << false << "";
    QTest::newRow("application without Exec")
        << QByteArray("[Desktop Entry]\nType=Application\nName=X\n") << false << "";
    QTest::newRow("Exec only in an action")
        << QByteArray("[Desktop Entry]\nType=Application\n[Desktop Action new]\nExec=edit\n") << false << "";
    QTest::newRow("link without URL") << QByteArray("[Desktop Entry]\nType=Link\nName=X\n") << false << "";
    QTest::newRow("no Type is an application") << QByteArray("[Desktop Entry]\nExec=edit\n") << true << "edit";
    QTest::newRow("entry group after another group")
        << QByteArray("[Other]\nExec=other\n[Desktop Entry]\nExec=edit\n") << true << "edit";
    QTest::newRow("action Exec does not replace the entry's")
        << QByteArray("[Desktop Entry]\nExec=edit\n[Desktop Action x]\nExec=other\n") << true << "edit";
    QTest::newRow("CRLF line ends") << QByteArray("[Desktop Entry]\r\nType=Application\r\nExec=edit\r\n") << true
                                    << "edit";
    QTest::newRow("comments and spaces around =")
        << QByteArray("# launcher\n\n[Desktop Entry]\n  Exec = edit  \n") << true << "edit";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Desktop Entry]\nExec=edit\n") << true << "edit";
}

void TestShortcuts::entryRules()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QVERIFY(m_dir.isValid());
    const QString file = m_dir.filePath("rules.desktop");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();

    const std::optional<DesktopEntry> entry = DesktopEntry::read(file);
    QCOMPARE(bool(entry), valid);
    if (entry)
        QTEST(entry->program, "program");
}

QTEST_GUILESS_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
