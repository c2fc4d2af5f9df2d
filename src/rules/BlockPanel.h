#pragma once

#include <array>
#include <string>

namespace jhk {

struct BlockRecord;
struct Machine;
class Catalogue;

inline constexpr const char *NotSetText = "未設定";
inline constexpr const char *EndText = "終了";
inline constexpr const char *NextBlockCaption = "次に実行するブロックのNo.";
inline constexpr const char *FirstBlockCaption = "最初に実行するブロックのNo.";

// A text control of the editor: what it reads and whether it is shown.
struct ShownText {
    std::string text;
    bool visible = false;
    bool operator==(const ShownText &) const = default;
};

// The execution-order frame "実行順序": the links of the selected block, or the first block
// when the start box is selected.
struct ExecutionOrderFrame {
    ShownText caption;                 // "次に実行するブロックのNo." / "最初に実行するブロックのNo."
    std::array<ShownText, 2> fields;   // NextBlock (or FirstBlock), NextBlock2
    std::array<bool, 2> exitCaptions{}; // "（条件成立時）", "（条件不成立時）"
    std::array<bool, 2> pickButtons{};  // "指定" for NextBlock, NextBlock2
    bool firstBlockButton = false;      // "指定" for FirstBlock
};

// The selected-block panel: the frame above, the block's title and its parameter rows. The
// rows stay out of view in the editor; the block detail dialog shows them.
struct BlockPanel {
    ExecutionOrderFrame order;
    ShownText title;
    std::array<ShownText, 5> captions; // what each parameter row means
    std::array<ShownText, 5> values;   // the parameters as the pupil reads them
    bool referenceButton = false;      // "参照", for a WAVE file name
};

// A link as the number fields show it: "未設定" for -1, "終了" for the end box.
std::string linkText(int link);

// The name of a block kind as the panel titles it; "" for a kind the panel does not know.
std::string blockKindTitle(int kind);

// Parameter row `row` of a block, rendered: part rows as "3:商品", property rows of a branch
// by the catalogue's caption of the variable, -1 as "未設定" (but row 3 keeps -1). "" for a
// row the block kind does not have.
std::string renderParamRow(const BlockRecord &block, int row, const Machine &m, const Catalogue &catalogue);

// Hides everything in the panel and forgets the texts of the block shown before.
void resetBlockPanel(BlockPanel &panel);

// Fills the panel for `block` by its kind; at level 1 no "指定" button is offered.
void fillBlockPanel(BlockPanel &panel, const BlockRecord &block, int level, const Machine &m,
                    const Catalogue &catalogue);

} // namespace jhk
