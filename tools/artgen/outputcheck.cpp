#include "outputcheck.h"

#include "panelpictures.h"
#include "toolbaricons.h"
#include "transferpictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>

namespace outputcheck {
namespace {

int opaqueCount(const QImage &img, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(img.pixel(x, y)) >= 128)
                ++n;
    return n;
}

QImage alphaMask(const QImage &img)
{
    return img.convertToFormat(QImage::Format_Alpha8);
}

QImage load(const QString &path, const QSize &size, QStringList &problems)
{
    QImage img;
    if (!img.load(path)) {
        problems << QStringLiteral("%1: cannot be read").arg(path);
        return {};
    }
    if (img.size() != size) {
        problems << QStringLiteral("%1: is %2 x %3, expected %4 x %5")
                        .arg(path)
                        .arg(img.width())
                        .arg(img.height())
                        .arg(size.width())
                        .arg(size.height());
        return {};
    }
    return img.convertToFormat(QImage::Format_ARGB32);
}

// The transfer window decodes its pictures with libjpeg, set up for
// baseline files only: no progressive or arithmetic-coded frames.
void checkBaselineJpeg(const QString &path, QStringList &problems)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1: cannot be opened").arg(path);
        return;
    }
    const QByteArray data = f.readAll();
    if (!data.startsWith("\xFF\xD8")) {
        problems << QStringLiteral("%1: not a JPEG file").arg(path);
        return;
    }
    // Walk the marker segments up to the start of the scan.
    int pos = 2;
    bool baseline = false;
    while (pos + 4 <= data.size()) {
        if (uchar(data[pos]) != 0xFF) {
            problems << QStringLiteral("%1: damaged marker at %2").arg(path).arg(pos);
            return;
        }
        const uchar marker = uchar(data[pos + 1]);
        const int length = (uchar(data[pos + 2]) << 8) | uchar(data[pos + 3]);
        if (marker == 0xC0)
            baseline = true;
        else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            problems << QStringLiteral("%1: frame type %2 is not baseline").arg(path).arg(marker, 2, 16);
            return;
        }
        if (marker == 0xDA)
            break;
        pos += 2 + length;
    }
    if (!baseline)
        problems << QStringLiteral("%1: no baseline frame header").arg(path);
}

void checkToolbar(const QDir &dir, QStringList &problems)
{
    QList<QImage> icons;
    const QSize size(toolbar::iconSize, toolbar::iconSize);
    for (int i = 0; i < toolbar::iconCount; ++i) {
        const QString path = dir.filePath(QStringLiteral("toolbar/tb%1.png").arg(i, 2, 10, QLatin1Char('0')));
        const QImage img = load(path, size, problems);
        icons << img;
        if (img.isNull())
            continue;
        if (!img.hasAlphaChannel() || qAlpha(img.pixel(0, 0)) != 0 || qAlpha(img.pixel(0, 15)) != 0 || qAlpha(img.pixel(15, 15)) != 0
            || qAlpha(img.pixel(15, 0)) != 0)
            problems << QStringLiteral("%1: background is not transparent").arg(path);
        const int opaque = opaqueCount(img, img.rect());
        if (opaque < 30)
            problems << QStringLiteral("%1: almost empty (%2 opaque pixels)").arg(path).arg(opaque);
    }
    for (int i = 0; i < icons.size(); ++i)
        for (int j = i + 1; j < icons.size(); ++j)
            if (!icons[i].isNull() && icons[i] == icons[j])
                problems << QStringLiteral("tool-bar pictures %1 and %2 are the same").arg(i).arg(j);

    // The LED button swaps pictures 20-22 in place: same shape, and the
    // colour must say red, green and grey.
    const QImage &red = icons.value(toolbar::LedRed);
    const QImage &green = icons.value(toolbar::LedGreen);
    const QImage &grey = icons.value(toolbar::LedGrey);
    if (red.isNull() || green.isNull() || grey.isNull())
        return;
    if (alphaMask(red) != alphaMask(green) || alphaMask(red) != alphaMask(grey))
        problems << QStringLiteral("LED pictures differ in shape, not only in colour");
    const QColor r = QColor::fromRgb(red.pixel(8, 10));
    const QColor g = QColor::fromRgb(green.pixel(8, 10));
    const QColor n = QColor::fromRgb(grey.pixel(8, 10));
    if (!(r.red() > 2 * r.green() && r.red() > 2 * r.blue()))
        problems << QStringLiteral("red LED is not red");
    if (!(g.green() > 2 * g.red() && g.green() > 2 * g.blue()))
        problems << QStringLiteral("green LED is not green");
    if (n.hsvSaturation() > 60)
        problems << QStringLiteral("grey LED is coloured");
}

void checkPanelPictures(const QDir &dir, QStringList &problems)
{
    const QSize iconSize(panelpictures::iconSize, panelpictures::iconSize);
    for (const QString &name : {QStringLiteral("ostikit.png"), QStringLiteral("about.png")}) {
        const QString path = dir.filePath(name);
        const QImage img = load(path, iconSize, problems);
        if (img.isNull())
            continue;
        if (qAlpha(img.pixel(0, 0)) != 0)
            problems << QStringLiteral("%1: background is not transparent").arg(path);
        if (opaqueCount(img, img.rect()) < img.width() * img.height() / 4)
            problems << QStringLiteral("%1: too little drawn").arg(path);
    }

    const int fs = panelpictures::clipFrameSize;
    const QString clipPath = dir.filePath(QStringLiteral("rvxavi.png"));
    const QImage clip = load(clipPath, QSize(fs * panelpictures::clipFrames, fs), problems);
    if (clip.isNull())
        return;
    QSet<QByteArray> distinct;
    for (int f = 0; f < panelpictures::clipFrames; ++f) {
        const QImage frame = clip.copy(f * fs, 0, fs, fs);
        if (opaqueCount(frame, frame.rect()) < fs * fs / 8)
            problems << QStringLiteral("%1: frame %2 is almost empty").arg(clipPath).arg(f);
        distinct.insert(QByteArray(reinterpret_cast<const char *>(frame.constBits()), frame.sizeInBytes()));
    }
    if (distinct.size() != panelpictures::clipFrames)
        problems << QStringLiteral("%1: frames repeat, so the clip stalls").arg(clipPath);
}

void checkTransfer(const QDir &dir, QStringList &problems)
{
    QList<QImage> pictures;
    for (int n = 1; n <= 3; ++n) {
        const QString path = dir.filePath(QStringLiteral("transfer%1.jpg").arg(n));
        checkBaselineJpeg(path, problems);
        const QImage img = load(path, QSize(transferpictures::width, transferpictures::height), problems);
        pictures << img;
        if (img.isNull())
            continue;
        if (QColor::fromRgb(img.pixel(1, 1)).lightness() < 220)
            problems << QStringLiteral("%1: background is not light").arg(path);
    }
    for (int i = 0; i < pictures.size(); ++i)
        for (int j = i + 1; j < pictures.size(); ++j)
            if (!pictures[i].isNull() && pictures[i] == pictures[j])
                problems << QStringLiteral("transfer pictures %1 and %2 are the same").arg(i + 1).arg(j + 1);
}

} // namespace

QStringList check(const QString &folder)
{
    QStringList problems;
    const QDir dir(folder);
    checkToolbar(dir, problems);
    checkPanelPictures(dir, problems);
    checkTransfer(dir, problems);
    return problems;
}

} // namespace outputcheck
