#include "stage/QuitPrompt.h"

#include "model/AppState.h"
#include "stage/StageTexts.h"
#include "ui/UserDialogs.h"

namespace jhk {

bool confirmQuit(const AppState &app, UserDialogs &dialogs, QuitActions &actions)
{
    if (app.PartsCount < 1)
        return dialogs.ask(QuitQuestion, MessageButtons::OkCancel, MessageIcon::Question) == Answer::Ok;

    actions.closePaintTool();
    switch (dialogs.ask(QuitSaveQuestion, MessageButtons::YesNoCancel, MessageIcon::Question)) {
    case Answer::No:
        return true;
    case Answer::Yes:
        if (app.RunMode != ModeEditing)
            actions.stopRun();
        return actions.saveWithDialog();
    default:
        return false;
    }
}

} // namespace jhk
