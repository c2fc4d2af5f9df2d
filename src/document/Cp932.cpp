#include "document/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace jhk {

namespace {

// glibc's converter under the code page's own name: "SHIFT_JIS" differs from it on
// ～ － ∥ ① and on the backslash.
constexpr const char *CodePageName = "CP932";

// One converter per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (usable())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts all of `in`; on failure returns the offset of the byte where it stopped.
    bool convert(std::string_view in, std::string &out, std::size_t &failedAt)
    {
        failedAt = 0;
        if (!usable())
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.assign(in.size() * 3 + 8, '\0');
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char *dst = out.data();
        std::size_t dstLeft = out.size();
        while (srcLeft > 0) {
            if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG) {
                const std::size_t used = static_cast<std::size_t>(dst - out.data());
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            failedAt = static_cast<std::size_t>(src - in.data());
            return false;
        }
        // A sequence cut off at the end is held back by iconv instead of being reported.
        if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
            failedAt = in.size();
            return false;
        }
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return true;
    }

private:
    bool usable() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t m_cd;
};

Converter &encoder()
{
    thread_local Converter c(CodePageName, "UTF-8");
    return c;
}

Converter &decoder()
{
    thread_local Converter c("UTF-8", CodePageName);
    return c;
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

std::size_t utf8Length(unsigned char lead)
{
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
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
    std::size_t failedAt = 0;
    if (!encoder().convert(text, result.bytes, failedAt)) {
        result.bytes.clear();
        result.badCharacter = characterAt(text, failedAt);
        return result;
    }
    // Some characters have a one-way code that reads back as another character. Only a
    // text that reads back unchanged is kept, so a saved document shows what the pupil wrote.
    const std::optional<std::string> back = cp932ToUtf8(result.bytes);
    if (back && *back == text) {
        result.ok = true;
        return result;
    }
    std::string piece;
    for (std::size_t i = 0; i < text.size(); i += utf8Length(static_cast<unsigned char>(text[i]))) {
        const std::string ch = characterAt(text, i);
        std::size_t ignored = 0;
        if (!encoder().convert(ch, piece, ignored) || cp932ToUtf8(piece) != ch) {
            result.badCharacter = ch;
            break;
        }
    }
    result.bytes.clear();
    return result;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    std::size_t failedAt = 0;
    if (!decoder().convert(bytes, out, failedAt))
        return std::nullopt;
    return out;
}

} // namespace jhk
