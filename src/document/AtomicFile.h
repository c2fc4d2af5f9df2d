#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace jhk {

// Replaces the file at `path` by `bytes` in one step: the bytes go to a new file in the same
// folder, reach the disk, and only then take the old file's place. Returns an empty text on
// success, otherwise the reason in words for the pupil; the old file is then untouched and
// no temporary file is left behind.
std::string writeFileAtomically(const std::string &path, std::span<const std::uint8_t> bytes);

} // namespace jhk
