#pragma once

#include <optional>
#include <string>

namespace jhk {

// A command's usage in both languages it speaks.
struct Usage {
    const char *english;
    const char *japanese;
};

// True when the system's language asks for Japanese messages: the first of LC_ALL,
// LC_MESSAGES and LANG that is set starts with "ja".
bool japaneseMessages();
// The usage in the system's language.
const char *usageText(const Usage &usage);

// "--help" or "--version" among the arguments: prints the usage or "PROGRAM VERSION" on
// standard output and returns 0 (the exit status); otherwise nothing.
std::optional<int> answerHelpOrVersion(int argc, char *argv[], const char *program, const Usage &usage,
                                       const char *version);

// A wrong command line: "PROGRAM: WHAT" and the usage on standard error; returns 2.
int usageError(const char *program, const Usage &usage, const std::string &what = std::string());

} // namespace jhk
