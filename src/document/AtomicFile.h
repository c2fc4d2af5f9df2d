#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace jhk {

// Replaces the file at `path` by `bytes` in one step: the bytes go to a new file in the same
// folder, reach the disk, and only then take the old file's place. Returns an empty text on
// success, otherwise the reason in words for the pupil; the old file is then untouched.
//
// A name that is a symbolic link is followed: the file it leads to is replaced in its own
// folder and the link stays a link. A name that stands for anything but a plain file (a
// folder, a pipe, a device) is refused and left alone.
//
// The new file has no name while it is written, where the system allows that; it is named
// only for the moment before it takes the old file's place. A program killed in that moment
// (or, without nameless files, while writing) leaves a hidden file whose name begins with
// `AbandonedFilePrefix`; the next save into that folder removes it once no running save
// holds it.
std::string writeFileAtomically(const std::string &path, std::span<const std::uint8_t> bytes);

inline constexpr std::string_view AbandonedFilePrefix = ".jhk-save-";

} // namespace jhk
