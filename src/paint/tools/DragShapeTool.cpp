#include "paint/tools/DragShapeTool.h"

#include "paint/PaintSession.h"

namespace jhk {

void DragShapeTool::press(PaintSession &session, PaintButton button, QPoint p)
{
    PaintState &s = session.state();
    if (button != s.HeldButton) {
        session.cancelDrag();
        return;
    }
    s.StartX = p.x();
    s.StartY = p.y();
}

void DragShapeTool::move(PaintSession &session, unsigned buttons, QPoint p)
{
    PaintState &s = session.state();
    if (buttons != s.HeldButton)
        return;
    s.EndX = p.x();
    s.EndY = p.y();
    session.copyUndoToDrawing();
    draw(session, true);
}

void DragShapeTool::release(PaintSession &session, PaintButton button, QPoint p)
{
    PaintState &s = session.state();
    if (button != s.HeldButton)
        return;
    s.FirstPoint = 1;
    s.EndX = p.x();
    s.EndY = p.y();
    session.copyUndoToDrawing(); // the last preview goes
    draw(session, false);
    session.undoableAction(actionName());
}

} // namespace jhk
