#pragma once

#include "model/Kinds.h"
#include "model/ParamValue.h"

#include <array>
#include <cstdint>
#include <string>

namespace jhk {

struct BlockRecord {
    std::int16_t Used = 0;            // -1 placed in the program, 0 free
    std::int16_t Kind = BlockEmpty;   // BlockKind; -1 = empty slot
    std::int16_t BlockNo = 0;         // the block's own index
    std::string Caption;              // block number followed by the block name
    std::array<ParamValue, 6> Param;  // integer -1 = not set
    std::int16_t NextBlock = 0;       // exit "成立" of a branch; 99 end; -1 not linked
    std::int16_t NextBlock2 = LinkNone; // exit "不成立" of a branch
    std::int16_t Spare4 = 0;
    std::array<std::uint8_t, 3> PickFlags{};
    std::int16_t Spare5 = 0;
    std::int16_t Spare6 = 0;
    std::int16_t X = 0;               // box position on the block editor canvas, twips
    std::int16_t Y = 0;
    std::int16_t Complete = 0;        // -1 every parameter the block needs is set

    bool isUsed() const { return Used != 0; }
    bool operator==(const BlockRecord &) const = default;
};

struct PartsRecord {
    std::int16_t Used = 0;            // 0 free, -1 the part exists
    std::string PictName;             // "\bg\kan_2.bmp", or "dummy" for the built-in picture
    std::int16_t Spare1 = 0;
    std::int16_t Spare2 = 0;
    std::int16_t Kind = 0;            // PartsKind
    std::int16_t RunDrag = 0;         // -1 the part may be dragged while running
    std::int16_t LampLink = 0;
    std::array<std::int16_t, 4> Hensuu{}; // [1] = A, [2] = B, [3] = C; [0] unused
    std::int16_t Spare3 = 0;
    std::int16_t Left = 0;            // twips
    std::int16_t Top = 0;
    std::int16_t Width = 0;           // pixels whenever the tables are saved
    std::int16_t Height = 0;
    std::int16_t ImageNo = 0;
    std::int16_t LeverDown = 0;       // not saved
    std::array<BlockRecord, BlockSlots> Blocks{};
    std::int16_t BranchCount = 0;
    std::int16_t BlockCount = 0;
    std::int16_t FirstBlock = LinkNone;

    bool isUsed() const { return Used != 0; }
    std::int16_t &A() { return Hensuu[1]; }
    std::int16_t &B() { return Hensuu[2]; }
    std::int16_t &C() { return Hensuu[3]; }
    std::int16_t A() const { return Hensuu[1]; }
    std::int16_t B() const { return Hensuu[2]; }
    std::int16_t C() const { return Hensuu[3]; }
    bool operator==(const PartsRecord &) const = default;
};

struct LabelRecord {
    std::uint8_t LabelNo = 0;
    std::int16_t Used = 0;
    std::string Caption;
    std::int16_t Left = 0;            // twips
    std::int16_t Top = 0;
    std::int32_t BackColor = 0;       // index 0..8 into the colour table
    std::int32_t ForeColor = 0;
    std::int16_t Width = 0;           // twips
    std::int16_t Height = 0;
    std::int16_t FontSize = 0;        // points
    std::int16_t Transparent = 0;     // 1 transparent background
    std::int16_t FontBold = 0;        // -1 / 0
    std::int16_t FontItalic = 0;

    bool isUsed() const { return Used != 0; }
    bool operator==(const LabelRecord &) const = default;
};

using PartsTable = std::array<PartsRecord, PartSlots>;
using LabelTable = std::array<LabelRecord, LabelSlots>;

// Returns slot i to its free start-up state. The picture name is kept.
void resetPartSlot(PartsRecord &part, int slot);
void resetLabelSlot(LabelRecord &label);

} // namespace jhk
