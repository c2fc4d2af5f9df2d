#pragma once

#include "document/RecoveryStore.h"
#include "document/UndoHistory.h"
#include "rules/StageEditor.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jhk {

// What the window rules ask of the face that shows the machine (the desktop's main window, a
// page): the pictures it keeps beside the tables, its panels and its own dialogs. The face
// holds no rule: it shows what it is told and forwards what the pupil does.
class WindowFace {
public:
    virtual ~WindowFace() = default;

    // --- The pictures drawn in the paint tool, kept by the face beside the tables ----------
    // A key that changes whenever they do, and the pictures themselves, to be given back by
    // restorePaintedState when the history goes back to this state.
    virtual UndoExtra paintedState() const = 0;
    virtual void restorePaintedState(const std::shared_ptr<const void> &state) = 0;
    // Shows the drawings on the parts that exist (after the stage was rebuilt).
    virtual void showPaintedPictures() = 0;
    // A part given another picture loses its drawing.
    virtual void forgetPaintedPicture(int slot) = 0;
    // Reads the drawings saved beside an opened document; a message when some cannot be read.
    virtual std::optional<std::string> loadPicturesBeside(const std::string &documentPath) = 0;
    // Writes the drawings beside a document about to be saved and names them in the tables;
    // the message when they cannot be written.
    virtual std::optional<std::string> savePicturesBeside(const std::string &documentPath) = 0;
    // The drawings as bitmaps, for a recovery copy.
    virtual std::vector<RecoveryPicture> paintedBitmaps() const = 0;

    // --- Panels -------------------------------------------------------------------------
    // The level panel and the step menu follow the machine's level.
    virtual void showLevel() = 0;
    // `step` is the step chosen in the step menu and explained below the level.
    virtual void showStep(int step) = 0;
    // Everything shown follows the tables and the stage.
    virtual void refresh() = 0;
    // The keyboard comes back to the stage window after a dialog.
    virtual void takeKeyboard() = 0;

    // --- The face's own windows ---------------------------------------------------------
    // The part property dialog for `slot`: `shownPicture` is what a part already on the stage
    // shows, empty for a part just dropped. `closed` gets how it was closed and whether the
    // pupil picked another picture; on "編集" the paint tool is open by then.
    virtual void showPropertyDialog(int slot, const std::string &shownPicture,
                                    std::function<void(PropertyOutcome, bool pictureChanged)> closed) = 0;
    // The paint tool, when open, hands its drawing to its part and stays open.
    virtual void handOverPaintDrawing() = 0;
    // The program ends: the paint tool closes without asking anything.
    virtual void closePaintTool() = 0;
    // Lends `use` a new empty folder for the time of the call (nullptr when none can be made).
    virtual void withTemporaryFolder(const std::function<void(const std::string *folder)> &use) = 0;
};

} // namespace jhk
