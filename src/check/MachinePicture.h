#pragma once

#include "check/ClassCheck.h"

#include <string>
#include <vector>

namespace jhk {

// The picture the print command prints for the machine at `path` (background, parts, their
// numbers, the header and the labels), cut to what is drawn, as PNG bytes; "" when the
// machine cannot be opened. Needs a QGuiApplication and runs on its thread.
std::string machinePicturePng(const std::string &appDir, const std::string &path);

// The pictures of every machine of a check, in its order.
std::vector<std::string> machinePictures(const std::string &appDir, const std::vector<MachineResult> &results);

} // namespace jhk
