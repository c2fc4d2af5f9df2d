#include "paint/tools/Tool.h"

#include "paint/PaintSession.h"

namespace jhk {

void Tool::prepare(PaintSession &session, MouseButton)
{
    session.copyDrawingToUndo();
}

} // namespace jhk
