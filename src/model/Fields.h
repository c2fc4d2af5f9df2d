#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jhk {

// Splits a text file of comma-separated fields, as jihan.ini and block.ini are written:
// fields end at a comma or a line end, spaces around a field are dropped, and a field in
// double quotes may hold commas ("" inside quotes stands for one quote).
std::vector<std::string> splitFields(std::string_view text);

// Reads a file of fields in UTF-8 (a leading byte-order mark is skipped). Returns no fields
// when the file cannot be read.
std::vector<std::string> readFieldFile(const std::string &path);

} // namespace jhk
