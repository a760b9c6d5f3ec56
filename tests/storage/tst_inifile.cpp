#include "CommandError.h"
#include "FileError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PathNames.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "TestFiles.h"
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Applies operations written as "W|section|key|value", "I|section|key|int",
// "D|section|key", "E|section" and "L|section|line/line/...".
void apply(TIniFile32& ini, const QStringList& ops)
{
    for (const QString& op : ops) {
        const QList<QByteArray> p = op.toLatin1().split('|');
        if (p[0] == "W")
            ini.WriteString(p[1], p[2], p.value(3));
        else if (p[0] == "I")
            ini.WriteInteger(p[1], p[2], p[3].toInt());
        else if (p[0] == "D")
            ini.DeleteKey(p[1], p[2]);
        else if (p[0] == "E")
            ini.EraseSection(p[1]);
        else if (p[0] == "L") // a section's lines rearranged: the rest of the op, "/"-separated
            ini.SetSectionLines(p[1], [&] {
                std::vector<QByteArray> lines;
                for (const QByteArray& l : p.value(2).split('/'))
                    if (!l.isEmpty())
                        lines.push_back(l);
                return lines;
            }());
    }
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    IniStore m_store;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray bpath(const QString& name) const { return PathNames::fromQt(path(name)); }

private slots:
    void reads_data();
    void reads();
    void readInteger_data();
    void readInteger();
    void writes_data();
    void writes();
    void missingFileReadsDefaultsAndFirstWriteCreatesIt();
    void deleteOfMissingKeyLeavesFileUntouched();
    void loadingSavesOnlyWhenTheBytesDiffer();
    void unreadableFileRaisesOpenError();
    void lineBreaksAreRefused_data();
    void lineBreaksAreRefused();
    void failedSaveLeavesOldFileWhole_data();
    void failedSaveLeavesOldFileWhole();
    void saveIntoMissingFolderRaisesCreateError();
    void failedSaveSaysWhy_data();
    void failedSaveSaysWhy();
    void batchSavesOnceAndMatchesKeyByKey();
    void batchSharesLinesBetweenInstances();
    void batchLeftByExceptionStillSaves();
    void instancesDoNotSeeEachOthersChanges();
};

