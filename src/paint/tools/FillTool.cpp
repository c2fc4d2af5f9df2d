#include "paint/tools/ClickTools.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/FloodFill.h"

namespace jhk {

void FillTool::press(PaintSession &session, PaintButton, QPoint p)
{
    session.state().StartX = p.x();
    session.state().StartY = p.y();
    pixels::floodFill(session.drawing(), p, toQRgb(session.actionColour()));
    session.undoableAction("塗りつぶし");
}

void FillTool::move(PaintSession &session, unsigned, QPoint)
{
    const PaintState &s = session.state();
    pixels::floodFill(session.drawing(), QPoint(s.StartX, s.StartY), toQRgb(session.actionColour()));
}

} // namespace jhk
