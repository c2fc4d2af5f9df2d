#include "paint/tools/DragShapeTool.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

namespace jhk {

void EllipseTool::draw(PaintSession &session, bool preview)
{
    const PaintState &s = session.state();
    const QPoint start(s.StartX, s.StartY);
    const QPoint end(s.EndX, s.EndY);
    const QRgb colour = toQRgb(session.actionColour());
    if (preview) {
        pixels::drawEllipse(session.drawing(), start, end, 1, colour, std::nullopt,
                            pixels::Stroke::Dotted);
        return;
    }
    // A filled ellipse is painted inside in the other colour, keeping its outline.
    std::optional<QRgb> inside;
    if (s.FillShapes == 1)
        inside = toQRgb(session.otherColour());
    pixels::drawEllipse(session.drawing(), start, end, s.PenWidth, colour, inside,
                        pixels::Stroke::Solid);
}

} // namespace jhk
