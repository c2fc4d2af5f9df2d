#include "model/ParamValue.h"

#include "model/Int16.h"

#include <cmath>

namespace jhk {

long long roundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

const std::string &ParamValue::noText()
{
    static const std::string none;
    return none;
}

std::int16_t ParamValue::toInt() const
{
    if (isInt())
        return intValue();
    if (!isText())
        return 0;
    const std::string &s = std::get<std::string>(m_value);
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    long long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        v = v * 10 + (s[i] - '0');
        if (v > 100000)
            break;
        ++i;
    }
    return clamp16(negative ? -v : v);
}

std::string ParamValue::toText() const
{
    if (isInt())
        return std::to_string(intValue());
    return textValue();
}

} // namespace jhk
