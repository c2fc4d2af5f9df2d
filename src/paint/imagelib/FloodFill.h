#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>

namespace jhk::pixels {

// Paints `colour` over every pixel that has the colour of the pixel at `seed` and is joined
// to it through its four neighbours (no tolerance). A seed outside the image does nothing.
// Returns the number of pixels painted.
long floodFill(QImage &image, QPoint seed, QRgb colour);

} // namespace jhk::pixels
