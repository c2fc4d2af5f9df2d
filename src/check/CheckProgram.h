#pragma once

#include "check/ClassCheck.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace jhk {

// Draws the printed picture of each machine as PNG bytes ("" where there is none); the
// class checker's program supplies it when it can draw (it needs Qt), the core leaves it out.
using MachinePictures = std::function<std::vector<std::string>(const std::string &appDir,
                                                               const std::vector<MachineResult> &results)>;

struct CheckProgramIo {
    CheckProgramIo(std::ostream &out, std::ostream &err) : out(out), err(err) {}

    std::ostream &out;
    std::ostream &err;
    bool errIsTerminal = false; // a progress bar is drawn on it (unless --quiet)
    std::string version;
    MachinePictures pictures;
    Language language = Language::English;
    std::string now; // date and time of the check for the page
    std::string appDir; // the application folder when the command line names none
};

// jihankobo-check: reads the command line and the scenarios, checks every machine and writes
// the terminal lines, the CSV, the page and the divergence scenarios. Returns the exit
// status: 0 all passed, 1 a check failed or a machine could not be opened, 2 a bad command line
// or scenario (nothing runs) or a report that could not be written.
int runCheckProgram(const std::vector<std::string> &args, CheckProgramIo &io);

} // namespace jhk
