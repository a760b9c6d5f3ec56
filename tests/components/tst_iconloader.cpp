#include "IconLoader.h"
#include "PeIcons.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "TestFiles.h"
using TestFiles::put16;
using TestFiles::put32;

#include <sys/stat.h>

using IconLoader::Filter;
Q_DECLARE_METATYPE(IconLoader::Filter)

namespace {

// The colours make_icons.py paints its fixtures with.
const QColor Red(255, 0, 0);
const QColor Green(0, 160, 0);
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);
const QColor Orange(255, 128, 0);
const QColor Cyan(0, 200, 200);
const QColor Purple(128, 0, 128);
const QColor Navy(0, 0, 128);
const QColor Null; // "no image expected"

// two-icons.dll as make_icons.py lays it out.
constexpr qint64 Rsrc = 0x200;           // .rsrc raw data
constexpr qint64 GroupDirectory = 0x048; // in .rsrc
constexpr qint64 Group0Target = 0x05c;   // the named group entry's subdirectory offset
constexpr qint64 Group0DataEntry = 0x110;
constexpr qint64 Group1DataEntry = 0x120;
constexpr qint64 Icon3DataEntry = 0x100;
constexpr qint64 Group0 = 0x144;
constexpr qint64 Group1 = 0x158;
constexpr qint64 RedImage = 0x17c;
constexpr qint64 RedImageSize = 0x468;
constexpr qint64 GreenImage = 0x5e4;
constexpr qint64 BluePng = 0xa4c;
constexpr qint64 BluePngSize = 0x63;

// Run by hand, without LYNKOR_TEST_DATA, the folder is found beside this source file.
QString iconsDir()
{
    const QString env = qEnvironmentVariable("LYNKOR_TEST_DATA");
    if (!env.isEmpty() && QFileInfo::exists(env + "/icons"))
        return env + "/icons";
    return QFINDTESTDATA("../data/icons");
}

QByteArray fixture(const QString& name)
{
    QFile f(iconsDir() + '/' + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(f.fileName()));
    return f.readAll();
}

bool sameColour(const QColor& actual, const QColor& expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance && qAbs(actual.alpha() - expected.alpha()) <= tolerance;
}

