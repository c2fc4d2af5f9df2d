#pragma once

#include <array>

namespace jhk {

enum ToolIndex : int {
    ToolSelect = 0,
    ToolPen,
    ToolEraser,
    ToolFill,
    ToolText,
    ToolDropper,
    ToolZoom,
    ToolLine,
    ToolRectangle,
    ToolEllipse,
};
inline constexpr int ToolCount = 10;

enum class ToolCursor { Arrow, Own, EraserSize, IBeam, Cross };

// The option panels a tool shows in the tool column.
enum PanelFlag : unsigned { PanelNone = 0, PanelLineWidth = 1, PanelEraserSize = 2, PanelFillShapes = 4 };

struct ToolInfo {
    const char *caption; // also the tooltip of its button
    ToolCursor cursor;
    unsigned panels;
};

inline constexpr std::array<ToolInfo, ToolCount> ToolTable = {{
    {"選択・移動", ToolCursor::Arrow, PanelNone},
    {"ペン", ToolCursor::Own, PanelLineWidth},
    {"消しゴム", ToolCursor::EraserSize, PanelEraserSize},
    {"塗りつぶし", ToolCursor::Own, PanelNone},
    {"文字", ToolCursor::IBeam, PanelNone},
    {"スポイト", ToolCursor::Own, PanelNone},
    {"拡大", ToolCursor::Arrow, PanelNone},
    {"直線", ToolCursor::Cross, PanelLineWidth},
    {"四角", ToolCursor::Cross, PanelLineWidth | PanelFillShapes},
    {"円", ToolCursor::Cross, PanelLineWidth | PanelFillShapes},
}};

// The entries of the option panels.
inline constexpr std::array<int, 4> PenWidths = {1, 2, 3, 4};
inline constexpr std::array<int, 5> EraserSizes = {1, 2, 4, 8, 16};

// Which entry of a panel a click at (x, y) inside it selects, or -1 for none.
int lineWidthEntryAt(int x, int y);
int fillShapesEntryAt(int x, int y);

} // namespace jhk
