#pragma once

#include <string>

namespace jhk {

struct BlockRecord;

// How a block's operands are written out on paper: with their values, or as empty boxes a
// pupil fills in by hand.
enum class OperandStyle { Filled, Blank };

// The box a blank worksheet leaves for an operand, and the mark of an operand not yet set.
inline constexpr const char *BlankOperand = "（　）";
inline constexpr const char *UnsetOperand = "？";

// The name of a block kind as the palette and the panel call it ("商品排出", "パーツの移動");
// "" for a code without a name.
std::string blockKindName(int kind);

// The operands of a block in words: "3番の商品を5番の出口へ" for a discharge, "1番のA = 1" for a
// conditional branch, "2番のボタン" for a lamp. "" for a kind without operands.
std::string operandWords(const BlockRecord &block, OperandStyle style = OperandStyle::Filled);

// The block's name and its operands in words, e.g. "商品排出 3番の商品を5番の出口へ"; the name
// alone for a kind without operands.
std::string blockInWords(const BlockRecord &block, OperandStyle style = OperandStyle::Filled);

} // namespace jhk