QString describe(const QColor& c)
{
    return QStringLiteral("(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

// Null when expected is Null, else expected at pixel at (JPEG gets a wider margin).
void checkImage(const QImage& image, const QColor& expected, QPoint at = QPoint(7, 7), int tolerance = 2)
{
    if (!expected.isValid()) {
        QVERIFY2(image.isNull(), "an image where none was expected");
        return;
    }
    QVERIFY2(!image.isNull(), "no image");
    const QColor actual = image.pixelColor(at);
    QVERIFY2(sameColour(actual, expected, tolerance),
             qPrintable(describe(actual) + " instead of " + describe(expected)));
}

QImage flat(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A step between two colours across the middle of a wide image.
QImage step(int width, const QColor& left, const QColor& right)
{
    QImage image(width, 4, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, x < width / 2 ? left : right);
    }
    return image;
}

} // namespace

class TestIconLoader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void flatStaysFlat_data();
    void flatStaysFlat();
    void checkerAverages_data();
    void checkerAverages();
    void stripesShrinkToGrey_data();
    void stripesShrinkToGrey();
    void sharpEdge_data();
    void sharpEdge();
    void overshootIsClamped_data();
    void overshootIsClamped();

    void loaders_data();
    void loaders();
    void buttonFaceAndSize_data();
    void buttonFaceAndSize();
    void countAndImages_data();
    void countAndImages();

    void damagedLibrary_data();
    void damagedLibrary();
    void oneImageNamedOften();
    void truncatedAnywhere_data();
    void truncatedAnywhere();
    void randomDamage();

private:
    QString path(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;

    QTemporaryDir m_tmp;
};

// "@data/x" is a fixture, "@tmp/x" a file initTestCase made.
QString TestIconLoader::path(const QString& name) const
{
    QString p = name;
    p.replace("@data", iconsDir());
    p.replace("@tmp", m_tmp.path());
    return p;
}

void TestIconLoader::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(m_tmp.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestIconLoader::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    QVERIFY2(QFileInfo::exists(iconsDir() + "/two-icons.dll"), qPrintable(iconsDir()));
    QIcon::setThemeSearchPaths({iconsDir() + "/theme"});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName("lynkortest");

    const QByteArray dll = fixture("two-icons.dll");
    write("ICONS.DLL", dll);
    write("broken-red.dll", put32(dll, Rsrc + RedImage, 0));
    write("library.icl", dll);
    write("script.exe", "#!/bin/sh\necho hello\n");
    write("pictures.jpeg", fixture("green.jpg"));
    write("notes.txt", "a document\n");
    write("unknown.zzqq", QByteArray(64, '\x01'));
    write("lynkor-test-app", "#!/bin/sh\n");
    QByteArray elf(64, '\0');
    elf.replace(0, 7, QByteArray::fromHex("7f454c46020101")); // ELF, 64-bit, little-endian
    elf = put16(elf, 16, 2);                                  // an executable
    write("someprog", elf);
    write("path-icon.desktop",
          "[Desktop Entry]\nType=Application\nName=Path\nExec=x\nIcon=" + iconsDir().toUtf8() + "/half-clear.png\n");
    write("self.desktop",
          "[Desktop Entry]\nType=Application\nName=Self\nIcon=" + m_tmp.filePath("self.desktop").toUtf8() + "\n");
    // Opening a FIFO for reading waits for a writer that never comes.
    for (const char* name : {"pipe.png", "pipe.gif", "pipe.ico", "pipe.dll", "pipe.desktop", "pipe.txt"})
        QCOMPARE(mkfifo(QFile::encodeName(m_tmp.filePath(name)).constData(), 0600), 0);
    write("action-icon.desktop", "[Desktop Entry]\nType=Application\nName=A\n\n"
                                 "[Desktop Action new]\nName=New\nIcon=lynkor-test-app\n");
}

// --- resampling --------------------------------------------------------------

void TestIconLoader::flatStaysFlat_data()
{
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<QColor>("colour");

    const QColor halfClear(200, 100, 50, 128);
    for (const Filter f : {Filter::Hermite, Filter::Lanczos3}) {
        const char* name = f == Filter::Hermite ? "Hermite" : "Lanczos3";
        QTest::addRow("%s shrink", name) << f << QSize(32, 32) << QSize(15, 15) << Orange;
        QTest::addRow("%s enlarge", name) << f << QSize(7, 5) << QSize(20, 13) << Blue;
        QTest::addRow("%s uneven", name) << f << QSize(3, 40) << QSize(17, 6) << Green;
        QTest::addRow("%s to one pixel", name) << f << QSize(9, 9) << QSize(1, 1) << Cyan;
        QTest::addRow("%s translucent", name) << f << QSize(16, 16) << QSize(15, 15) << halfClear;
    }
}

void TestIconLoader::flatStaysFlat()
{
    QFETCH(Filter, filter);
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(QColor, colour);

    const QImage out = IconLoader::resample(flat(from.width(), from.height(), colour), to.width(), to.height(), filter);
    QCOMPARE(out.size(), to);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QColor c = out.pixelColor(x, y);
            QVERIFY2(sameColour(c, colour, 2), qPrintable(QString("(%1,%2) ").arg(x).arg(y) + describe(c)));
        }
    }
}

void TestIconLoader::checkerAverages_data()
{
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<QColor>("dark");
    QTest::addColumn<QColor>("light");
    QTest::addColumn<QColor>("average");

    // Premultiplied: a clear pixel adds no colour whatever colour it stores, so red beside
    // clear blue stays red, half clear.
    for (const Filter f : {Filter::Hermite, Filter::Lanczos3}) {
        const char* name = f == Filter::Hermite ? "Hermite" : "Lanczos3";
        QTest::addRow("%s black and white", name)
            << f << QColor(Qt::black) << QColor(Qt::white) << QColor(128, 128, 128);
        QTest::addRow("%s red and clear blue", name) << f << Red << QColor(0, 0, 255, 0) << QColor(255, 0, 0, 128);
    }
}