void TestIniFile::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("section matched without regard to case")
        << QByteArray("[tabs]\r\nCount=3\r\n") << QByteArray("TABS") << QByteArray("Count") << QByteArray("3");
    QTest::newRow("key matched with regard to case")
        << QByteArray("[Tabs]\r\ncount=3\r\n") << QByteArray("Tabs") << QByteArray("Count") << QByteArray("dflt");
    QTest::newRow("blanks around key, = and value are trimmed")
        << QByteArray("[A]\r\n  key  =  some value  \t\r\n") << QByteArray("A") << QByteArray("key")
        << QByteArray("some value");
    QTest::newRow("empty value reads as default")
        << QByteArray("[A]\r\nkey=\r\n") << QByteArray("A") << QByteArray("key") << QByteArray("dflt");
    QTest::newRow("only the first = separates")
        << QByteArray("[A]\r\nk=a=b\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("a=b");
    QTest::newRow("first of duplicate keys wins")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("1");
    QTest::newRow("header with blanks is not found")
        << QByteArray(" [A] \r\nk=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("dflt");
    QTest::newRow("header with blanks still ends the body above")
        << QByteArray("[A]\r\nx=0\r\n [B] \r\nk=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("dflt");
    QTest::newRow("first of two equal sections") << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n") << QByteArray("A")
                                                 << QByteArray("j") << QByteArray("dflt");
    QTest::newRow("line without = never matches")
        << QByteArray("[A]\r\nk\r\nk=5\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("5");
    QTest::newRow("NUL ends the text") << QByteArray("[A]\r\nk=1\r\n\0j=2\r\n", 16) << QByteArray("A")
                                       << QByteArray("j") << QByteArray("dflt");
    QTest::newRow("lone CR and lone LF end lines")
        << QByteArray("[A]\rx=1\nk=2") << QByteArray("A") << QByteArray("k") << QByteArray("2");
    QTest::newRow("missing section") << QByteArray("[A]\r\nk=1\r\n") << QByteArray("B") << QByteArray("k")
                                     << QByteArray("dflt");
    QTest::newRow("Windows-1252 section name folds case")
        << QByteArray("[\xC4rger]\r\nk=1\r\n") << QByteArray("\xE4RGER") << QByteArray("k") << QByteArray("1");
    QTest::newRow("UTF-8 section name folds case")
        << QByteArray("[\xC3\x84rger]\r\nk=1\r\n") << QByteArray("\xC3\xA4rger") << QByteArray("k") << QByteArray("1");
    QTest::newRow("marker key bytes above 127") << QByteArray("[Tabs]\r\n\xDF_\xB6__=x\r\n") << QByteArray("Tabs")
                                                << QByteArray("\xDF_\xB6__") << QByteArray("x");
}

void TestIniFile::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    writeAll(path("r.ini"), text);
    TIniFile32 ini(m_store, bpath("r.ini"));
    QCOMPARE(ini.ReadString(section, key, "dflt"), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << QByteArray("42") << 42;
    QTest::newRow("plus") << QByteArray("+42") << 42;
    QTest::newRow("minus") << QByteArray("-42") << -42;
    QTest::newRow("0x hex") << QByteArray("0x1A") << 26;
    QTest::newRow("0X hex") << QByteArray("0X1a") << 26;
    QTest::newRow("dollar hex") << QByteArray("$1A") << 26;
    QTest::newRow("eight hex digits give the bit pattern") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("nine hex digits") << QByteArray("$123456789") << 7;
    QTest::newRow("0x alone") << QByteArray("0x") << 7;
    QTest::newRow("dollar alone") << QByteArray("$") << 7;
    QTest::newRow("trailing letters") << QByteArray("12abc") << 7;
    QTest::newRow("inner blank") << QByteArray("1 2") << 7;
    QTest::newRow("empty") << QByteArray("") << 7;
    QTest::newRow("sign alone") << QByteArray("-") << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483648LL);
    QTest::newRow("too large") << QByteArray("2147483648") << 7;
    QTest::newRow("far too large") << QByteArray("99999999999999999999") << 7;
    QTest::newRow("minus hex") << QByteArray("-$1A") << 7;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    writeAll(path("i.ini"), "[A]\r\nk=" + value + "\r\n");
    TIniFile32 ini(m_store, bpath("i.ini"));
    QCOMPARE(ini.ReadInteger("A", "k", 7), expected);
}

void TestIniFile::writes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("ops");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("section lines replaced in place, keys found again")
        << QByteArray("[A]\r\nx=1\r\n[B]\r\n01N=b\r\n02N=a\r\n[C]\r\n") << QStringList{"L|B|01N=a/02N=b", "W|B|02N|c"}
        << QByteArray("[A]\r\nx=1\r\n[B]\r\n01N=a\r\n02N=c\r\n[C]\r\n");
    QTest::newRow("section lines for a missing section make it")
        << QByteArray("[A]\r\nx=1\r\n") << QStringList{"L|B|k=v"} << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n");
    QTest::newRow("new section after a non-empty last line")
        << QByteArray("a=1") << QStringList{"W|S|k|v"} << QByteArray("a=1\r\n\r\n[S]\r\nk=v\r\n");
    QTest::newRow("new section in an empty file")
        << QByteArray() << QStringList{"W|S|k|v"} << QByteArray("\r\n[S]\r\nk=v\r\n");
    QTest::newRow("new section with empty key writes only the header")
        << QByteArray("[A]\r\n") << QStringList{"W|S||v"} << QByteArray("[A]\r\n\r\n[S]\r\n");
    QTest::newRow("new key goes after the blank lines closing the section")
        << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QStringList{"W|A|z|3"}
        << QByteArray("[A]\r\nx=1\r\n\r\nz=3\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key at the end of the last section")
        << QByteArray("[A]\r\nx=1\r\n") << QStringList{"W|a|z|3"} << QByteArray("[A]\r\nx=1\r\nz=3\r\n");
    QTest::newRow("existing key replaced in place without blanks")
        << QByteArray("[A]\r\n a = 1 \r\nb=2\r\n") << QStringList{"W|A|a|5"} << QByteArray("[A]\r\na=5\r\nb=2\r\n");
    QTest::newRow("only the first duplicate is replaced")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QStringList{"W|A|k|9"} << QByteArray("[A]\r\nk=9\r\nk=2\r\n");
    QTest::newRow("value written unchanged")
        << QByteArray("[A]\r\n") << QStringList{"W|A|k| x=y "} << QByteArray("[A]\r\nk= x=y \r\n");
    QTest::newRow("negative integer") << QByteArray("[A]\r\n") << QStringList{"I|A|k|-15"}
                                      << QByteArray("[A]\r\nk=-15\r\n");
    QTest::newRow("delete removes the first matching line")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\nj=3\r\n") << QStringList{"D|A|k"} << QByteArray("[A]\r\nk=2\r\nj=3\r\n");
    QTest::newRow("erasing the first section leaves no empty line")
        << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QStringList{"E|A"} << QByteArray("[B]\r\ny=2\r\n");
    QTest::newRow("erasing a later section leaves one empty line")
        << QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n\r\n") << QStringList{"E|B"} << QByteArray("[A]\r\nx=1\r\n\r\n");
    QTest::newRow("repeated erasing accumulates empty lines")
        << QByteArray("[A]\r\n[B]\r\n[C]\r\n") << QStringList{"E|B", "E|C"} << QByteArray("[A]\r\n\r\n\r\n");
    QTest::newRow("erasing a section after leading lines")
        << QByteArray("top\r\n[A]\r\nx=1\r\n") << QStringList{"E|A"} << QByteArray("top\r\n\r\n");
    QTest::newRow("saving turns every terminator into CR LF")
        << QByteArray("[A]\nx=1\ry=2") << QStringList{"W|A|z|3"} << QByteArray("[A]\r\nx=1\r\ny=2\r\nz=3\r\n");
    QTest::newRow("a key after a blank-surrounded header belongs to that header")
        << QByteArray("[A]\r\n [B] \r\n") << QStringList{"W|A|k|1"} << QByteArray("[A]\r\nk=1\r\n [B] \r\n");
    QTest::newRow("write then erase then write again")
        << QByteArray("[A]\r\nx=1\r\n") << QStringList{"W|B|k|1", "E|B", "W|B|k|2"}
        << QByteArray("[A]\r\nx=1\r\n\r\n\r\n\r\n[B]\r\nk=2\r\n");
}

void TestIniFile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, ops);
    QFETCH(QByteArray, after);
    writeAll(path("w.ini"), before);
    {
        TIniFile32 ini(m_store, bpath("w.ini"));
        apply(ini, ops);
    }
    QCOMPARE(readAll(path("w.ini")), after);
    // The same operations in one batch give the same bytes.
    writeAll(path("wb.ini"), before);
    {
        IniBatch batch(m_store, bpath("wb.ini"));
        TIniFile32 ini(m_store, bpath("wb.ini"));
        apply(ini, ops);
        batch.commit();
    }
    QCOMPARE(readAll(path("wb.ini")), after);
}

