#include "model/OperandWords.h"

#include "model/Records.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace jhk {
namespace {

BlockRecord block(int kind, std::initializer_list<std::pair<int, ParamValue>> params)
{
    BlockRecord b;
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(kind);
    for (auto &p : b.Param)
        p = ParamValue(-1);
    for (const auto &[n, v] : params)
        b.Param[static_cast<std::size_t>(n)] = v;
    return b;
}

TEST(OperandWords, EveryKindInWordsFilledAndBlank)
{
    struct Case {
        BlockRecord block;
        const char *filled;
        const char *blank;
    };
    const Case cases[] = {
        {block(BlockDischarge, {{1, 3}, {2, 5}}), "商品排出 3番の商品を5番の出口へ", "商品排出 （　）番の商品を（　）番の出口へ"},
        {block(BlockBuyLampOn, {{1, 2}}), "購買可ランプ点灯 2番のボタン", "購買可ランプ点灯 （　）番のボタン"},
        {block(BlockBuyLampOff, {{1, 0}}), "購買可ランプ消灯 0番のボタン", "購買可ランプ消灯 （　）番のボタン"},
        {block(BlockAddMoney, {{1, 4}}), "投入金加算 4番の金額表示に", "投入金加算 （　）番の金額表示に"},
        {block(BlockSubtract, {{1, 4}, {2, 1}}), "カウンター減算 4番の金額表示から1番の値段を",
         "カウンター減算 （　）番の金額表示から（　）番の値段を"},
        {block(BlockPayChange, {{1, 4}}), "釣銭排出 4番の金額表示から", "釣銭排出 （　）番の金額表示から"},
        {block(BlockSoldOutLampOn, {{1, 2}}), "売切ランプ点灯 2番のボタン", "売切ランプ点灯 （　）番のボタン"},
        {block(BlockReduceStock, {{1, 1}}), "在庫減数 1番の商品", "在庫減数 （　）番の商品"},
        {block(BlockMove, {{1, 1500}, {2, 900}, {3, 7}}), "パーツの移動 7番のパーツを(1500, 900)へ",
         "パーツの移動 （　）番のパーツを(（　）, （　）)へ"},
        // A lamp compared with a constant, as the detail dialog stores 点灯: P(4) -1, P(5) 1.
        {block(BlockBranch, {{1, 1}, {2, "A"}, {3, "="}, {5, 1}}), "条件分岐 1番のA = 1", "条件分岐 （　）番の（　）＝（　）"},
        // Two variables of two parts.
        {block(BlockBranch, {{1, 4}, {2, "A"}, {3, ">="}, {4, 0}, {5, "A"}}), "条件分岐 4番のA >= 0番のA",
         "条件分岐 （　）番の（　）>=（　）"},
        // A constant on the left (P(2) no variable name) and a stock number typed as text.
        {block(BlockBranch, {{1, 100}, {3, "<"}, {4, -1}, {5, "30"}}), "条件分岐 100 < 30", "条件分岐 （　）番の（　）<（　）"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(blockInWords(c.block), c.filled);
        EXPECT_EQ(blockInWords(c.block, OperandStyle::Blank), c.blank);
    }
}

TEST(OperandWords, UnsetOperandsAreQuestionMarksAndKindsWithoutOperandsAreTheirNameAlone)
{
    EXPECT_EQ(blockInWords(block(BlockDischarge, {{2, 5}})), "商品排出 ？番の商品を5番の出口へ");
    EXPECT_EQ(blockInWords(block(BlockBranch, {{1, 3}, {2, "B"}})), "条件分岐 3番のB ？ ？");
    BlockRecord emptyParams = block(BlockReduceStock, {});
    emptyParams.Param[1] = ParamValue::empty();
    EXPECT_EQ(operandWords(emptyParams), "？番の商品");

    EXPECT_EQ(blockInWords(block(13, {})), "パーツの拡大縮小");
    EXPECT_EQ(operandWords(block(13, {})), "");
    EXPECT_EQ(blockInWords(block(99, {})), "");
    EXPECT_EQ(blockKindName(BlockBranch), "条件分岐");
    EXPECT_EQ(blockKindName(0), "");
}

} // namespace
} // namespace jhk