void TestIconLoader::checkerAverages()
{
    QFETCH(Filter, filter);
    QFETCH(QColor, dark);
    QFETCH(QColor, light);
    QFETCH(QColor, average);

    QImage checker(2, 2, QImage::Format_ARGB32);
    checker.setPixelColor(0, 0, dark);
    checker.setPixelColor(1, 1, dark);
    checker.setPixelColor(1, 0, light);
    checker.setPixelColor(0, 1, light);
    const QImage out = IconLoader::resample(checker, 1, 1, filter);
    QCOMPARE(out.size(), QSize(1, 1));
    QVERIFY2(sameColour(out.pixelColor(0, 0), average, 2), qPrintable(describe(out.pixelColor(0, 0))));
}

void TestIconLoader::stripesShrinkToGrey_data()
{
    QTest::addColumn<Filter>("filter");
    QTest::newRow("Hermite") << Filter::Hermite;
    QTest::newRow("Lanczos3") << Filter::Lanczos3;
}

// Shrinking widens the kernel by the reduction: one-pixel stripes blend to grey instead
// of beating into broad dark and light bands.
void TestIconLoader::stripesShrinkToGrey()
{
    QFETCH(Filter, filter);

    QImage stripes(32, 4, QImage::Format_ARGB32);
    for (int y = 0; y < stripes.height(); ++y) {
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixelColor(x, y, x % 2 ? Qt::white : Qt::black);
    }
    const QImage out = IconLoader::resample(stripes, 15, 4, filter);
    // The outermost pixels see the repeated border column, so only the inside is level.
    for (int x = 1; x < out.width() - 1; ++x) {
        const int grey = out.pixelColor(x, 1).red();
        QVERIFY2(qAbs(grey - 128) <= 12, qPrintable(QString("%1: %2").arg(x).arg(grey)));
    }
}

void TestIconLoader::sharpEdge_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("shrink") << 40 << 15;
    QTest::newRow("enlarge") << 10 << 25;
}

// Hermite never leaves the range of its input; Lanczos3 rings on both sides of an edge.
void TestIconLoader::sharpEdge()
{
    QFETCH(int, from);
    QFETCH(int, to);

    const QImage edge = step(from, QColor(64, 64, 64), QColor(192, 192, 192));
    const QImage hermite = IconLoader::resample(edge, to, 4, Filter::Hermite);
    const QImage lanczos = IconLoader::resample(edge, to, 4, Filter::Lanczos3);
    QCOMPARE(hermite.size(), QSize(to, 4));
    QCOMPARE(lanczos.size(), QSize(to, 4));

    int previous = 0;
    int lowest = 255;
    int highest = 0;
    for (int x = 0; x < to; ++x) {
        const int h = hermite.pixelColor(x, 1).red();
        QVERIFY2(h >= 64 && h <= 192 && h >= previous, qPrintable(QString::number(x)));
        previous = h;
        const int l = lanczos.pixelColor(x, 1).red();
        lowest = qMin(lowest, l);
        highest = qMax(highest, l);
    }
    QVERIFY2(lowest < 64 && highest > 192, qPrintable(QString("Lanczos3 from %1 to %2").arg(lowest).arg(highest)));
}

void TestIconLoader::overshootIsClamped_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QColor>("left");
    QTest::addColumn<QColor>("right");

    const QColor halfClearWhite(255, 255, 255, 128);
    QTest::newRow("black to white, shrink") << 40 << 15 << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("black to white, enlarge") << 10 << 25 << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("clear to white, shrink") << 40 << 15 << QColor(0, 0, 0, 0) << QColor(Qt::white);
    QTest::newRow("clear to white, enlarge") << 10 << 25 << QColor(0, 0, 0, 0) << QColor(Qt::white);
    // Alpha falls where the colour rises, so their rings cross.
    QTest::newRow("black to half-clear white, shrink") << 40 << 15 << QColor(Qt::black) << halfClearWhite;
    QTest::newRow("black to half-clear white, enlarge") << 10 << 25 << QColor(Qt::black) << halfClearWhite;
}

