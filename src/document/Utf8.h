#pragma once

// UTF-8 sequences to code points and back (the codec of code page 932, its generator and its
// tests share them).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace jhk {

// Appends the UTF-8 sequence of the code point `c` (at most 0x10FFFF).
inline void appendUtf8(std::string &out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline std::string utf8Of(std::uint32_t c)
{
    std::string s;
    appendUtf8(s, c);
    return s;
}

// The code point of the well-formed UTF-8 sequence at `at` (< s.size()) and its length, or
// nothing (a stray byte, a cut sequence, an overlong form, a surrogate, past 0x10FFFF).
inline std::optional<std::pair<std::uint32_t, std::size_t>> codePointAt(std::string_view s, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])); };
    const std::uint32_t lead = byte(at);
    if (lead < 0x80)
        return std::pair{lead, std::size_t{1}};
    const std::size_t len = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || at + len > s.size())
        return std::nullopt;
    std::uint32_t c = lead & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return std::nullopt;
        c = c << 6 | (byte(at + i) & 0x3F);
    }
    static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    return std::pair{c, len};
}

} // namespace jhk