void TestIniFile::missingFileReadsDefaultsAndFirstWriteCreatesIt()
{
    const QString p = path("missing.ini");
    TIniFile32 ini(m_store, bpath("missing.ini"));
    QCOMPARE(ini.ReadString("A", "k", "d"), QByteArray("d"));
    QCOMPARE(ini.ReadInteger("A", "k", 5), 5);
    ini.DeleteKey("A", "k");
    ini.EraseSection("A");
    QVERIFY(!QFile::exists(p));
    ini.WriteString("A", "k", "v");
    QCOMPARE(readAll(p), QByteArray("\r\n[A]\r\nk=v\r\n"));
}

void TestIniFile::deleteOfMissingKeyLeavesFileUntouched()
{
    const QString p = path("d.ini");
    const QByteArray text("[A]\nk=1\n"); // not in saved form: any save would show
    writeAll(p, text);
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QFile f(p);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    f.close();
    TIniFile32 ini(m_store, bpath("d.ini"));
    ini.DeleteKey("A", "missing");
    ini.DeleteKey("B", "k");
    ini.EraseSection("B");
    QCOMPARE(readAll(p), text);
    QCOMPARE(QFileInfo(p).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

void TestIniFile::loadingSavesOnlyWhenTheBytesDiffer()
{
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    auto age = [&](const QString& p) {
        QFile f(p);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    };
    const QString saved = path("saved.ini");
    writeAll(saved, "[A]\r\nk=1\r\n");
    age(saved);
    {
        TIniFile32 ini(m_store, bpath("saved.ini"));
        ini.UpdateFile();
        ini.WriteString("A", "k", "1"); // the same value: nothing to write either
    }
    QCOMPARE(QFileInfo(saved).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());

    const QString lf = path("lf.ini");
    writeAll(lf, "[A]\nk=1\n");
    {
        TIniFile32 ini(m_store, bpath("lf.ini"));
        ini.UpdateFile();
    }
    QCOMPARE(readAll(lf), QByteArray("[A]\r\nk=1\r\n"));

    const QString noEnd = path("noend.ini");
    writeAll(noEnd, "[A]\r\nk=1");
    {
        TIniFile32 ini(m_store, bpath("noend.ini"));
        ini.UpdateFile();
    }
    QCOMPARE(readAll(noEnd), QByteArray("[A]\r\nk=1\r\n"));
}

void TestIniFile::unreadableFileRaisesOpenError()
{
    // A folder where a file is expected cannot be opened for reading.
    QVERIFY(QDir(m_dir.path()).mkpath("adir.ini"));
    try {
        TIniFile32 ini(m_store, bpath("adir.ini"));
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot open file ") + path("adir.ini"));
    }
}

void TestIniFile::lineBreaksAreRefused_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    for (const char* brk : {"\r", "\n", "\r\n"}) {
        const QByteArray b(brk);
        QTest::addRow("value %s", b == "\r"   ? "CR"
                                  : b == "\n" ? "LF"
                                              : "CR LF")
            << QByteArray("A") << QByteArray("k") << QByteArray("x" + b + "01U=http://evil.example/");
    }
    QTest::newRow("value NUL") << QByteArray("A") << QByteArray("k") << QByteArray("x\0y", 3);
    QTest::newRow("key LF") << QByteArray("A") << QByteArray("k\nz") << QByteArray("v");
    QTest::newRow("key NUL") << QByteArray("A") << QByteArray("k\0z", 3) << QByteArray("v");
    QTest::newRow("section CR") << QByteArray("A\r[B]") << QByteArray("k") << QByteArray("v");
    QTest::newRow("section NUL") << QByteArray("A\0B", 3) << QByteArray("k") << QByteArray("v");
}

void TestIniFile::lineBreaksAreRefused()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    const QString p = path("breaks.ini");
    const QByteArray old = "[A]\r\nk=1\r\n";
    writeAll(p, old);
    TIniFile32 ini(m_store, bpath("breaks.ini"));
    QVERIFY_THROWS_EXCEPTION(CommandError, ini.WriteString(section, key, value));
    QCOMPARE(readAll(p), old);
    QCOMPARE(ini.ReadString("A", "k", {}), QByteArray("1"));
}

