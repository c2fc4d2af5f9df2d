#include "rules/QuitPrompt.h"

#include "model/AppState.h"
#include "rules/StageTexts.h"
#include "rules/UserDialogs.h"

namespace jhk {

namespace {

bool decide(const AppState &app, UserDialogs &dialogs, QuitActions &actions)
{
    // Labels are the pupil's work as much as parts are.
    if (app.PartsCount < 1 && app.LabelCount < 1)
        return dialogs.ask(QuitQuestion, MessageButtons::OkCancel, MessageIcon::Question) == Answer::Ok;

    switch (dialogs.ask(QuitSaveQuestion, MessageButtons::YesNoCancel, MessageIcon::Question)) {
    case Answer::No:
        return true;
    case Answer::Yes:
        if (app.RunMode != ModeEditing)
            actions.stopRun();
        actions.handOverPaintDrawing();
        return actions.saveWithDialog();
    default:
        return false;
    }
}

} // namespace

bool confirmQuit(const AppState &app, UserDialogs &dialogs, QuitActions &actions)
{
    if (!decide(app, dialogs, actions))
        return false;
    actions.closePaintTool();
    return true;
}

} // namespace jhk
