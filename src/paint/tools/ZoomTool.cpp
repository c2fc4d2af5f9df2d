#include "paint/tools/ClickTools.h"

#include "paint/PaintSession.h"

namespace jhk {

void ZoomTool::press(PaintSession &session, PaintButton button, QPoint)
{
    if (button == ButtonLeft)
        session.zoomIn();
    else
        session.zoomOut();
}

} // namespace jhk
