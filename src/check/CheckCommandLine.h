#pragma once

#include "check/Language.h"
#include "model/OptionTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace jhk {

struct CheckOptions {
    std::string appDir;
    int jobs = 0; // 0: the number of cores
    std::string csvFile;
    std::string htmlFile;
    bool quiet = false;
    std::vector<std::string> scenarioFiles;
    std::string modelFile;
    int runs = 100;
    std::uint64_t seed = 1;
    std::string saveDiffsDir;
    std::vector<std::string> machines; // files and folders
};

struct CheckCommandLine {
    enum class Action { Check, Help, Version, Wrong };
    Action action = Action::Wrong;
    CheckOptions options;
    std::string error; // why the command line is wrong
    bool showUsage = true; // whether the usage helps with the error
};

// Reads the arguments after the program's name. A folder or a file ending in .jhk (any letter
// case) is a machine; any other file is a scenario file.
CheckCommandLine parseCheckCommandLine(const std::vector<std::string> &args, Language language);

// The options of the command line, for --help and the manual page.
std::span<const OptionDoc> checkOptions();

// The usage text of --help.
std::string checkUsage(Language language);

} // namespace jhk
