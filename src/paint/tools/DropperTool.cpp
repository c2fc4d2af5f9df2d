#include "paint/tools/ClickTools.h"

#include "paint/PaintSession.h"

namespace jhk {

void DropperTool::pick(PaintSession &session, QPoint p)
{
    PaintState &s = session.state();
    s.StartX = p.x();
    s.StartY = p.y();
    if (!session.drawing().rect().contains(p))
        return; // outside the drawing there is no colour to take
    const Colour colour = fromQRgb(session.drawing().pixel(p));
    if (s.ColorSel == UseFrontColour)
        session.setFrontColour(colour);
    else
        session.setBackColour(colour);
}

void DropperTool::press(PaintSession &session, PaintButton, QPoint p)
{
    pick(session, p);
}

void DropperTool::move(PaintSession &session, unsigned, QPoint p)
{
    pick(session, p);
}

void DropperTool::release(PaintSession &session, PaintButton, QPoint p)
{
    pick(session, p);
}

} // namespace jhk
