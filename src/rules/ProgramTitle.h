#pragma once

#include <string_view>

namespace jhk {

// The caption of the start window and of every message box.
inline constexpr std::string_view ProgramTitle = "ジハンコウボウ";

} // namespace jhk
