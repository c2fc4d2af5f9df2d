#include "paint/tools/DragShapeTool.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

#include <algorithm>

namespace jhk {

void RectangleTool::draw(PaintSession &session, bool preview)
{
    const PaintState &s = session.state();
    QImage &image = session.drawing();
    const QRgb colour = toQRgb(session.actionColour());
    const QPoint start(s.StartX, s.StartY);
    const QPoint end(s.EndX, s.EndY);
    const int zoom = static_cast<int>(s.Zoom);
    const auto snap = [zoom](QPoint p) { return QPoint(p.x() - p.x() % zoom, p.y() - p.y() % zoom); };

    if (preview) {
        const QPoint a = zoom == 1 ? start : snap(start);
        const QPoint b = zoom == 1 ? end : snap(end) - QPoint(1, 1);
        pixels::drawRectangle(image, a, b, 1, colour, false, pixels::Stroke::Dotted);
        return;
    }
    if (zoom == 1) {
        pixels::drawRectangle(image, start, end, s.PenWidth, colour, s.FillShapes == 1,
                              pixels::Stroke::Solid);
        return;
    }
    // Zoomed in, the border is one zoom cell wide and lies on the zoom grid.
    const QPoint half(zoom / 2, zoom / 2);
    const QPoint a = snap(start) + half;
    const QPoint b = snap(end) - half;
    if (s.FillShapes == 1) {
        const QPoint low(std::min(a.x(), b.x()) - zoom / 2, std::min(a.y(), b.y()) - zoom / 2);
        const QPoint high(std::max(a.x(), b.x()) + zoom / 2 - 1, std::max(a.y(), b.y()) + zoom / 2 - 1);
        pixels::fillBlock(image, low, high, colour);
    } else {
        pixels::drawRectangle(image, a, b, zoom, colour, false, pixels::Stroke::Solid);
    }
}

} // namespace jhk
