#pragma once

#include <optional>
#include <string>

namespace jhk {

// The number a pupil typed into a field: an optional sign, digits with an optional decimal
// point and exponent, spaces around it; full-width digits, signs and points count as their
// half-width forms. Nothing for any other text.
std::optional<double> parseNumberText(const std::string &text);

} // namespace jhk
