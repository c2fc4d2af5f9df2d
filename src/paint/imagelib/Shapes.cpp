#include "paint/imagelib/Shapes.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace jhk::pixels {

namespace {

// Dotted strokes: two pixels on, two off.
constexpr int DotPeriod = 4;
constexpr int DotOn = 2;

void ensureWritable(QImage &image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void fillBlock(QImage &image, QPoint a, QPoint b, QRgb colour)
{
    ensureWritable(image);
    const int left = std::max(std::min(a.x(), b.x()), 0);
    const int right = std::min(std::max(a.x(), b.x()), image.width() - 1);
    const int top = std::max(std::min(a.y(), b.y()), 0);
    const int bottom = std::min(std::max(a.y(), b.y()), image.height() - 1);
    for (int y = top; y <= bottom; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line + left, line + right + 1, colour | 0xFF000000u);
    }
}

void stampPen(QImage &image, QPoint centre, int width, QRgb colour)
{
    const int w = std::max(width, 1);
    const QPoint topLeft(centre.x() - w / 2, centre.y() - w / 2);
    fillBlock(image, topLeft, topLeft + QPoint(w - 1, w - 1), colour);
}

void drawLine(QImage &image, QPoint a, QPoint b, int width, QRgb colour, Stroke stroke)
{
    // Always walked from the same end, so a line dragged either way paints the same pixels.
    if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y()))
        std::swap(a, b);
    // Bresenham, so that both ends are always painted and the result does not depend on
    // the direction of the drag.
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int error = dx + dy;
    QPoint p = a;
    for (int step = 0;; ++step) {
        if (stroke == Stroke::Solid || step % DotPeriod < DotOn)
            stampPen(image, p, width, colour);
        if (p == b)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += sy;
        }
    }
}

void drawRectangle(QImage &image, QPoint a, QPoint b, int width, QRgb colour, bool filled,
                   Stroke stroke)
{
    const QPoint topLeft(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    const QPoint bottomRight(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
    if (filled && stroke == Stroke::Solid) {
        fillBlock(image, topLeft, bottomRight, colour);
        return;
    }
    const QPoint topRight(bottomRight.x(), topLeft.y());
    const QPoint bottomLeft(topLeft.x(), bottomRight.y());
    drawLine(image, topLeft, topRight, width, colour, stroke);
    drawLine(image, topRight, bottomRight, width, colour, stroke);
    drawLine(image, bottomLeft, bottomRight, width, colour, stroke);
    drawLine(image, topLeft, bottomLeft, width, colour, stroke);
}

void drawEllipse(QImage &image, QPoint a, QPoint b, int width, QRgb colour,
                 std::optional<QRgb> inside, Stroke stroke)
{
    ensureWritable(image);
    const QRect box(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                    QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(QColor::fromRgb(colour), std::max(width, 1),
             stroke == Stroke::Solid ? Qt::SolidLine : Qt::DotLine);
    if (stroke == Stroke::Dotted)
        pen.setWidth(1);
    painter.setPen(pen);
    if (inside && stroke == Stroke::Solid)
        painter.setBrush(QColor::fromRgb(*inside));
    else
        painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(box.left(), box.top(), box.width() - 1, box.height() - 1));
}

} // namespace jhk::pixels
