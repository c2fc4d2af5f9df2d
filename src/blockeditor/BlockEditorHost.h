#pragma once

class QPixmap;

namespace jhk {

struct Machine;

// What the block editor needs from the stage window that opens it.
class BlockEditorHost {
public:
    virtual ~BlockEditorHost() = default;

    // The tables the editor works on, in place.
    virtual Machine &machine() = 0;

    // The picture the stage shows for part `part`, copied into the editor's part information.
    virtual QPixmap partPicture(int part) const = 0;

    // The editor has hidden itself so that the pupil can pick a part on the stage; RunMode is
    // already 3, 4 or 5 (operand 1, 2 or 4 of the selected block) or 9 (a move target). The
    // stage sends the next click on a part to the engine's picking (and for a conditional
    // branch shows the variable menu), then calls finishBlockEditorPick().
    virtual void beginStagePick() = 0;

    // The editor has closed (BlockEditorOpen is 0 again): resume the state label's blinking
    // and redraw the stage.
    virtual void blockEditorClosed() = 0;
};

} // namespace jhk
