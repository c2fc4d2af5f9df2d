#include "AssetWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

namespace assetgen {

AssetWriter::AssetWriter(QString root)
    : m_root(std::move(root))
{
}

bool AssetWriter::prepare(const QString &path)
{
    const QFileInfo info(QDir(m_root).filePath(path));
    if (!QDir().mkpath(info.absolutePath())) {
        m_errors << QStringLiteral("cannot create folder %1").arg(info.absolutePath());
        return false;
    }
    return true;
}

void AssetWriter::file(const QString &path, const QByteArray &bytes)
{
    if (!prepare(path))
        return;
    QSaveFile out(QDir(m_root).filePath(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        m_errors << QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
}

static QByteArray encode(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void AssetWriter::bmp(const QString &path, const QImage &image, const QColor &matte)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(matte);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    // Resolution is not part of the picture: keep the header the same on every machine.
    flat.setDotsPerMeterX(3780);
    flat.setDotsPerMeterY(3780);
    m_pictures.push_back({path, flat});
    file(path, encode(flat, "BMP"));
}

void AssetWriter::bmpInPlace(const QString &path, const QImage &image)
{
    QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < pixels.height() && opaque; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width() && opaque; ++x)
            opaque = qAlpha(line[x]) == 255;
    }
    m_pictures.push_back({path, pixels});
    // An opaque picture has the 40-byte header and plain 32-bit pixels, one with transparency
    // the 108-byte header whose masks name the fourth byte as alpha (not premultiplied). The
    // pixels begin on the next 4-byte boundary after the headers.
    const quint32 header = opaque ? 40 : 108;
    const quint32 pixelsAt = (14 + header + 3) / 4 * 4;
    const quint32 pixelBytes = 4 * static_cast<quint32>(pixels.width()) * static_cast<quint32>(pixels.height());
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(pixelsAt + pixelBytes));
    const auto put = [&bytes](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    bytes.append("BM", 2);
    put(pixelsAt + pixelBytes, 4);
    put(0, 4);
    put(pixelsAt, 4);
    put(header, 4);
    put(static_cast<quint32>(pixels.width()), 4);
    put(static_cast<quint32>(-pixels.height()), 4); // a negative height: the top row comes first
    put(1, 2);
    put(32, 2);
    put(opaque ? 0 : 3, 4); // uncompressed, or bit fields
    put(pixelBytes, 4);
    put(3780, 4);
    put(3780, 4);
    put(0, 4);
    put(0, 4);
    if (!opaque) {
        for (const quint32 mask : {0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0xff000000u})
            put(mask, 4);
        put(0x73524742, 4); // "sRGB"
        for (int i = 0; i < 12; ++i)
            put(0, 4); // end points and gamma, unused for sRGB
    }
    while (static_cast<quint32>(bytes.size()) < pixelsAt)
        bytes.append('\0');
    // Each pixel as B, G, R, A: on a little-endian machine the memory of a Format_ARGB32 pixel
    // (0xAARRGGBB), and for an opaque one of Format_RGB32; readers of plain 32-bit BMP files
    // ignore the fourth byte.
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            put(line[x], 4);
    }
    file(path, bytes);
}

void AssetWriter::png(const QString &path, const QImage &image)
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    copy.setDotsPerMeterX(3780);
    copy.setDotsPerMeterY(3780);
    m_pictures.push_back({path, copy});
    file(path, encode(copy, "PNG"));
}

} // namespace assetgen
