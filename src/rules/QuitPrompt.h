#pragma once

#include <functional>

namespace jhk {

struct AppState;
class UserDialogs;

// What quitting may have to do before the program ends.
class QuitActions {
public:
    virtual ~QuitActions() = default;
    // The paint tool, when open, hands its drawing to its part (staying open), so that the
    // save made from the quit prompt keeps it.
    virtual void handOverPaintDrawing() = 0;
    // The program really ends: the paint tool closes without asking anything.
    virtual void closePaintTool() = 0;
    // Stops a run in progress.
    virtual void stopRun() = 0;
    // The save command with its dialog; `saved` gets false when cancelled or when saving failed.
    virtual void saveWithDialog(std::function<void(bool)> saved) = 0;
};

// The question asked when the main window closes; `decided` gets true when the program may
// end. With nothing on the stage it asks OK/Cancel; with parts or labels Yes/No/Cancel, where
// Yes saves first (stopping a run and taking the paint tool's drawing first) and the program
// stays open when that save is cancelled or fails. The paint tool is closed only when the
// program ends, so a cancelled quit keeps the drawing in it.
void confirmQuit(const AppState &app, UserDialogs &dialogs, QuitActions &actions, std::function<void(bool)> decided);

} // namespace jhk
