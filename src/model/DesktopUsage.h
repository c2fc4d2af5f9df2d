#pragma once

#include "model/OptionTable.h"

#include <span>
#include <string>

namespace jhk {

// The desktop program's options, for its --help and its manual page.
std::span<const OptionDoc> desktopOptions();

// The usage text of jihankobo's --help (and of a wrong command line).
std::string desktopUsage(bool japanese);

} // namespace jhk
