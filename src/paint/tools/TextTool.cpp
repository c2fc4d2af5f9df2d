#include "paint/tools/ClickTools.h"

#include "paint/PaintSession.h"

namespace jhk {

void TextTool::press(PaintSession &session, PaintButton, QPoint p)
{
    session.state().StartX = p.x();
    session.state().StartY = p.y();
    session.showTextBox(p, session.actionColour());
}

} // namespace jhk