void TestIniFile::failedSaveLeavesOldFileWhole_data()
{
    QTest::addColumn<int>("growth");
    QTest::newRow("large write") << 100000;
    // Small enough to sit in a write buffer until the commit.
    QTest::newRow("small write") << 100;
}

void TestIniFile::failedSaveLeavesOldFileWhole()
{
    QFETCH(int, growth);
    const QString p = path("full.ini");
    const QByteArray old = "[A]\r\nk=1\r\n";
    writeAll(p, old);
    QString error;
    try {
        const TestFiles::WritesFailBeyond full(old.size() + growth / 2);
        TIniFile32 ini(m_store, bpath("full.ini"));
        ini.WriteString("A", "big", QByteArray(growth, 'x'));
    } catch (const FileError& e) {
        error = e.text();
    }
    QCOMPARE(error, QStringLiteral("Cannot create file %1: the file would be larger than the system allows").arg(p));
    QCOMPARE(readAll(p), old);
    QCOMPARE(QDir(m_dir.path()).entryList({"full.ini*"}, QDir::Files | QDir::Hidden), QStringList{"full.ini"});
}

void TestIniFile::saveIntoMissingFolderRaisesCreateError()
{
    const QByteArray p = bpath("nofolder/x.ini");
    TIniFile32 ini(m_store, p);
    try {
        ini.WriteString("A", "k", "v");
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot create file %1: the folder does not exist").arg(PathNames::toQt(p)));
    }
}

