#include "paint/tools/FreehandTool.h"

#include "paint/PaintSession.h"
#include "paint/imagelib/Shapes.h"

namespace jhk {

void EraserTool::prepare(PaintSession &session, PaintButton button)
{
    if (button == ButtonLeft)
        session.copyDrawingToUndo();
}

bool EraserTool::follows(const PaintSession &session, unsigned buttons) const
{
    return buttons == session.state().HeldButton;
}

void EraserTool::paintAtStart(PaintSession &session)
{
    PaintState &s = session.state();
    if (s.ColorSel == UseFrontColour) {
        const QPoint corner(s.StartX, s.StartY);
        const int side = s.EraserSize;
        pixels::fillBlock(session.drawing(), corner, corner + QPoint(side - 1, side - 1),
                          toQRgb(s.BackgroundColor));
    }
    s.EndX = s.StartX;
    s.EndY = s.StartY;
    s.FirstPoint = 0;
}

void EraserTool::nameAction(PaintSession &session)
{
    // A right-button stroke erases nothing and kept no undo copy: the undo item keeps
    // naming the action it can really undo.
    if (session.state().ColorSel == UseFrontColour)
        session.undoableAction("消しゴム");
}

} // namespace jhk
