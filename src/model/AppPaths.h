#pragma once

#include <string>

namespace jhk {

// The application folder: the folder of the running program file.
std::string applicationFolder();

// Turns a stored path such as "\bg\kan_1.bmp" or "\BG\BG0.BMP" into a file inside `folder`,
// matching each name without regard to case. A path that climbs out of the folder ("..") or
// is absolute is refused. Returns "" when no such file exists.
std::string resolveInFolder(const std::string &folder, const std::string &storedPath);

} // namespace jhk