void TestIniFile::failedSaveSaysWhy_data()
{
    QTest::addColumn<QByteArray>("mountOptions");
    QTest::addColumn<bool>("fill");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << QByteArray("size=64k") << true << "no space left on the device";
    QTest::newRow("read-only file system") << QByteArray("size=64k,ro") << false << "the file system is read-only";
}

void TestIniFile::failedSaveSaysWhy()
{
    QFETCH(QByteArray, mountOptions);
    QFETCH(bool, fill);
    QFETCH(QString, reason);
    // A small file system of its own, mounted for the test (root may).
    const QString where = path(QStringLiteral("small-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(where));
    QByteArray options = mountOptions;
    const bool readOnly = options.endsWith(",ro");
    if (readOnly)
        options.chop(3);
    if (::mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                options.constData()) != 0)
        QSKIP("cannot mount a small file system here");
    struct Unmount
    {
        QByteArray dir;
        ~Unmount() { ::umount2(dir.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(where)};
    const QString p = where + QStringLiteral("/full.ini");
    if (fill) {
        writeAll(p, "[A]\r\nk=1\r\n");
        QFile filler(where + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    try {
        TIniFile32 ini(m_store, PathNames::fromQt(p));
        ini.WriteString("A", "big", QByteArray(20000, 'x'));
        QFAIL("saved");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot create file %1: %2").arg(p, reason));
    }
    if (fill)
        QCOMPARE(readAll(p), QByteArray("[A]\r\nk=1\r\n"));
}

void TestIniFile::batchSavesOnceAndMatchesKeyByKey()
{
    const QStringList ops = {"W|Tabs|Count|3", "W|Page1|01N|Title", "W|Page1|01U|http://x/",
                             "D|Page1|01N",    "W|Page2|05U|u",     "E|Page1",
                             "I|Tabs|Count|2", "W|Page2|05U|v",     "D|Nope|k"};
    const QByteArray start = "[Tabs]\nCount=1\nTab1=Page1\n";
    writeAll(path("kbk.ini"), start);
    writeAll(path("batch.ini"), start);
    {
        TIniFile32 ini(m_store, bpath("kbk.ini"));
        apply(ini, ops);
    }
    IniBatch batch(m_store, bpath("batch.ini"));
    {
        TIniFile32 ini(m_store, bpath("batch.ini"));
        apply(ini, ops);
    }
    QCOMPARE(readAll(path("batch.ini")), start); // nothing written before the end
    batch.commit();
    QCOMPARE(readAll(path("batch.ini")), readAll(path("kbk.ini")));
}

void TestIniFile::batchSharesLinesBetweenInstances()
{
    IniBatch batch(m_store, bpath("share.ini"));
    {
        TIniFile32 a(m_store, bpath("share.ini"));
        a.WriteString("A", "k", "1");
    }
    TIniFile32 b(m_store, bpath("share.ini"));
    QCOMPARE(b.ReadString("A", "k", {}), QByteArray("1"));
    QVERIFY(!QFile::exists(path("share.ini")));
    batch.commit();
    QCOMPARE(readAll(path("share.ini")), QByteArray("\r\n[A]\r\nk=1\r\n"));
}

void TestIniFile::batchLeftByExceptionStillSaves()
{
    try {
        IniBatch batch(m_store, bpath("thrown.ini"));
        TIniFile32 ini(m_store, bpath("thrown.ini"));
        ini.WriteString("A", "k", "1");
        throw CommandError("stop");
    } catch (const CommandError&) {
    }
    QCOMPARE(readAll(path("thrown.ini")), QByteArray("\r\n[A]\r\nk=1\r\n"));
}

void TestIniFile::instancesDoNotSeeEachOthersChanges()
{
    writeAll(path("two.ini"), "[A]\r\nk=1\r\n");
    TIniFile32 a(m_store, bpath("two.ini"));
    TIniFile32 b(m_store, bpath("two.ini"));
    a.WriteString("A", "k", "2");
    QCOMPARE(b.ReadString("A", "k", {}), QByteArray("1"));
    b.WriteString("A", "j", "3"); // the later save wins
    QCOMPARE(readAll(path("two.ini")), QByteArray("[A]\r\nk=1\r\nj=3\r\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
