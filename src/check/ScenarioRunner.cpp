#include "check/ScenarioRunner.h"

#include "check/Findings.h"
#include "check/MachineUnderTest.h"

#include <algorithm>

namespace jhk {

namespace {

CheckOutcome failure(int line, const std::string &text)
{
    return {false, atLine(line, text)};
}

// Checks one expectation; the text of the failure, or "" when it holds.
std::string check(MachineUnderTest &m, const Expectation &e, std::vector<std::string> &window)
{
    std::string missing;
    auto slotOf = [&](int kind) { return m.resolve(e.part, kind, missing); };
    auto name = [&](int slot) { return m.partName(slot); };
    switch (e.kind) {
    case ExpectKind::Message: {
        const auto it = std::find(window.begin(), window.end(), e.text);
        if (it == window.end())
            return disagreement(MessageWhat, quoted(e.text), messagesWord(window));
        window.erase(it);
        return {};
    }
    case ExpectKind::NoMessage:
        return window.empty() ? std::string() : disagreement(MessageWhat, "なし", messagesWord(window));
    case ExpectKind::Lamp: {
        const auto slot = slotOf(KindButton);
        if (!slot)
            return missing;
        const Lamp seen = m.lamp(*slot);
        if (seen == e.lamp)
            return {};
        return disagreement(lampWhat(name(*slot)), LampWords[static_cast<int>(e.lamp)], LampWords[static_cast<int>(seen)]);
    }
    case ExpectKind::Display: {
        const auto slot = slotOf(KindCounter);
        if (!slot)
            return missing;
        const std::string seen = m.display(*slot);
        return seen == e.text ? std::string() : disagreement(displayWhat(name(*slot)), displayWord(e.text), displayWord(seen));
    }
    case ExpectKind::Products: {
        if (e.part.written.empty())
            return m.products() == e.value
                ? std::string()
                : disagreement(ProductsWhat, std::to_string(e.value), std::to_string(m.products()));
        const auto slot = slotOf(KindProductOutlet);
        if (!slot)
            return missing;
        const int seen = m.products(*slot);
        if (seen == e.value)
            return {};
        const std::string stray = m.strayProducts(*slot);
        return disagreement(productsOnWhat(name(*slot)), std::to_string(e.value), std::to_string(seen))
            + (stray.empty() ? "" : " (" + stray + ")");
    }
    case ExpectKind::Stock: {
        const auto slot = slotOf(KindProduct);
        if (!slot)
            return missing;
        const int seen = m.stock(*slot);
        return seen == e.value ? std::string() : disagreement(stockWhat(name(*slot)), std::to_string(e.value), std::to_string(seen));
    }
    case ExpectKind::Money:
        return m.money() == e.value ? std::string()
                                    : disagreement(MoneyWhat, std::to_string(e.value), std::to_string(m.money()));
    case ExpectKind::Coins: {
        const int seen = m.coins(e.coin);
        return seen == e.value ? std::string()
                               : disagreement(walletWhat(e.coin), std::to_string(e.value), std::to_string(seen));
    }
    }
    return {};
}

} // namespace

CheckOutcome runScenario(const Scenario &scenario, const std::string &appDir, const std::string &path)
{
    MachineUnderTest m(appDir, path);
    if (!m.open())
        return {false, m.openMessage()};

    std::vector<std::string> window;
    bool inExpectations = false;
    for (const ScenarioStep &step : scenario.steps) {
        if (!step.isExpectation) {
            inExpectations = false;
            SimCommand command = step.command;
            if (command.op == SimOp::Touch && step.touched.role) {
                std::string missing;
                const auto slot = m.resolve(step.touched, -1, missing);
                if (!slot)
                    return failure(step.line, missing);
                command.number = *slot;
            }
            m.play(command);
            continue;
        }
        if (!inExpectations) {
            window = m.takeMessages();
            inExpectations = true;
        }
        const std::string failed = check(m, step.expect, window);
        if (!failed.empty())
            return failure(step.line, failed);
    }
    return {};
}

} // namespace jhk
