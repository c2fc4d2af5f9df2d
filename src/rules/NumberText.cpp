#include "rules/NumberText.h"

#include <cctype>
#include <cstdlib>

namespace jhk {

namespace {

// Full-width forms typed with the Japanese input method, and their half-width equivalents.
struct Replacement {
    std::string_view from;
    char to;
};
constexpr Replacement FullWidth[] = {
    {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'}, {"４", '4'}, {"５", '5'}, {"６", '6'},
    {"７", '7'}, {"８", '8'}, {"９", '9'}, {"－", '-'}, {"＋", '+'}, {"．", '.'}, {"　", ' '},
    {"ｅ", 'e'}, {"Ｅ", 'E'},
};

std::string halfWidth(const std::string &text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        for (const Replacement &r : FullWidth) {
            if (text.compare(i, r.from.size(), r.from) == 0) {
                out += r.to;
                i += r.from.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

} // namespace

std::optional<double> parseNumberText(const std::string &text)
{
    std::string s = halfWidth(text);
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    s = s.substr(first, s.find_last_not_of(' ') - first + 1);

    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            ++j;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
        i = j;
    }
    if (i != s.size())
        return std::nullopt;
    return std::strtod(s.c_str(), nullptr);
}

} // namespace jhk
