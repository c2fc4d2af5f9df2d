#include "rules/LevelChoice.h"

#include "model/AppState.h"
#include "rules/StageTexts.h"
#include "rules/UserDialogs.h"

namespace jhk {

std::string StartChoice::backPictName() const
{
    if (background == 0)
        return StartBackPictName;
    return "\\BG\\BG" + std::to_string(background) + ".bmp";
}

void StartChoice::apply(AppState &app) const
{
    app.Level = static_cast<std::uint8_t>(level);
    app.Step = 1;
    app.BackPictName = backPictName();
}

void raiseLevel(AppState &app, int chosenLevel, UserDialogs &dialogs, std::function<void()> raised,
                std::function<void(bool)> done)
{
    const auto finish = [done](bool changed) {
        if (done)
            done(changed);
    };
    if (chosenLevel == 1 || app.Level == 3 || chosenLevel <= app.Level) {
        finish(false);
        return;
    }
    dialogs.ask(LevelChangeQuestion, MessageButtons::YesNo, MessageIcon::Exclamation,
                [&app, chosenLevel, &dialogs, raised, finish](Answer a) {
                    if (a != Answer::Yes) {
                        finish(false);
                        return;
                    }
                    app.Level = static_cast<std::uint8_t>(chosenLevel);
                    if (raised)
                        raised();
                    dialogs.message(levelChangedMessage(chosenLevel));
                    finish(true);
                });
}

} // namespace jhk