// Ringing past 0 or 255 must stop there, not wrap round to the other end, so every pixel
// stays nearer its own side of the edge; and no colour may exceed its alpha, or the
// premultiplied pixel is garbage.
void TestIconLoader::overshootIsClamped()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QColor, left);
    QFETCH(QColor, right);

    const QImage out = IconLoader::resample(step(from, left, right), to, 4, Filter::Lanczos3);
    QCOMPARE(out.format(), QImage::Format_ARGB32_Premultiplied);
    const QRgb l = qPremultiply(left.rgba());
    const QRgb r = qPremultiply(right.rgba());
    const auto nearer = [](int v, int own, int other) { return qAbs(v - own) <= qAbs(v - other); };
    for (int x = 0; x < to; ++x) {
        const QRgb p = reinterpret_cast<const QRgb*>(out.constScanLine(1))[x];
        const QString where = QString("%1: %2").arg(x).arg(describe(QColor::fromRgba(p)));
        QVERIFY2(qRed(p) <= qAlpha(p) && qGreen(p) <= qAlpha(p) && qBlue(p) <= qAlpha(p), qPrintable(where));
        const double position = (x + 0.5) / to;
        if (position < 0.5) {
            QVERIFY2(nearer(qAlpha(p), qAlpha(l), qAlpha(r)) && nearer(qRed(p), qRed(l), qRed(r)), qPrintable(where));
        } else if (position > 0.5) {
            QVERIFY2(nearer(qAlpha(p), qAlpha(r), qAlpha(l)) && nearer(qRed(p), qRed(r), qRed(l)), qPrintable(where));
        }
    }
}

// --- loaders by kind of file -------------------------------------------------

