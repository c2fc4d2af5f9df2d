#pragma once

namespace jhk {

struct AppState;

// Enabled state of the File menu's items.
struct FileMenuState {
    bool open = true;
    bool save = false;
    bool print = true;
};

// The File menu each time it opens: printing only while editing; saving while editing when
// the stage holds a part or a label. Open and save are switched by the run buttons.
FileMenuState fileMenuOnOpen(const AppState &app, FileMenuState current);

} // namespace jhk
