#pragma once

#include "paint/PaintState.h"

#include <QPoint>

namespace jhk {

class PaintSession;

// One drawing tool. The session runs the steps every press, move and release share (the
// undo and base copies, the held button) and hands the tool its own part.
class Tool
{
public:
    virtual ~Tool() = default;

    // What a press does to the surfaces before anything else: most tools keep the drawing
    // as the undo copy.
    virtual void prepare(PaintSession &session, PaintButton button);
    // Whether the release makes the drawing the new base copy.
    virtual bool refreshesBaseOnRelease() const { return false; }

    virtual void press(PaintSession &session, PaintButton button, QPoint p) = 0;
    // `buttons`: every button down, as a mask of PaintButton values (never 0 here);
    // `p` is already clamped to the drawing.
    virtual void move(PaintSession &, unsigned /*buttons*/, QPoint /*p*/) {}
    // `p` is already clamped to the drawing.
    virtual void release(PaintSession &, PaintButton, QPoint /*p*/) {}
};

} // namespace jhk
