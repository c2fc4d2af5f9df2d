#include "document/Cp932.h"

#include "document/Cp932Table.h"
#include "document/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace jhk {

namespace {

// Looks `key` up in a table in order of its keys.
std::optional<std::uint16_t> lookUp(const Cp932Pair *table, std::size_t count, std::uint32_t key)
{
    const Cp932Pair *end = table + count;
    const Cp932Pair *found =
        std::lower_bound(table, end, key, [](const Cp932Pair &p, std::uint32_t k) { return p.key < k; });
    if (found == end || found->key != key)
        return std::nullopt;
    return found->value;
}

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The UTF-8 sequence starting at `at`, or empty when none starts there.
std::string characterAt(std::string_view s, std::size_t at)
{
    if (at >= s.size())
        return {};
    const auto lead = static_cast<unsigned char>(s[at]);
    const std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || at + len > s.size())
        return {};
    return std::string(s.substr(at, len));
}

} // namespace

std::string mapCp932Lookalikes(std::string_view utf8)
{
    struct Pair {
        std::string_view from, to;
    };
    static constexpr Pair pairs[] = {
        {"\u301C", "\uFF5E"}, // 〜 → ～
        {"\u2212", "\uFF0D"}, // − → －
        {"\u2016", "\u2225"}, // ‖ → ∥
        {"\u00A5", "\uFFE5"}, // ¥ → ￥
    };
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        bool mapped = false;
        for (const Pair &p : pairs) {
            if (utf8.substr(i, p.from.size()) == p.from) {
                out += p.to;
                i += p.from.size();
                mapped = true;
                break;
            }
        }
        if (!mapped)
            out += utf8[i++];
    }
    return out;
}

Cp932Encoding utf8ToCp932(std::string_view utf8)
{
    Cp932Encoding result;
    if (isAscii(utf8)) {
        result.ok = true;
        result.bytes = std::string(utf8);
        return result;
    }
    const std::string text = mapCp932Lookalikes(utf8);
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = codePointAt(text, i);
        const auto code = c ? lookUp(Cp932Encodes, Cp932EncodesCount, c->first) : std::nullopt;
        if (!code) {
            result.badCharacter = characterAt(text, i);
            return result;
        }
        if (*code > 0xFF)
            bytes += static_cast<char>(*code >> 8);
        bytes += static_cast<char>(*code & 0xFF);
        i += c->second;
    }
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (Cp932SingleBytes[lead] != 0xFFFF) {
            appendUtf8(out, Cp932SingleBytes[lead]);
            ++i;
            continue;
        }
        if (i + 1 == bytes.size())
            return std::nullopt;
        const auto code = static_cast<std::uint32_t>(lead << 8 | static_cast<unsigned char>(bytes[i + 1]));
        const auto c = lookUp(Cp932Decodes, Cp932DecodesCount, code);
        if (!c)
            return std::nullopt;
        appendUtf8(out, *c);
        i += 2;
    }
    return out;
}

} // namespace jhk