void TestIconLoader::loaders_data()
{
    QTest::addColumn<QString>("loader");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<QPoint>("at");

    const QPoint centre(7, 7);
    const QPoint right(12, 7); // half-clear.png is opaque on its right half only
    const auto row = [&](const char* name, const char* loader, const char* file, int index, const QColor& expected,
                         QPoint at) {
        QTest::newRow(name) << QString(loader) << QString(file) << index << expected << at;
    };

    row("btn: missing file", "IconSmallBtn", "@tmp/none.png", 0, Null, centre);
    row("btn: ico, largest and deepest image", "IconSmallBtn", "@data/three-images.ico", 0, Yellow, centre);
    row("btn: ico has icon 0 only", "IconSmallBtn", "@data/three-images.ico", 1, Null, centre);
    row("btn: dll icon 0", "IconSmallBtn", "@data/two-icons.dll", 0, Red, centre);
    row("btn: dll icon 1, its largest image", "IconSmallBtn", "@data/two-icons.dll", 1, Blue, centre);
    row("btn: dll index beyond its icons", "IconSmallBtn", "@data/two-icons.dll", 2, Null, centre);
    row("btn: dll negative index", "IconSmallBtn", "@data/two-icons.dll", -1, Null, centre);
    row("btn: 64-bit dll icon 0", "IconSmallBtn", "@data/two-icons64.dll", 0, Red, centre);
    row("btn: 64-bit dll icon 1", "IconSmallBtn", "@data/two-icons64.dll", 1, Blue, centre);
    row("btn: suffix in capitals", "IconSmallBtn", "@tmp/ICONS.DLL", 1, Blue, centre);
    row("btn: icon library", "IconSmallBtn", "@tmp/library.icl", 0, Red, centre);
    row("btn: .exe that is no program", "IconSmallBtn", "@tmp/script.exe", 0, Null, centre);
    row("btn: gif, first frame", "IconSmallBtn", "@data/two-frames.gif", 0, Red, centre);
    row("btn: jpg", "IconSmallBtn", "@data/green.jpg", 0, Green, centre);
    row("btn: png", "IconSmallBtn", "@data/half-clear.png", 0, Orange, right);
    row("btn: png has icon 0 only", "IconSmallBtn", "@data/half-clear.png", 1, Null, right);
    row("btn: desktop naming a theme icon", "IconSmallBtn", "@data/program.desktop", 0, Cyan, centre);
    row("btn: desktop naming a png", "IconSmallBtn", "@tmp/path-icon.desktop", 0, Orange, right);
    row("btn: desktop naming itself", "IconSmallBtn", "@tmp/self.desktop", 0, Null, centre);
    row("btn: desktop icon of an action only", "IconSmallBtn", "@tmp/action-icon.desktop", 0, Null, centre);
    row("btn: program with a theme icon", "IconSmallBtn", "@tmp/lynkor-test-app", 0, Cyan, centre);
    row("btn: ELF program, MIME icon", "IconSmallBtn", "@tmp/someprog", 0, Navy, centre);
    row("btn: document, MIME icon", "IconSmallBtn", "@tmp/notes.txt", 0, Purple, centre);
    for (const char* fifo : {"@tmp/pipe.png", "@tmp/pipe.ico", "@tmp/pipe.dll", "@tmp/pipe.desktop", "@tmp/pipe.txt"}) {
        QTest::addRow("btn: FIFO %s", fifo + 5) << QString("IconSmallBtn") << QString(fifo) << 0 << Null << centre;
    }
    row("btn: document without a theme icon", "IconSmallBtn", "@tmp/unknown.zzqq", 0, Null, centre);

    row("small: program name only", "IconSmall", "lynkor-test-app", 0, Cyan, centre);
    row("small: program path that does not exist", "IconSmall", "/nonexistent/bin/lynkor-test-app", 0, Cyan, centre);
    row("small: dll", "IconSmall", "@data/two-icons.dll", 0, Red, centre);
    row("small: missing picture", "IconSmall", "@tmp/none.png", 0, Null, centre);

    row("test: gif", "IconSmallBtnTest", "@data/two-frames.gif", 0, Red, centre);
    row("test: jpeg", "IconSmallBtnTest", "@tmp/pictures.jpeg", 0, Green, centre);
    row("test: dll icon 1", "IconSmallBtnTest", "@data/two-icons.dll", 1, Blue, centre);
    row("test: missing gif", "IconSmallBtnTest", "@tmp/none.gif", 0, Null, centre);

    row("gif: first frame", "GIFLoad", "@data/two-frames.gif", 0, Red, centre);
    row("gif: missing", "GIFLoad", "@tmp/none.gif", 0, Null, centre);
    row("gif: not an image", "GIFLoad", "@tmp/notes.txt", 0, Null, centre);
    row("gif: FIFO", "GIFLoad", "@tmp/pipe.gif", 0, Null, centre);
    row("jpeg: picture", "JPEGLoad", "@data/green.jpg", 0, Green, centre);
    row("jpeg: missing", "JPEGLoad", "@tmp/none.jpg", 0, Null, centre);
}

void TestIconLoader::loaders()
{
    QFETCH(QString, loader);
    QFETCH(QString, file);
    QFETCH(int, index);
    QFETCH(QColor, expected);
    QFETCH(QPoint, at);

    const QString f = path(file);
    QImage image;
    if (loader == "IconSmallBtn")
        image = IconLoader::IconSmallBtn(f, index);
    else if (loader == "IconSmall")
        image = IconLoader::IconSmall(f);
    else if (loader == "IconSmallBtnTest")
        image = IconLoader::IconSmallBtnTest(f, index);
    else if (loader == "GIFLoad")
        image = IconLoader::GIFLoad(f);
    else if (loader == "JPEGLoad")
        image = IconLoader::JPEGLoad(f);
    else
        QFAIL("unknown loader");

    const bool jpeg = f.endsWith(".jpg") || f.endsWith(".jpeg");
    checkImage(image, expected, at, jpeg ? 8 : 2);
    if (!image.isNull())
        QCOMPARE(image.size(), QSize(15, 15));
}

