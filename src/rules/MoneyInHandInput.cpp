#include "rules/MoneyInHandInput.h"

#include "engine/Engine.h"
#include "rules/UserDialogs.h"

#include <string>

namespace jhk {

void askMoneyInHand(UserDialogs &ui, Engine &engine, std::function<void()> done, const std::string &kept)
{
    ui.inputText(msg::MoneyPrompt, kept, [&ui, &engine, done](std::optional<std::string> answer) {
        if (!answer)
            engine.setMoneyInHand(std::string());
        else if (!engine.setMoneyInHand(*answer)) {
            askMoneyInHand(ui, engine, done, *answer);
            return;
        }
        if (done)
            done();
    });
}

} // namespace jhk
