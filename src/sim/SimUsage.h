#pragma once

#include "model/OptionTable.h"

#include <span>
#include <string>

namespace jhk {

// The simulator's options, for --help and the manual page.
std::span<const OptionDoc> simOptions();

// The usage text of jihankobo-sim's --help.
std::string simUsage(bool japanese);

} // namespace jhk
