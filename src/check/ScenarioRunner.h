#pragma once

#include "check/Scenario.h"

#include <string>

namespace jhk {

// The result of one check of one machine: a scenario or the model answer.
struct CheckOutcome {
    bool passed = true;
    std::string failure; // in words, when not passed
};

// Plays a scenario on the machine at `path`, opened afresh, and checks its expectations.
// It fails at the first expectation that does not hold, at a role the machine lacks, or when
// the machine cannot be opened (with the reader's message).
//
// `expect message` and `expect no message` look at the messages shown since the previous
// expect line: consecutive expect lines share the messages of the actions before them, each
// `expect message` takes one message with its text, and `expect no message` holds when no
// message is left untaken.
CheckOutcome runScenario(const Scenario &scenario, const std::string &appDir, const std::string &path);

} // namespace jhk
