#pragma once

#include <cstdint>
#include <limits>

namespace jhk {

// The program's numbers are 16-bit. Sums that leave the range stay at its edge instead of
// wrapping round, so a runaway counter never turns into a large negative amount.
constexpr std::int16_t clamp16(long long v)
{
    if (v < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (v > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(v);
}

constexpr std::int16_t add16(std::int16_t a, long long b) { return clamp16(static_cast<long long>(a) + b); }
constexpr std::int16_t sub16(std::int16_t a, long long b) { return clamp16(static_cast<long long>(a) - b); }
constexpr std::int16_t mul16(long long a, long long b) { return clamp16(a * b); }

// Rounds to the nearest whole number, halves to the even neighbour.
long long roundHalfEven(double v);

} // namespace jhk
