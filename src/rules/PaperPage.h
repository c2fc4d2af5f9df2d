#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jhk {

// What a printed page shows, laid out once for every face: the desktop draws it with its
// painter on a printer or a PDF, the page draws it into the browser's print. Positions are
// pixels of the page's device, y downwards.

struct PaperPoint {
    double x = 0;
    double y = 0;
    bool operator==(const PaperPoint &) const = default;
};

struct PaperRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;

    double right() const { return x + w; }
    double bottom() const { return y + h; }
    PaperPoint centre() const { return {x + w / 2, y + h / 2}; }
    PaperRect adjusted(double dx1, double dy1, double dx2, double dy2) const
    {
        return {x + dx1, y + dy1, w - dx1 + dx2, h - dy1 + dy2};
    }
    // Overlap with some area in common; rectangles that only touch do not intersect.
    bool intersects(const PaperRect &o) const
    {
        return w > 0 && h > 0 && o.w > 0 && o.h > 0 && x < o.right() && o.x < right() && y < o.bottom()
            && o.y < bottom();
    }
    // Edges included.
    bool contains(const PaperPoint &p) const { return p.x >= x && p.x <= right() && p.y >= y && p.y <= bottom(); }
    bool contains(const PaperRect &o) const
    {
        return o.x >= x && o.right() <= right() && o.y >= y && o.bottom() <= bottom();
    }
    bool operator==(const PaperRect &) const = default;
};

struct PaperSegment {
    PaperPoint p1;
    PaperPoint p2;

    double dx() const { return p2.x - p1.x; }
    double dy() const { return p2.y - p1.y; }
    PaperPoint pointAt(double t) const { return {p1.x + dx() * t, p1.y + dy() * t}; }
    // Whether the two segments cross or touch (parallel ones never do).
    bool crosses(const PaperSegment &o) const;
};

// A font on paper: `family` "" is the face's own font for the program's texts.
struct PaperFont {
    std::string family;
    int pixels = 12;
    bool bold = false;
    bool operator==(const PaperFont &) const = default;
};

// The face's fonts as they print on the page's device.
class PaperMeasure {
public:
    struct Metrics {
        double ascent = 0;
        double height = 0; // ascent and descent
    };
    // The ink of a text: from `left` to `right` of its starting point.
    struct Ink {
        double left = 0;
        double right = 0;
    };
    virtual ~PaperMeasure() = default;
    // How far `text` (UTF-8) moves the pen.
    virtual double advance(std::string_view text, const PaperFont &font) const = 0;
    virtual Metrics metrics(const PaperFont &font) const = 0;
    virtual Ink ink(std::string_view text, const PaperFont &font) const = 0;
};

// One thing drawn on a page, in the order the page lists them.
struct PaperItem {
    enum class Kind {
        Picture, // `picture` (a stored picture path; `slot` the part, -1 the background) with its top-left
                 // corner at rect.x, rect.y, each of its pixels rect.w × rect.h device pixels
        Fill,    // rect filled with `colour`
        Text,    // `text` in `font` and `colour`, its baseline starting at `at`; `opaque`: on a white rect
        Line,    // from `at` to `to`, `pen` wide
        Box,     // rect outlined with a `pen` wide line and filled white
        Oval,    // the ellipse in rect, likewise
        Decision, // rect with pointed ends `tip` deep, likewise
        Clip,    // what follows is drawn only within rect, until Unclip
        Unclip,
    };
    Kind kind = Kind::Text;
    PaperRect rect;
    PaperPoint at;
    PaperPoint to;
    std::string text;
    PaperFont font;
    std::uint32_t colour = 0; // 0xRRGGBB
    bool opaque = false;
    double pen = 1;
    double tip = 0;
    std::string picture;
    int slot = -1;
};

// A page of `width` × `height` device pixels.
struct PaperPage {
    double width = 0;
    double height = 0;
    std::vector<PaperItem> items;
};

// A colour of the machine's colour table (0x00BBGGRR, or the system's menu colour) as 0xRRGGBB.
std::uint32_t rgbFromTable(std::int32_t bgr);

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t utf8Length(char lead);

} // namespace jhk
