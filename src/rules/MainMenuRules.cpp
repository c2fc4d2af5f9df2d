#include "rules/MainMenuRules.h"

#include "model/AppState.h"

namespace jhk {

FileMenuState fileMenuOnOpen(const AppState &app, FileMenuState current)
{
    if (app.RunMode != ModeEditing) {
        current.print = false;
        return current;
    }
    current.print = true;
    current.save = app.PartsCount > 0 || app.LabelCount > 0;
    return current;
}

} // namespace jhk
