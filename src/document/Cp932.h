#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jhk {

// Documents keep their texts in the Japanese Windows code page 932; the program works in UTF-8.

// Replaces the characters that look like ～ － ∥ ￥ but have no place in code page 932
// (〜 U+301C, − U+2212, ‖ U+2016, ¥ U+00A5) by those full-width forms.
std::string mapCp932Lookalikes(std::string_view utf8);

struct Cp932Encoding {
    bool ok = false;
    std::string bytes;        // the text in code page 932 when ok
    std::string badCharacter; // otherwise the first character that has no code (UTF-8), or
                              // empty when the text is not valid UTF-8
};

// Encodes a UTF-8 text (after mapping the lookalikes). A character without a code in the
// code page makes the whole text fail rather than turn into a question mark.
Cp932Encoding utf8ToCp932(std::string_view utf8);

// Decodes code page 932 bytes; nothing when they are not valid code page 932.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);

} // namespace jhk
