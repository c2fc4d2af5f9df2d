#pragma once

#include "paint/tools/Tool.h"

namespace jhk {

// Tools that act where the mouse is pressed rather than along a stroke.

class FillTool final : public Tool
{
public:
    bool refreshesBaseOnRelease() const override { return true; }
    void press(PaintSession &session, PaintButton button, QPoint p) override;
    // Keeps filling at the press point while the button is held; the result does not change.
    void move(PaintSession &session, unsigned buttons, QPoint p) override;
};

class TextTool final : public Tool
{
public:
    // Places the text box at the press; the text is drawn when the box is clicked.
    void press(PaintSession &session, PaintButton button, QPoint p) override;
};

class DropperTool final : public Tool
{
public:
    void press(PaintSession &session, PaintButton button, QPoint p) override;
    void move(PaintSession &session, unsigned buttons, QPoint p) override;
    void release(PaintSession &session, PaintButton button, QPoint p) override;

private:
    static void pick(PaintSession &session, QPoint p);
};

class ZoomTool final : public Tool
{
public:
    void press(PaintSession &session, PaintButton button, QPoint p) override;
};

// The select rectangle: a dotted black frame drawn over a copy of the picture. Nothing acts
// on the selected area; the frame goes with the next press of this tool or a change of tool.
class SelectTool final : public Tool
{
public:
    void prepare(PaintSession &session, PaintButton button) override;
    void press(PaintSession &session, PaintButton button, QPoint p) override;
    void move(PaintSession &session, unsigned buttons, QPoint p) override;
    void release(PaintSession &session, PaintButton button, QPoint p) override;

private:
    static void drawFrame(PaintSession &session);
};

} // namespace jhk
