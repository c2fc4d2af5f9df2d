#pragma once

#include <functional>
#include <string>

namespace jhk {

struct AppState;
class UserDialogs;

// The start window's choices: level 1..3 and background 0..4.
struct StartChoice {
    int level = 1;
    int background = 0;

    // "\BG\BG0.BMP" for the first background, "\BG\BG3.bmp" for the others.
    std::string backPictName() const;
    // Sets Level, Step and BackPictName for the main window.
    void apply(AppState &app) const;
};

// The environment settings' "決定": the level can only be raised, after a question.
// Calls `raised` once the level has changed (to update the main window), then tells the
// pupil; `done` comes once the question (if any) has been answered, with whether the level
// changed.
void raiseLevel(AppState &app, int chosenLevel, UserDialogs &dialogs, std::function<void()> raised,
                std::function<void(bool)> done = {});

// Whether the settings window offers option `level` (lower levels are disabled).
inline bool levelOptionEnabled(int currentLevel, int level) { return level >= currentLevel; }

} // namespace jhk