void TestIconLoader::buttonFaceAndSize_data()
{
    QTest::addColumn<int>("buttonHeight");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QColor>("expectedFace");

    const QColor paletteFace = QGuiApplication::palette().color(QPalette::Button);
    QTest::newRow("standard button") << 19 << QColor(10, 20, 30) << QColor(10, 20, 30);
    QTest::newRow("taller button") << 24 << QColor(Qt::white) << QColor(Qt::white);
    QTest::newRow("enlarged past the icon") << 40 << QColor(90, 90, 200) << QColor(90, 90, 200);
    QTest::newRow("palette button colour") << 19 << QColor() << paletteFace;
}

// The clear half of the icon shows the face; the glyph is (buttonHeight - 4) square.
void TestIconLoader::buttonFaceAndSize()
{
    QFETCH(int, buttonHeight);
    QFETCH(QColor, face);
    QFETCH(QColor, expectedFace);

    const QImage glyph = IconLoader::IconSmallBtn(iconsDir() + "/half-clear.png", 0, buttonHeight, face);
    const int side = buttonHeight - 4;
    QCOMPARE(glyph.size(), QSize(side, side));
    checkImage(glyph, expectedFace, QPoint(1, side / 2));
    checkImage(glyph, Orange, QPoint(side - 2, side / 2));
}

void TestIconLoader::countAndImages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QColor>>("images");

    QTest::newRow("missing file") << "@tmp/none.dll" << 0 << QList<QColor>{};
    QTest::newRow("dll") << "@data/two-icons.dll" << 2 << QList<QColor>{Red, Blue};
    QTest::newRow("64-bit dll") << "@data/two-icons64.dll" << 2 << QList<QColor>{Red, Blue};
    QTest::newRow("dll with a broken icon keeps the numbering")
        << "@tmp/broken-red.dll" << 2 << QList<QColor>{Null, Blue};
    QTest::newRow(".exe that is no program") << "@tmp/script.exe" << 0 << QList<QColor>{};
    QTest::newRow("ico") << "@data/three-images.ico" << 1 << QList<QColor>{Yellow};
    QTest::newRow("gif") << "@data/two-frames.gif" << 1 << QList<QColor>{Red};
    QTest::newRow("jpg") << "@data/green.jpg" << 1 << QList<QColor>{Green};
    QTest::newRow("png") << "@data/half-clear.png" << 1 << QList<QColor>{Orange};
    QTest::newRow("desktop") << "@data/program.desktop" << 1 << QList<QColor>{Cyan};
    QTest::newRow("document") << "@tmp/notes.txt" << 1 << QList<QColor>{Purple};
    QTest::newRow("document without a theme icon") << "@tmp/unknown.zzqq" << 0 << QList<QColor>{};
}

void TestIconLoader::countAndImages()
{
    QFETCH(QString, file);
    QFETCH(int, count);
    QFETCH(QList<QColor>, images);

    const QString f = path(file);
    QCOMPARE(IconLoader::iconCount(f), count);
    const QList<QImage> got = IconLoader::fileImages(f);
    QCOMPARE(got.size(), images.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        checkImage(got[i], images[i], QPoint(12, 7), f.endsWith(".jpg") ? 8 : 2);
        if (!got[i].isNull())
            QCOMPARE(got[i].size(), QSize(15, 15));
    }
}

// --- PE reader against damaged files -----------------------------------------

