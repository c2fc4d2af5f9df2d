#pragma once

#include "check/ModelAnswer.h"
#include "check/Scenario.h"
#include "check/ScenarioRunner.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace jhk {

struct MachineEntry {
    std::string path;
    std::string name; // how the report names it: the file name, or the path where names repeat
};

struct MachineList {
    std::vector<MachineEntry> machines;
    std::vector<std::string> emptyFolders; // folders given that hold no machine
};

// The machines of the command line: files as given, and the `*.jhk` files of each folder (not
// its subfolders, the extension in any letter case) sorted by name.
MachineList findMachines(const std::vector<std::string> &paths);

// The result of every check of one machine.
struct MachineResult {
    MachineEntry machine;
    bool opened = true;
    std::string openMessage;            // the reader's message when not opened
    std::vector<CheckOutcome> outcomes; // one per column of the report
    std::string diffScenario;           // model answer: a scenario replaying the divergence

    bool passed() const;
};

// The name of the report's only column when machines are checked against a model answer.
inline constexpr const char *ModelColumn = "模範解答";

struct ClassCheck {
    std::string appDir;
    std::vector<MachineEntry> machines;
    std::vector<Scenario> scenarios;    // the scenarios to play, or
    const ModelAnswer *model = nullptr; // the model answer to compare with
    int jobs = 1;

    // The columns of the report: the scenarios' names, or the model answer.
    std::vector<std::string> columns() const;
    // Checks every machine, `jobs` at a time on threads of their own (each machine on one
    // thread, with engines of its own). `finished` is called on the calling thread as each
    // machine is done, in the order they finish.
    std::vector<MachineResult> run(const std::function<void(std::size_t, const MachineResult &)> &finished = {}) const;
    // The checks of one machine.
    MachineResult checkMachine(const MachineEntry &machine) const;
};

// The first failure of a result in words, with its scenario's name when there are several
// columns; "" when it passed.
std::string firstFailure(const MachineResult &result, const std::vector<std::string> &columns);

} // namespace jhk
