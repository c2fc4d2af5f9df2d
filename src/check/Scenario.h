#pragma once

#include "check/Language.h"
#include "check/Roles.h"
#include "sim/SimCommand.h"

#include <optional>
#include <string>
#include <vector>

namespace jhk {

// A part as a scenario names it: a role such as ボタン1, or a slot number.
struct PartRef {
    std::optional<Role> role;
    int slot = -1;
    std::string written; // as the scenario writes it, for the report
};

// The three states of a button's lamps a pupil can tell apart.
enum class Lamp { Buy, SoldOut, Off };
inline constexpr const char *LampWords[] = {"購入", "売切", "消灯"};
// What a blank amount display is written as.
inline constexpr const char *BlankDisplay = "空";

enum class ExpectKind { Message, NoMessage, Lamp, Display, Products, Stock, Money, Coins };

struct Expectation {
    ExpectKind kind = ExpectKind::NoMessage;
    PartRef part;     // lamp, display, stock, products on an outlet ("" written: every product)
    std::string text; // message TEXT (line breaks written as \n), display VALUE ("" = blank)
    Lamp lamp = Lamp::Off;
    int value = 0;    // products, stock, money, coins: the number
    int coin = 0;     // coins: the denomination index
};

// One line of a scenario: an action of the simulator's or an expectation.
struct ScenarioStep {
    int line = 0;
    bool isExpectation = false;
    SimCommand command;
    PartRef touched; // touch by role
    Expectation expect;
};

struct Scenario {
    std::string name;
    std::string file;
    int line = 0; // where it starts
    std::vector<ScenarioStep> steps;
};

// A line the checker cannot read; nothing is run when a scenario file has one.
struct ScenarioError {
    std::string file;
    int line = 0; // 0 for the whole file
    std::string text;
    std::string describe() const;
};

struct ScenarioParse {
    std::vector<Scenario> scenarios;
    std::optional<ScenarioError> error;
};

// Reads the scenarios of a file's text (UTF-8). Before the first `scenario NAME` line the
// scenario is named after the file (without its extension).
ScenarioParse parseScenarios(const std::string &text, const std::string &fileName, Language language);
// The same from a file on disk.
ScenarioParse readScenarioFile(const std::string &path, Language language);

// A button's lamp from its variables: A = 1 buy, else B = 1 sold out, else off.
Lamp lampOf(int a, int b);
// How the report writes an amount display: its digits, or 空 when it is blank.
std::string displayWord(const std::string &digits);

} // namespace jhk
