#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace jhk {

// A block parameter: empty, a 16-bit integer or a text. Part numbers and numbers are
// integers, property names ("A", "B", "C") and comparison operators are texts.
class ParamValue {
public:
    ParamValue() = default;
    ParamValue(std::int16_t v) : m_value(v) {}
    ParamValue(int v) : m_value(static_cast<std::int16_t>(v)) {}
    ParamValue(std::string text) : m_value(std::move(text)) {}
    ParamValue(const char *text) : m_value(std::string(text)) {}

    static ParamValue empty() { return {}; }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isInt() const { return std::holds_alternative<std::int16_t>(m_value); }
    bool isText() const { return std::holds_alternative<std::string>(m_value); }

    std::int16_t intValue() const { return isInt() ? std::get<std::int16_t>(m_value) : 0; }
    // The text, "" for a number or an empty value.
    const std::string &textValue() const
    {
        const auto *text = std::get_if<std::string>(&m_value);
        return text ? *text : noText();
    }

    // The value taken as a number whatever its tag: an integer as it is, a text by its
    // leading decimal number (0 when it has none), empty as 0.
    std::int16_t toInt() const;
    // The value as the pupil reads it: an integer in decimal, a text as it is, empty as "".
    std::string toText() const;

    // True for a text equal to s (texts are compared exactly).
    bool isText(const std::string &s) const { return isText() && std::get<std::string>(m_value) == s; }
    // True for the integer -1, the mark of a parameter the pupil has not set.
    bool isUnset() const { return isInt() && intValue() == -1; }

    bool operator==(const ParamValue &) const = default;

private:
    static const std::string &noText();

    std::variant<std::monostate, std::int16_t, std::string> m_value;
};

} // namespace jhk
