#include "paint/tools/FreehandTool.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

namespace jhk {

void PenTool::paintAtStart(PaintSession &session)
{
    PaintState &s = session.state();
    const QRgb colour = toQRgb(session.actionColour());
    const QPoint start(s.StartX, s.StartY);
    const int zoom = static_cast<int>(s.Zoom);
    if (zoom == 1) {
        if (s.FirstPoint == 1)
            pixels::stampPen(session.drawing(), start, s.PenWidth, colour);
        else
            pixels::drawLine(session.drawing(), QPoint(s.EndX, s.EndY), start, s.PenWidth, colour,
                             pixels::Stroke::Solid);
    } else {
        // Zoomed in, the pen paints whole zoom cells; points are not joined.
        const QPoint cell(s.StartX - s.StartX % zoom, s.StartY - s.StartY % zoom);
        const int side = s.PenWidth * zoom;
        pixels::fillBlock(session.drawing(), cell, cell + QPoint(side - 1, side - 1), colour);
    }
    s.EndX = s.StartX;
    s.EndY = s.StartY;
    s.FirstPoint = 0;
}

void PenTool::nameAction(PaintSession &session)
{
    session.undoableAction("ペン");
}

} // namespace jhk
