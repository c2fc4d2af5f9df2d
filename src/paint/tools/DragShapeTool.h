#pragma once

#include "paint/tools/Tool.h"

namespace jhk {

// Line, rectangle and ellipse: a dotted preview follows the drag from a clean copy of the
// picture, and the release draws the shape for good.
class DragShapeTool : public Tool
{
public:
    bool refreshesBaseOnRelease() const override { return true; }
    void press(PaintSession &session, PaintButton button, QPoint p) override;
    void move(PaintSession &session, unsigned buttons, QPoint p) override;
    void release(PaintSession &session, PaintButton button, QPoint p) override;

protected:
    // Draws the shape between Start and End on the drawing.
    virtual void draw(PaintSession &session, bool preview) = 0;
    virtual const char *actionName() const = 0;
};

class LineTool final : public DragShapeTool
{
protected:
    void draw(PaintSession &session, bool preview) override;
    const char *actionName() const override { return "ライン"; }
};

class RectangleTool final : public DragShapeTool
{
protected:
    void draw(PaintSession &session, bool preview) override;
    const char *actionName() const override { return "四角"; }
};

class EllipseTool final : public DragShapeTool
{
protected:
    void draw(PaintSession &session, bool preview) override;
    const char *actionName() const override { return "丸"; }
};

} // namespace jhk
