#pragma once

#include <span>
#include <string>

namespace jhk {

// One option of a command-line program, as its --help text and its manual page describe it.
// Each program keeps one table of these, so that the two cannot tell different stories.
struct OptionDoc {
    const char *name;     // "--csv"
    const char *value;    // "FILE", or "" for a switch
    const char *valueJa;  // the value's name in the Japanese usage; nullptr: the same as value
    const char *english;  // one line for --help and the manual page
    const char *japanese; // one line for the Japanese --help
};

// The options part of --help: one line an option, the texts in a column; where an option's
// values are long, each text on a line of its own under its option.
std::string optionHelp(std::span<const OptionDoc> options, bool japanese);

// The options part of a manual page (roff): a tagged paragraph an option.
std::string optionManPage(std::span<const OptionDoc> options);

// A manual page's template with its line "@OPTIONS@" replaced by optionManPage(options).
std::string fillManPage(const std::string &manTemplate, std::span<const OptionDoc> options);

} // namespace jhk
