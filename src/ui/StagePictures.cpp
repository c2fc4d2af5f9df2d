#include "ui/StagePictures.h"

#include "model/AppPaths.h"
#include "model/Kinds.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QResource>

#include <cstring>

namespace jhk {

namespace {

constexpr QSize DefaultPartSize(32, 32);
constexpr QSize PaletteSize(64, 64);

QSize builtInSize(int kind)
{
    if (kind < 0 || kind >= PartsKindCount)
        return DefaultPartSize;
    const PixelSize s = BuiltInPictureSizes[static_cast<std::size_t>(kind)];
    return {s.width, s.height};
}

} // namespace

StagePictures::StagePictures(QString appFolder) : m_appFolder(std::move(appFolder)) {}

QPixmap StagePictures::placeholder(QSize size, const QString &text)
{
    QPixmap pix(size.expandedTo(QSize(1, 1)));
    pix.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&pix);
    QPen pen(QColor(0x90, 0x20, 0x20));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawRect(0, 0, pix.width() - 1, pix.height() - 1);
    p.drawLine(0, 0, pix.width() - 1, pix.height() - 1);
    p.drawLine(0, pix.height() - 1, pix.width() - 1, 0);
    if (!text.isEmpty()) {
        QFont f = p.font();
        f.setPixelSize(10);
        p.setFont(f);
        p.drawText(pix.rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    return pix;
}

QImage StagePictures::bitmapInPlace(const uchar *bytes, qint64 size)
{
    if (!bytes || size < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    const auto u16 = [bytes](qint64 at) { return static_cast<quint32>(bytes[at] | bytes[at + 1] << 8); };
    const auto u32 = [&u16](qint64 at) { return u16(at) | u16(at + 2) << 16; };
    const quint32 header = u32(14);
    const quint32 pixelsAt = u32(10);
    const quint32 width = u32(18);
    const auto height = static_cast<qint32>(u32(22));
    // One plane, 32 bits a pixel, the top row first; either the 40-byte header with plain
    // pixels, or a longer one whose bit fields are exactly B, G, R and alpha in that order.
    QImage::Format format = QImage::Format_Invalid;
    if (header == 40 && u32(30) == 0)
        format = QImage::Format_RGB32;
    else if (header >= 108 && header <= 124 && 14 + header <= size && u32(30) == 3 && u32(54) == 0x00ff0000
             && u32(58) == 0x0000ff00 && u32(62) == 0x000000ff && u32(66) == 0xff000000)
        format = QImage::Format_ARGB32;
    if (format == QImage::Format_Invalid || u16(26) != 1 || u16(28) != 32 || height >= 0 || width == 0
        || width > 0x4000 || height < -0x4000)
        return {};
    const qint64 rowBytes = 4 * static_cast<qint64>(width);
    const qint64 rows = -static_cast<qint64>(height);
    if (pixelsAt < 14 + header || pixelsAt % 4 != 0 || static_cast<qint64>(pixelsAt) + rowBytes * rows > size)
        return {};
    const uchar *pixels = bytes + pixelsAt;
    // Shown from where it lies when its pixels start on a 4-byte boundary, as an image needs.
    if (reinterpret_cast<quintptr>(pixels) % 4 == 0)
        return QImage(pixels, static_cast<int>(width), static_cast<int>(rows), static_cast<qsizetype>(rowBytes),
                      format);
    QImage copy(static_cast<int>(width), static_cast<int>(rows), format);
    if (copy.isNull())
        return {};
    for (int y = 0; y < copy.height(); ++y)
        std::memcpy(copy.scanLine(y), pixels + y * rowBytes, static_cast<std::size_t>(rowBytes));
    return copy;
}

QImage StagePictures::builtInImage(const QString &path)
{
    // PNG, or a BMP that is shown as it is stored.
    const bool bmp = path.endsWith(QLatin1String(".bmp"));
    if (bmp) {
        // A BMP stored in the layout of the program's own pixels (and not compressed into the
        // program) needs no reading at all.
        const QResource resource(path);
        if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
            const QImage inPlace = bitmapInPlace(resource.data(), resource.size());
            if (!inPlace.isNull())
                return inPlace;
        }
    }
    QImageReader reader(path, bmp ? QByteArrayLiteral("bmp") : QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap StagePictures::builtIn(const QString &path)
{
    return QPixmap::fromImage(builtInImage(path));
}

QPixmap StagePictures::resource(const QString &path, QSize size)
{
    const auto it = m_cache.constFind(path);
    if (it != m_cache.constEnd())
        return *it;
    QPixmap pix = builtIn(path);
    if (pix.isNull())
        pix = placeholder(size);
    m_cache.insert(path, pix);
    return pix;
}

QPixmap StagePictures::builtInPart(int kind)
{
    return resource(QStringLiteral(":/builtin/kinds/kind_%1.png").arg(kind), builtInSize(kind));
}

QPixmap StagePictures::palette(int kind)
{
    return resource(QStringLiteral(":/builtin/palette/palette_%1.bmp").arg(kind), PaletteSize);
}

QPixmap StagePictures::file(const std::string &storedPath, QSize fallback)
{
    const QString key = QStringLiteral("file:") + QString::fromStdString(storedPath);
    const auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return *it;
    const std::string resolved = resolveInFolder(m_appFolder.toStdString(), storedPath);
    QPixmap pix;
    if (!resolved.empty())
        pix.load(QString::fromStdString(resolved));
    if (pix.isNull()) {
        // Not cached: a file put in place later is picked up.
        return placeholder(fallback, QFileInfo(QString::fromStdString(storedPath).replace('\\', '/')).fileName());
    }
    m_cache.insert(key, pix);
    return pix;
}

std::string StagePictures::addPainted(int slot, const QPixmap &picture)
{
    // Every hand-back gets its own name: products already discharged keep the old drawing.
    const QString key = QStringLiteral("painted:%1:%2").arg(slot).arg(++m_painted);
    m_cache.insert(key, picture);
    return key.toStdString();
}

QPixmap StagePictures::partPicture(int kind, const std::string &picture)
{
    if (picture == "dummy")
        return builtInPart(kind);
    if (picture.rfind("painted:", 0) == 0) {
        const auto it = m_cache.constFind(QString::fromStdString(picture));
        if (it != m_cache.constEnd())
            return *it;
    }
    return file(picture, builtInSize(kind));
}

} // namespace jhk
