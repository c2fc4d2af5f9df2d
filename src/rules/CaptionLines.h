#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jhk {

// The face's fonts, for fitting a caption: how wide a text is at a pixel size.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The width in pixels of `text` (UTF-8) in the caption's font at `pixels` pixels.
    virtual double width(std::string_view text, int pixels) const = 0;
};

// A caption laid out to fit a box: the pixel size to draw it at and its one or two lines.
struct CaptionLines {
    int pixels = 0;
    std::vector<std::string> lines;
    bool operator==(const CaptionLines &) const = default;
};

// Fits a caption (UTF-8) into a box of the given size without cutting any of it off: on one line
// at the largest pixel size that fits (down to a little smaller than `largestPixels`), else broken
// into two lines (preferably where the kind of characters changes, as between "購買可" and
// "ランプ点灯"; never before a long-vowel mark, small kana, closing bracket or stop, nor after an
// opening bracket), else on one line in the smallest font.
CaptionLines fitCaptionLines(const std::string &caption, double boxWidth, double boxHeight, int largestPixels,
                             const TextMeasure &measure);

} // namespace jhk
