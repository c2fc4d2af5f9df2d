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

bool raiseLevel(AppState &app, int chosenLevel, UserDialogs &dialogs, const std::function<void()> &raised)
{
    if (chosenLevel == 1 || app.Level == 3 || chosenLevel <= app.Level)
        return false;
    if (dialogs.ask(LevelChangeQuestion, MessageButtons::YesNo, MessageIcon::Exclamation) != Answer::Yes)
        return false;
    app.Level = static_cast<std::uint8_t>(chosenLevel);
    if (raised)
        raised();
    dialogs.message(levelChangedMessage(chosenLevel));
    return true;
}

} // namespace jhk
