#pragma once

#include <cstdint>

namespace jhk {

// A rectangle on the flowchart canvas, twips, origin at the canvas's top-left corner.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    bool operator==(const TwipsRect &) const = default;
};

// The flowchart canvas: 353 × 441 pixels cut into 4 columns and 12 rows; the start box sits in
// the top-left cell and the end box 408 pixels down, both as large as a block box.
struct CanvasGeometry {
    static constexpr int WidthPx = 353;
    static constexpr int HeightPx = 441;
    static constexpr int Columns = 4;
    static constexpr int Rows = 12;
    static constexpr int BoxWidthPx = 73;
    static constexpr int BoxHeightPx = 25;
    static constexpr int EndBoxTopPx = 408;

    int twipsX = 15;
    int twipsY = 15;

    int width() const { return WidthPx * twipsX; }
    int height() const { return HeightPx * twipsY; }
    int columnWidth() const { return width() / Columns; }
    int rowHeight() const { return height() / Rows; }
    int boxWidth() const { return BoxWidthPx * twipsX; }
    int boxHeight() const { return BoxHeightPx * twipsY; }
    TwipsRect boxAt(int left, int top) const { return {left, top, boxWidth(), boxHeight()}; }
    TwipsRect startBox() const { return boxAt(0, 0); }
    TwipsRect endBox() const { return boxAt(0, EndBoxTopPx * twipsY); }

    // Column and row of a canvas point, by integer division truncating toward zero (outside
    // 0..3 / 0..11 far off the canvas).
    int columnOf(int x) const { return columnWidth() > 0 ? x / columnWidth() : 0; }
    int rowOf(int y) const { return rowHeight() > 0 ? y / rowHeight() : 0; }
};

} // namespace jhk
