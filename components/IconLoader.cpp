#include "IconLoader.h"

#include "DesktopEntry.h"

#include "PeIcons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace IconLoader {

namespace {

constexpr int SmallSide = 15;
// Theme icons and scalable images are drawn at the large-icon size glyphs are made from.
constexpr int LargeIconSide = 32;

double hermite(double x)
{
    x = std::abs(x);
    return x < 1 ? (2 * x - 3) * x * x + 1 : 0;
}

double sinc(double x)
{
    if (x == 0)
        return 1;
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double lanczos3(double x)
{
    x = std::abs(x);
    return x < 3 ? sinc(x) * sinc(x / 3) : 0;
}

struct Tap
{
    int index;
    double weight;
};

// For each destination pixel along one axis: the source pixels under the kernel and
// their normalized weights.
std::vector<std::vector<Tap>> contributions(int from, int to, Filter filter)
{
    const double support = filter == Filter::Hermite ? 1.0 : 3.0;
    const auto kernel = filter == Filter::Hermite ? hermite : lanczos3;
    const double scale = double(to) / from;
    // When shrinking, the kernel widens by the reduction so every source pixel counts.
    const double stretch = scale < 1 ? 1 / scale : 1;
    const double radius = support * stretch;
    std::vector<std::vector<Tap>> result(to);
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        std::vector<Tap>& taps = result[i];
        double sum = 0;
        for (int j = int(std::floor(centre - radius)); j <= int(std::ceil(centre + radius)); ++j) {
            const double weight = kernel((centre - j) / stretch);
            if (weight == 0)
                continue;
            // The border pixel repeats outside the image, so edges do not fade to black.
            taps.push_back({std::clamp(j, 0, from - 1), weight});
            sum += weight;
        }
        if (sum == 0) {
            taps = {{std::clamp(int(std::lround(centre)), 0, from - 1), 1.0}};
            continue;
        }
        for (Tap& tap : taps)
            tap.weight /= sum;
    }
    return result;
}

bool isProgram(const QString& suffix)
{
    return suffix == u"exe" || suffix == u"dll" || suffix == u"icl";
}

bool isPicture(const QString& suffix)
{
    static const QStringList pictures{"png", "bmp", "gif", "jpg", "jpeg", "svg", "svgz"};
    return pictures.contains(suffix);
}

QString suffixOf(const QString& file)
{
    return QFileInfo(file).suffix().toLower();
}

// Only regular files are opened: a FIFO named like a picture would block for ever.
QImage readPicture(const QString& file)
{
    if (!QFileInfo(file).isFile())
        return {};
    QImageReader reader(file);
    if (reader.format().startsWith("svg")) {
        QSize size = reader.size();
        if (size.isEmpty())
            size = QSize(LargeIconSide, LargeIconSide);
        reader.setScaledSize(size.scaled(LargeIconSide, LargeIconSide, Qt::KeepAspectRatio));
    }
    return reader.read();
}

QImage readIco(const QString& file)
{
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly))
        return {};
    return PeIcons::bestImage(f.readAll());
}

QImage themeImage(const QString& name)
{
    if (name.isEmpty() || !QIcon::hasThemeIcon(name))
        return {};
    return QIcon::fromTheme(name).pixmap(QSize(LargeIconSide, LargeIconSide)).toImage();
}

QImage mimeImage(const QString& file)
{
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(file);
    const QImage image = themeImage(mime.iconName());
    return image.isNull() ? themeImage(mime.genericIconName()) : image;
}

// A path it names is read as a picture or an icon file, never as another .desktop
// file, so an entry naming itself cannot loop.
QImage desktopImage(const QString& file)
{
    const std::optional<DesktopEntry> entry = DesktopEntry::readFields(file);
    const QString icon = entry ? entry->icon : QString();
    if (icon.isEmpty())
        return {};
    if (QDir::isAbsolutePath(icon))
        return suffixOf(icon) == u"ico" ? readIco(icon) : readPicture(icon);
    const QImage image = themeImage(icon);
    if (!image.isNull() || !isPicture(suffixOf(icon)))
        return image;
    // Many entries write a theme name with a file suffix.
    return themeImage(QFileInfo(icon).completeBaseName());
}

// Icon index of file at its own size, before it meets the button face.
QImage iconImage(const QString& file, int index)
{
    const QString suffix = suffixOf(file);
    if (isProgram(suffix))
        return PeIcons::fromFile(file).image(index);
    if (index != 0)
        return {};
    if (suffix == u"ico")
        return readIco(file);
    if (isPicture(suffix))
        return readPicture(file);
    if (suffix == u"desktop")
        return desktopImage(file);
    const QImage program = themeImage(QFileInfo(file).fileName());
    return program.isNull() ? mimeImage(file) : program;
}

