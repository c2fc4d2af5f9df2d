#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>

#include <optional>

namespace jhk::pixels {

// Solid strokes are the finished drawing; dotted strokes are the previews shown during a drag.
enum class Stroke { Solid, Dotted };

// The pen: a width × width square whose top-left corner is width / 2 above and left of the
// point, so a pen as wide as the zoom factor covers exactly one zoom cell.
void stampPen(QImage &image, QPoint centre, int width, QRgb colour);

// A solid block covering both corners, in whichever order they are given.
void fillBlock(QImage &image, QPoint a, QPoint b, QRgb colour);

// A straight line from a to b, both ends included.
void drawLine(QImage &image, QPoint a, QPoint b, int width, QRgb colour, Stroke stroke);

// A rectangle with corners a and b (both included): an outline, or one solid block.
void drawRectangle(QImage &image, QPoint a, QPoint b, int width, QRgb colour, bool filled,
                   Stroke stroke);

// An ellipse inscribed in the rectangle with corners a and b; with `inside` its inside is
// painted in that colour and the outline keeps the pen colour.
void drawEllipse(QImage &image, QPoint a, QPoint b, int width, QRgb colour,
                 std::optional<QRgb> inside, Stroke stroke);

} // namespace jhk::pixels
