#pragma once

#include <array>
#include <string_view>

namespace jhk {

// The speeds of a normal run the run view offers: how long each block stays highlighted
// before the next one runs. "ふつう" runs at full speed.
struct RunSpeed {
    std::string_view caption;
    int blockDelayMs;
};

inline constexpr std::array<RunSpeed, 4> RunSpeeds = {{
    {"ふつう", 0},
    {"0.2秒", 200},
    {"0.5秒", 500},
    {"1秒", 1000},
}};

} // namespace jhk