void TestIconLoader::damagedLibrary_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("count");
    QTest::addColumn<QColor>("first");
    QTest::addColumn<QColor>("second");

    const QByteArray dll = fixture("two-icons.dll");
    const auto row = [](const char* name, const QByteArray& data, int count, QColor first, QColor second) {
        QTest::newRow(name) << data << count << first << second;
    };

    row("intact", dll, 2, Red, Blue);
    row("empty file", QByteArray(), 0, Null, Null);
    row("the MZ mark only", dll.left(2), 0, Null, Null);
    row("cut in the DOS header", dll.left(0x3e), 0, Null, Null);
    row("cut in the optional header", dll.left(0x80), 0, Null, Null);
    row("cut in the section table", dll.left(0x150), 0, Null, Null);
    row("cut in the group directory", dll.left(Rsrc + 0x5c), 0, Null, Null);
    row("cut in the red image", dll.left(Rsrc + RedImage + 0x80), 2, Null, Null);
    row("cut in the blue image", dll.left(Rsrc + BluePng + 0x40), 2, Red, Green);

    QByteArray noMz = dll;
    noMz[0] = 'X';
    row("no MZ mark", noMz, 0, Null, Null);
    row("PE header past the end", put32(dll, 0x3c, 0x10000), 0, Null, Null);
    row("PE header offset at the top of the range", put32(dll, 0x3c, 0xffffffff), 0, Null, Null);
    QByteArray noPe = dll;
    noPe[0x40] = 'X';
    row("no PE signature", noPe, 0, Null, Null);
    row("unknown optional header", put16(dll, 0x58, 0x107), 0, Null, Null);
    row("64-bit magic on a 32-bit header", put16(dll, 0x58, 0x20b), 0, Null, Null);
    row("two data directories only", put32(dll, 0xb4, 2), 0, Null, Null);
    row("optional header too short for its directories", put16(dll, 0x54, 96), 0, Null, Null);
    row("resources outside every section", put32(dll, 0xc8, 0x8000), 0, Null, Null);
    row("no sections", put16(dll, 0x46, 0), 0, Null, Null);
    row("section data past the end", put32(dll, 0x14c, 0x10000), 0, Null, Null);
    row("section longer than the file", put32(dll, 0x148, 0xffffffff), 2, Red, Blue);
    row("65535 sections", put16(dll, 0x46, 0xffff), 2, Red, Blue);
    row("root claims 65535 types", put16(dll, Rsrc + 0x0e, 0xffff), 2, Red, Blue);
    row("group directory claims 65535 names", put16(dll, Rsrc + GroupDirectory + 0x0e, 0xffff), 2, Red, Blue);
    row("group without a language level", put32(dll, Rsrc + Group0Target, 0x0b0), 1, Blue, Null);
    row("group directory pointing back at the root", put32(dll, Rsrc + Group0Target, 0x80000000), 1, Blue, Null);
    row("group data past the end", put32(dll, Rsrc + Group0DataEntry, 0xfffffff0), 1, Blue, Null);
    row("group data longer than the file", put32(dll, Rsrc + Group0DataEntry + 4, 0xffffffff), 1, Blue, Null);
    row("group claims 65535 images", put16(dll, Rsrc + Group1 + 4, 0xffff), 2, Red, Blue);
    row("cursor group", put16(dll, Rsrc + Group0 + 2, 2), 2, Null, Blue);
    row("group names a missing icon", put16(dll, Rsrc + Group0 + 18, 99), 2, Null, Blue);
    row("red image claims 30000 pixels", put32(dll, Rsrc + RedImage + 4, 30000), 2, Null, Blue);
    row("red image is no bitmap", put32(dll, Rsrc + RedImage, 0), 2, Null, Blue);
    QByteArray hugePng = dll;
    qToBigEndian(quint32(100000), hugePng.data() + Rsrc + BluePng + 16);
    row("blue image claims 100000 pixels", hugePng, 2, Red, Green);
    row("blue image longer than the file", put32(dll, Rsrc + Icon3DataEntry + 4, 0xffffffff), 2, Red, Green);
}

