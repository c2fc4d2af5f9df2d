#pragma once

#include <string_view>

namespace jhk {

// The order in which every command lists the machines of a folder: letters without regard to
// case, runs of digits by their value (so "pupil2" comes before "pupil10"), whatever the
// system's locale. Names are UTF-8; characters other than ASCII letters and digits compare by
// their code points. Names that differ only in case or leading zeros still have an order.
bool namedBefore(std::string_view a, std::string_view b);

} // namespace jhk
