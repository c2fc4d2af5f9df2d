#include "paint/tools/DragShapeTool.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

namespace jhk {

void LineTool::draw(PaintSession &session, bool preview)
{
    const PaintState &s = session.state();
    pixels::drawLine(session.drawing(), QPoint(s.StartX, s.StartY), QPoint(s.EndX, s.EndY),
                     preview ? 1 : s.PenWidth, toQRgb(session.actionColour()),
                     preview ? pixels::Stroke::Dotted : pixels::Stroke::Solid);
}

} // namespace jhk