QImage onFace(const QImage& icon, const QColor& face)
{
    QImage canvas(icon.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(face.isValid() ? face : QGuiApplication::palette().color(QPalette::Button));
    QPainter painter(&canvas);
    painter.drawImage(0, 0, icon);
    painter.end();
    return canvas;
}

QImage smallGlyph(const QImage& icon)
{
    if (icon.isNull())
        return {};
    return resample(onFace(icon, QColor()), SmallSide, SmallSide, Filter::Hermite);
}

QImage smallPicture(const QString& file)
{
    return resample(readPicture(file), SmallSide, SmallSide, Filter::Hermite);
}

bool isGif(const QString& suffix)
{
    return suffix == u"gif";
}

bool isJpeg(const QString& suffix)
{
    return suffix == u"jpg" || suffix == u"jpeg";
}

} // namespace

QImage resample(const QImage& source, int width, int height, Filter filter)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const QImage src = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int srcWidth = src.width();
    const int srcHeight = src.height();
    const auto across = contributions(srcWidth, width, filter);
    const auto down = contributions(srcHeight, height, filter);

    // The horizontal pass stays in floating point, so rounding and clamping happen once.
    std::vector<float> between(size_t(width) * srcHeight * 4);
    for (int y = 0; y < srcHeight; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        float* out = &between[size_t(y) * width * 4];
        for (int x = 0; x < width; ++x) {
            double a = 0, r = 0, g = 0, b = 0;
            for (const Tap& tap : across[x]) {
                const QRgb p = line[tap.index];
                a += qAlpha(p) * tap.weight;
                r += qRed(p) * tap.weight;
                g += qGreen(p) * tap.weight;
                b += qBlue(p) * tap.weight;
            }
            out[4 * x] = float(a);
            out[4 * x + 1] = float(r);
            out[4 * x + 2] = float(g);
            out[4 * x + 3] = float(b);
        }
    }

    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double a = 0, r = 0, g = 0, b = 0;
            for (const Tap& tap : down[y]) {
                const float* p = &between[(size_t(tap.index) * width + x) * 4];
                a += p[0] * tap.weight;
                r += p[1] * tap.weight;
                g += p[2] * tap.weight;
                b += p[3] * tap.weight;
            }
            // Lanczos rings past the range; a colour above its alpha would be no valid
            // premultiplied pixel, so colours are held to the alpha as well.
            const int alpha = std::clamp(int(std::lround(a)), 0, 255);
            const auto channel = [alpha](double v) { return std::clamp(int(std::lround(v)), 0, alpha); };
            line[x] = qRgba(channel(r), channel(g), channel(b), alpha);
        }
    }
    return result;
}

QImage GIFLoad(const QString& file)
{
    return smallPicture(file);
}

QImage JPEGLoad(const QString& file)
{
    return smallPicture(file);
}

QImage IconSmallBtn(const QString& file, int index, int buttonHeight, const QColor& face)
{
    if (!QFileInfo::exists(file))
        return {};
    const QImage icon = iconImage(file, index);
    if (icon.isNull())
        return {};
    const int side = buttonHeight - 4;
    return resample(onFace(icon, face), side, side, Filter::Lanczos3);
}

QImage IconSmall(const QString& file)
{
    return smallGlyph(iconImage(file, 0));
}

QImage IconSmallBtnTest(const QString& file, int index)
{
    const QString suffix = suffixOf(file);
    if (isGif(suffix))
        return GIFLoad(file);
    if (isJpeg(suffix))
        return JPEGLoad(file);
    return IconSmallBtn(file, index);
}

int iconCount(const QString& file)
{
    if (!QFileInfo::exists(file))
        return 0;
    if (isProgram(suffixOf(file)))
        return PeIcons::fromFile(file).count();
    return iconImage(file, 0).isNull() ? 0 : 1;
}

QList<QImage> fileImages(const QString& file)
{
    if (!QFileInfo::exists(file))
        return {};
    const QString suffix = suffixOf(file);
    QList<QImage> images;
    if (isGif(suffix) || isJpeg(suffix)) {
        if (const QImage image = smallPicture(file); !image.isNull())
            images.append(image);
    } else if (isProgram(suffix)) {
        const PeIcons icons = PeIcons::fromFile(file);
        for (int i = 0; i < icons.count(); ++i)
            images.append(smallGlyph(icons.image(i)));
    } else if (const QImage icon = iconImage(file, 0); !icon.isNull()) {
        images.append(smallGlyph(icon));
    }
    return images;
}

} // namespace IconLoader
