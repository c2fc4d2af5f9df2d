#include "paint/SurfaceCopy.h"

#include <QPainter>

namespace jhk {

QImage keptFromTopLeft(const QImage &image, QSize size, QSize kept)
{
    QImage result(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(QPoint(0, 0), image, QRect(QPoint(0, 0), kept.boundedTo(image.size())));
    return result;
}

void SurfaceCopy::resize(QSize size)
{
    size_ = size;
    kept_ = kept_.boundedTo(size);
}

QImage &SurfaceCopy::image()
{
    if (image_.size() != size_ || kept_ != size_) {
        image_ = keptFromTopLeft(image_, size_, kept_);
        kept_ = size_;
    }
    return image_;
}

} // namespace jhk
