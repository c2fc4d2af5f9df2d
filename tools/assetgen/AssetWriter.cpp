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

void AssetWriter::png(const QString &path, const QImage &image)
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    copy.setDotsPerMeterX(3780);
    copy.setDotsPerMeterY(3780);
    m_pictures.push_back({path, copy});
    file(path, encode(copy, "PNG"));
}

} // namespace assetgen
