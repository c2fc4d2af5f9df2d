#include "rules/CaptionLines.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace jhk {

namespace {

constexpr int SmallestPixels = 7;
// A single line may shrink this many pixels below the largest size before two lines are tried.
constexpr int SingleLineShrink = 2;

// The caption's characters: each one's code point and where it starts in the UTF-8 text.
struct Character {
    char32_t code;
    std::size_t at;
};

std::vector<Character> characters(std::string_view text)
{
    std::vector<Character> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
        char32_t code = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        std::size_t n = 1;
        for (; n < static_cast<std::size_t>(length) && i + n < text.size(); ++n) {
            const auto c = static_cast<unsigned char>(text[i + n]);
            if ((c & 0xC0) != 0x80)
                break;
            code = code << 6 | (c & 0x3F);
        }
        out.push_back({n == static_cast<std::size_t>(length) ? code : b, i});
        i += n;
    }
    return out;
}

bool oneOf(char32_t c, std::string_view set)
{
    for (const Character &s : characters(set))
        if (s.code == c)
            return true;
    return false;
}

enum class CharClass { Digit, Latin, Hiragana, Katakana, Kanji, Other };

CharClass classOf(char32_t u)
{
    if ((u >= U'0' && u <= U'9') || (u >= 0xFF10 && u <= 0xFF19))
        return CharClass::Digit;
    if (u < 0x80 || (u >= 0xFF21 && u <= 0xFF5A))
        return CharClass::Latin;
    if (u >= 0x3041 && u <= 0x309F)
        return CharClass::Hiragana;
    if ((u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F))
        return CharClass::Katakana;
    if ((u >= 0x4E00 && u <= 0x9FFF) || u == 0x3005)
        return CharClass::Kanji;
    return CharClass::Other;
}

// Characters that never start a line: the long-vowel mark, small kana, closing brackets and stops.
bool cannotStartLine(char32_t c)
{
    return oneOf(c, "ーァィゥェォッャュョヮぁぃぅぇぉっゃゅょゎ）)」』】、。，．・");
}

// Characters that never end a line: opening brackets.
bool cannotEndLine(char32_t c)
{
    return oneOf(c, "（(「『【");
}

// The best place (a byte offset) to break the caption into two lines of at most `width`
// pixels, or 0. Breaks where the kind of characters changes come first, then the most even pair
// of lines.
std::size_t bestBreak(const std::string &caption, const std::vector<Character> &chars, int pixels,
                      const TextMeasure &measure, double width)
{
    std::size_t best = 0;
    bool bestAtBoundary = false;
    double bestWidest = std::numeric_limits<double>::max();
    for (std::size_t i = 1; i < chars.size(); ++i) {
        if (cannotStartLine(chars[i].code) || cannotEndLine(chars[i - 1].code))
            continue;
        const std::string_view text(caption);
        const double widest = std::max(measure.width(text.substr(0, chars[i].at), pixels),
                                       measure.width(text.substr(chars[i].at), pixels));
        if (widest > width)
            continue;
        const bool atBoundary = classOf(chars[i - 1].code) != classOf(chars[i].code);
        if ((atBoundary && !bestAtBoundary) || (atBoundary == bestAtBoundary && widest < bestWidest)) {
            best = chars[i].at;
            bestAtBoundary = atBoundary;
            bestWidest = widest;
        }
    }
    return best;
}

} // namespace

CaptionLines fitCaptionLines(const std::string &caption, double boxWidth, double boxHeight, int largestPixels,
                             const TextMeasure &measure)
{
    const int largest = std::max(SmallestPixels, largestPixels);
    for (int px = largest; px >= std::max(SmallestPixels, largest - SingleLineShrink); --px) {
        if (measure.width(caption, px) <= boxWidth)
            return {px, {caption}};
    }
    const std::vector<Character> chars = characters(caption);
    for (int px = largest; px >= SmallestPixels; --px) {
        if (2 * px > boxHeight)
            continue;
        const std::size_t at = bestBreak(caption, chars, px, measure, boxWidth);
        if (at > 0)
            return {px, {caption.substr(0, at), caption.substr(at)}};
    }
    for (int px = largest; px > SmallestPixels; --px) {
        if (measure.width(caption, px) <= boxWidth)
            return {px, {caption}};
    }
    return {SmallestPixels, {caption}};
}

} // namespace jhk