// Damage gives fewer icons or none; what is still there decodes.
void TestIconLoader::damagedLibrary()
{
    QFETCH(QByteArray, data);
    QFETCH(int, count);
    QFETCH(QColor, first);
    QFETCH(QColor, second);

    const PeIcons icons(data);
    QCOMPARE(icons.count(), count);
    checkImage(icons.image(0), first, QPoint(0, 0));
    checkImage(icons.image(1), second, QPoint(0, 0));
    QVERIFY(icons.image(count).isNull());

    // The same through a file.
    write("damaged.dll", data);
    const QString file = m_tmp.filePath("damaged.dll");
    QCOMPARE(IconLoader::iconCount(file), count);
    QCOMPARE(IconLoader::fileImages(file).size(), count);
    checkImage(IconLoader::IconSmallBtn(file, 0), first);
}

// A group may name one image thousands of times; its .ico must not grow with every
// mention, or a small file could ask for gigabytes.
void TestIconLoader::oneImageNamedOften()
{
    QByteArray group(6 + 14 * 80, '\0');
    group = put16(put16(group, 2, 1), 4, 80);
    for (int i = 0; i < 80; ++i) {
        const qint64 entry = 6 + 14 * i;
        group[entry] = group[entry + 1] = 16;
        group = put16(put16(group, entry + 4, 1), entry + 6, 32);
        group = put16(put32(group, entry + 8, RedImageSize), entry + 12, 1);
    }
    // The group goes over the green image; group 1's data entry points there.
    QByteArray dll = fixture("two-icons.dll");
    dll.replace(Rsrc + GreenImage, group.size(), group);
    dll = put32(dll, Rsrc + Group1DataEntry, 0x1000 + GreenImage);
    dll = put32(dll, Rsrc + Group1DataEntry + 4, group.size());

    const PeIcons icons(dll);
    QCOMPARE(icons.count(), 2);
    QVERIFY2(icons.icoFile(1).size() <= dll.size(), qPrintable(QString::number(icons.icoFile(1).size())));
    checkImage(icons.image(1), Red, QPoint(0, 0));
}

void TestIconLoader::truncatedAnywhere_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("PE32") << "two-icons.dll";
    QTest::newRow("PE32+") << "two-icons64.dll";
}

// Every prefix of the file: never more than it holds, and every image it gives is one of
// its own. Once the last image is whole, both icons are back.
void TestIconLoader::truncatedAnywhere()
{
    QFETCH(QString, file);

    const QByteArray dll = fixture(file);
    const QList<QColor> own{Red, Green, Blue};
    for (qsizetype length = 0; length <= dll.size(); ++length) {
        const PeIcons icons(dll.left(length));
        const QString where = QString::number(length);
        QVERIFY2(icons.count() <= 2, qPrintable(where));
        for (int i = 0; i < icons.count(); ++i) {
            const QImage image = icons.image(i);
            if (!image.isNull()) {
                const QColor c = image.pixelColor(0, 0);
                QVERIFY2(std::any_of(own.begin(), own.end(), [&](const QColor& o) { return sameColour(c, o, 0); }),
                         qPrintable(where));
            }
        }
        if (length >= Rsrc + BluePng + BluePngSize) {
            QCOMPARE(icons.count(), 2);
            QCOMPARE(icons.image(0).pixelColor(0, 0), Red);
            QCOMPARE(icons.image(1).pixelColor(0, 0), Blue);
        }
    }
}

// Random bytes in the headers, directories and groups (a fixed seed, so a failure
// repeats): nothing crashes, hangs or yields more than an icon's size.
void TestIconLoader::randomDamage()
{
    const QByteArray dll = fixture("two-icons.dll");
    QRandomGenerator random(20240601);
    for (int round = 0; round < 3000; ++round) {
        QByteArray data = dll;
        const int changes = 1 + int(random.bounded(4));
        for (int i = 0; i < changes; ++i)
            data[random.bounded(int(Rsrc + RedImage))] = char(random.bounded(256));
        const PeIcons icons(data);
        for (int i = 0; i < qMin(icons.count(), 4); ++i) {
            const QImage image = icons.image(i);
            QVERIFY2(image.width() <= 256 && image.height() <= 256, qPrintable(QString::number(round)));
        }
    }
}

QTEST_MAIN(TestIconLoader)
#include "tst_iconloader.moc"
