#include "rules/MoneyInHandInput.h"

#include "engine/Engine.h"
#include "rules/UserDialogs.h"

#include <string>

namespace jhk {

void askMoneyInHand(UserDialogs &ui, Engine &engine)
{
    std::string kept;
    for (;;) {
        const auto answer = ui.inputText(msg::MoneyPrompt, kept);
        if (!answer) {
            engine.setMoneyInHand(std::string());
            return;
        }
        if (engine.setMoneyInHand(*answer))
            return;
        kept = *answer;
    }
}

} // namespace jhk
