#pragma once

#include <optional>
#include <string>

namespace jhk {

// The playing time of a WAVE file in milliseconds, from its header (data size ÷ byte rate),
// at most 10 seconds; nothing when the file cannot be read or is not a WAVE file.
std::optional<int> waveLengthMs(const std::string &path);

} // namespace jhk
