#include "rules/QuitPrompt.h"

#include "model/AppState.h"
#include "rules/StageTexts.h"
#include "rules/UserDialogs.h"

namespace jhk {

void confirmQuit(const AppState &app, UserDialogs &dialogs, QuitActions &actions, std::function<void(bool)> decided)
{
    const auto decide = [&actions, decided](bool quit) {
        if (quit)
            actions.closePaintTool();
        decided(quit);
    };
    // Labels are the pupil's work as much as parts are.
    if (app.PartsCount < 1 && app.LabelCount < 1) {
        dialogs.ask(QuitQuestion, MessageButtons::OkCancel, MessageIcon::Question,
                    [decide](Answer a) { decide(a == Answer::Ok); });
        return;
    }
    dialogs.ask(QuitSaveQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                [&app, &actions, decide](Answer a) {
                    switch (a) {
                    case Answer::No:
                        decide(true);
                        return;
                    case Answer::Yes:
                        if (app.RunMode != ModeEditing)
                            actions.stopRun();
                        actions.handOverPaintDrawing();
                        actions.saveWithDialog(decide);
                        return;
                    default:
                        decide(false);
                    }
                });
}

} // namespace jhk
