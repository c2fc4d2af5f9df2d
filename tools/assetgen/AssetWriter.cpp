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
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    m_pictures.push_back({path, flat});
    // The headers take 54 bytes; two bytes more start the pixels on a 4-byte boundary.
    constexpr quint32 PixelsAt = 56;
    const quint32 rowBytes = 4 * static_cast<quint32>(flat.width());
    const quint32 pixelBytes = rowBytes * static_cast<quint32>(flat.height());
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(PixelsAt + pixelBytes));
    const auto put = [&bytes](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    bytes.append("BM", 2);
    put(PixelsAt + pixelBytes, 4);
    put(0, 4);
    put(PixelsAt, 4);
    put(40, 4); // BITMAPINFOHEADER
    put(static_cast<quint32>(flat.width()), 4);
    put(static_cast<quint32>(-flat.height()), 4); // a negative height: the top row comes first
    put(1, 2);
    put(32, 2);
    put(0, 4); // uncompressed
    put(pixelBytes, 4);
    put(3780, 4);
    put(3780, 4);
    put(0, 4);
    put(0, 4);
    put(0, 2);
    // Each pixel as B, G, R and 0xff: on a little-endian machine the memory of a Format_RGB32
    // pixel (0xffRRGGBB); readers of BMP files ignore the fourth byte.
    for (int y = 0; y < flat.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(flat.constScanLine(y));
        for (int x = 0; x < flat.width(); ++x)
            put(line[x] | 0xff000000u, 4);
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
