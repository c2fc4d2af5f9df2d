#include "paint/tools/FreehandTool.h"

#include "paint/PaintSession.h"

namespace jhk {

void FreehandTool::press(PaintSession &session, PaintButton button, QPoint p)
{
    PaintState &s = session.state();
    if (!follows(session, button)) {
        session.cancelDrag();
        return;
    }
    s.FirstPoint = 1;
    s.StartX = p.x();
    s.StartY = p.y();
    paintAtStart(session);
    nameAction(session);
}

void FreehandTool::move(PaintSession &session, unsigned buttons, QPoint p)
{
    if (!follows(session, buttons))
        return;
    session.state().StartX = p.x();
    session.state().StartY = p.y();
    paintAtStart(session);
}

} // namespace jhk
