#pragma once

namespace jhk {

struct AppState;
class UserDialogs;

// What quitting may have to do before the program ends.
class QuitActions {
public:
    virtual ~QuitActions() = default;
    virtual void closePaintTool() = 0;
    // Stops a run in progress.
    virtual void stopRun() = 0;
    // The save command with its dialog; false when cancelled or when saving failed.
    virtual bool saveWithDialog() = 0;
};

// The question asked when the main window closes. Returns true when the program may end.
// Without parts it asks OK/Cancel; with parts Yes/No/Cancel, where Yes saves first (stopping
// a run first) and the program stays open when that save is cancelled or fails.
bool confirmQuit(const AppState &app, UserDialogs &dialogs, QuitActions &actions);

} // namespace jhk
