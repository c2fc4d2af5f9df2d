#include "paint/tools/ClickTools.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

namespace jhk {

void SelectTool::prepare(PaintSession &session, PaintButton)
{
    session.copyBaseToDrawing(); // the previous frame goes
}

void SelectTool::press(PaintSession &session, PaintButton button, QPoint p)
{
    PaintState &s = session.state();
    if (button != s.HeldButton) {
        session.copyBaseToDrawing();
        s.HeldButton = ButtonNone;
        return;
    }
    s.StartX = p.x();
    s.StartY = p.y();
}

void SelectTool::move(PaintSession &session, unsigned buttons, QPoint p)
{
    PaintState &s = session.state();
    if (buttons != s.HeldButton)
        return;
    s.EndX = p.x();
    s.EndY = p.y();
    session.copyBaseToDrawing();
    drawFrame(session);
}

void SelectTool::release(PaintSession &session, PaintButton button, QPoint p)
{
    PaintState &s = session.state();
    if (button != s.HeldButton)
        return;
    s.FirstPoint = 1;
    s.EndX = p.x();
    s.EndY = p.y();
    session.copyBaseToDrawing();
    drawFrame(session);
}

void SelectTool::drawFrame(PaintSession &session)
{
    const PaintState &s = session.state();
    pixels::drawRectangle(session.drawing(), QPoint(s.StartX, s.StartY), QPoint(s.EndX, s.EndY), 1,
                          toQRgb(ColourBlack), false, pixels::Stroke::Dotted);
}

} // namespace jhk
