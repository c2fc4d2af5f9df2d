#pragma once

#include "model/OperandWords.h"
#include "rules/CanvasGeometry.h"
#include "rules/Connectors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jhk {

struct PartsRecord;

inline constexpr std::uint32_t CompleteBoxColour = 0xC0FFC0;   // light green, 0x00BBGGRR
inline constexpr std::uint32_t IncompleteBoxColour = 0xFFC0FF; // pink
inline constexpr std::uint32_t BranchTextColour = 0x00FFFF;    // yellow
inline constexpr std::uint32_t StartEndColour = 0xC0FFC0;      // the ovals of "開始" and "終了"
// The run view's marks over the flowchart.
inline constexpr std::uint32_t RunPathColour = 0x00AAFF;     // the path just taken and the block being executed
inline constexpr std::uint32_t NextBlockColour = 0xFFDC00;   // the block "▼" runs next
inline constexpr std::uint32_t StoppedBlockColour = 0x3C3CFF; // where a run stopped because something was not set

// One block box on the canvas.
struct BlockBox {
    int slot = 0;
    TwipsRect rect;
    std::string caption;
    bool branch = false;   // transparent, yellow text, over its branch marker picture
    bool complete = false; // light green (a branch: the complete-branch picture), else pink
    std::string words;     // on paper: the block's name and its operands in words, "" for the caption
};

// Everything the flowchart canvas shows apart from the editor's selection marks: the start and
// end boxes, the block boxes in slot order, the connectors, and at level 1 the notice that a
// part without blocks cannot be given any.
struct FlowchartScene {
    CanvasGeometry geometry;
    bool startBoxVisible = true;
    bool ovalsVisible = true;
    std::string notice; // drawn at (5, 5) pixels
    std::vector<BlockBox> boxes;
    std::vector<ConnectorItem> connectors;
};

// The level-1 notice for a part without blocks at exercise step `step`.
std::string level1Notice(int step);

// The scene of a part's flowchart. `level1Empty` is true when the editor opened at level 1 on a
// part without blocks: the start box and the ovals are hidden and the notice shown.
FlowchartScene buildFlowchartScene(const PartsRecord &part, const CanvasGeometry &g, bool level1Empty, int step);

// Gives every block box of the scene its name and operands in words ("商品排出 3番の商品を5番の
// 出口へ"), or with empty boxes for the operands, as a worksheet prints them.
void addOperandWords(FlowchartScene &scene, const PartsRecord &part, OperandStyle style);

} // namespace jhk
