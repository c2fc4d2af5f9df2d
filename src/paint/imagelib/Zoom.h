#pragma once

#include <QImage>

namespace jhk::pixels {

// Doubles the picture: every pixel becomes a 2 × 2 block.
QImage enlargeTwice(const QImage &image);

// Halves the picture: every 2 × 2 block becomes one pixel, the colour of its top-left pixel,
// so pictures drawn on the zoom grid come back unchanged. An odd last row or column is dropped.
QImage shrinkTwice(const QImage &image);

} // namespace jhk::pixels
