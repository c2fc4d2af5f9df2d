#include "paint/imagelib/Zoom.h"

namespace jhk::pixels {

QImage enlargeTwice(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QImage result(image.width() * 2, image.height() * 2, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(2 * y));
        for (int x = 0; x < image.width(); ++x) {
            out[2 * x] = in[x];
            out[2 * x + 1] = in[x];
        }
        std::copy(out, out + result.width(), reinterpret_cast<QRgb *>(result.scanLine(2 * y + 1)));
    }
    return result;
}

QImage shrinkTwice(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width() / 2;
    const int height = image.height() / 2;
    QImage result(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
    result.fill(Qt::white);
    for (int y = 0; y < height; ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(2 * y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = in[2 * x];
    }
    return result;
}

} // namespace jhk::pixels
