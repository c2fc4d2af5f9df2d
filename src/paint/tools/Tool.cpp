#include "paint/tools/Tool.h"

#include "paint/PaintSession.h"

namespace jhk {

void Tool::prepare(PaintSession &session, PaintButton)
{
    session.copyDrawingToUndo();
}

} // namespace jhk
