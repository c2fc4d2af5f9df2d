#pragma once

#include "paint/tools/Tool.h"

namespace jhk {

// Pen and eraser: a stroke starts with a dot at the press and follows the mouse.
class FreehandTool : public Tool
{
public:
    bool refreshesBaseOnRelease() const override { return true; }
    void press(PaintSession &session, PaintButton button, QPoint p) override;
    void move(PaintSession &session, unsigned buttons, QPoint p) override;

protected:
    // Whether the tool follows a press or a move with these buttons.
    virtual bool follows(const PaintSession &session, unsigned buttons) const = 0;
    // Paints at StartX, StartY (joining it to EndX, EndY unless it is the first point) and
    // makes it the previous point.
    virtual void paintAtStart(PaintSession &session) = 0;
    // Names the stroke for the undo item when it changed the drawing.
    virtual void nameAction(PaintSession &session) = 0;
};

class PenTool final : public FreehandTool
{
protected:
    bool follows(const PaintSession &, unsigned) const override { return true; }
    void paintAtStart(PaintSession &session) override;
    void nameAction(PaintSession &session) override;
};

class EraserTool final : public FreehandTool
{
public:
    // The right button erases nothing, so it leaves the undo copy as it was.
    void prepare(PaintSession &session, PaintButton button) override;

protected:
    bool follows(const PaintSession &session, unsigned buttons) const override;
    void paintAtStart(PaintSession &session) override;
    void nameAction(PaintSession &session) override;
};

} // namespace jhk
