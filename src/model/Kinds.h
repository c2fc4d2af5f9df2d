#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace jhk {

// Kinds of part; the index of each kind's button on the stage's part palette.
enum PartsKind : std::int16_t {
    KindProduct = 0,       // 商品: A = price, B = stock
    KindButton = 1,        // ボタン: A = buy lamp, B = sold-out lamp
    KindCoinSlot = 2,      // 投入口: runs its program when a coin is dropped on it
    KindCounter = 3,       // 金額表示: A = amount shown
    KindChangeOutlet = 4,  // 釣銭口
    KindMoneyInHand = 5,   // 所持金: its palette button sets the money in hand; never placed
    KindProductOutlet = 6, // 商品出口
    KindLever = 7,         // 釣レバー
};
inline constexpr int PartsKindCount = 8;

inline constexpr std::array<std::string_view, PartsKindCount> PartsKindCaptions = {
    "商品", "ボタン", "投入口", "金額表示", "釣銭口", "所持金", "商品出口", "釣レバー",
};

// Built-in picture sizes of each part kind, pixels.
struct PixelSize {
    int width;
    int height;
};
inline constexpr std::array<PixelSize, PartsKindCount> BuiltInPictureSizes = {{
    {34, 67}, {43, 19}, {30, 30}, {121, 44}, {45, 39}, {112, 129}, {188, 70}, {40, 40},
}};

// Block kinds: 20 × palette tab + position in that tab's list. The vending blocks are on tab 1.
enum BlockKind : std::int16_t {
    BlockEmpty = -1,
    BlockMove = 1,
    BlockDischarge = 20,     // 商品排出
    BlockBuyLampOn = 21,     // 購買可ランプ点灯
    BlockBuyLampOff = 22,    // 購買可ランプ消灯
    BlockAddMoney = 23,      // 投入金加算
    BlockSubtract = 24,      // カウンター減算
    BlockPayChange = 25,     // 釣銭排出
    BlockSoldOutLampOn = 26, // 売切ランプ点灯
    BlockReduceStock = 27,   // 在庫減数
    BlockBranch = 28,        // 条件分岐
};
inline constexpr int FirstVendingBlock = 20;

// The kind of part the operand in Param(`param`) of a block of kind `blockKind` must be when
// it is picked on the stage (a lamp block takes a button, a subtraction a money display and a
// product), or -1 where any part will do (a branch compares any part's variables; a product
// may come out anywhere).
inline constexpr int operandKindNeeded(int blockKind, int param)
{
    if (param == 1) {
        switch (blockKind) {
        case 20: case 27: return 0;          // 商品排出, 在庫減数: a product
        case 21: case 22: case 26: return 1; // the lamp blocks: a button
        case 23: case 24: case 25: return 3; // 投入金加算, カウンター減算, 釣銭排出: a money display
        default: return -1;
        }
    }
    if (param == 2 && blockKind == 24)
        return 0; // カウンター減算 takes the price of a product
    return -1;
}
inline constexpr int LastVendingBlock = 28;

// Names of the vending blocks 20..28, as the palette lists them and the interpreter reports them.
inline constexpr std::array<std::string_view, 9> VendingBlockNames = {
    "商品排出", "購買可ランプ点灯", "購買可ランプ消灯", "投入金加算", "カウンター減算",
    "釣銭排出", "売切ランプ点灯",   "在庫減数",         "条件分岐",
};

// Entries of the "標準" palette tab (positions 0..11). The tab is always switched off.
inline constexpr std::array<std::string_view, 12> StandardTabNames = {
    "パーツの移動", "変数の操作",   "ＷＡＶＥファイルの再生", "文字表示",
    "ビープ音を鳴らす", "警告文を出す", "パーツの回転",       "パーツの表示",
    "パーツの消去", "イメージの切り替え", "パーツの拡大縮小", "パーツの複製",
};

// Names of the codes 1..15 as the selected-block panel shows them.
inline constexpr std::array<std::string_view, 15> GeneralBlockNames = {
    "パーツの移動", "変数の操作", "ＷＡＶＥファイルの再生", "文字表示", "ビープを鳴らす",
    "警告文を出す", "パーツの回転", "パーツの表示", "パーツの消去",
    "他のパーツにメッセージを送る", "受け取ったメッセージの表示", "イメージの切り替え",
    "パーツの拡大縮小", "時刻の表示", "パーツの複製",
};

// The name of a vending block kind, or "" for any other code.
constexpr std::string_view vendingBlockName(int kind)
{
    if (kind < FirstVendingBlock || kind > LastVendingBlock)
        return {};
    return VendingBlockNames[static_cast<std::size_t>(kind - FirstVendingBlock)];
}

// Link values of FirstBlock, NextBlock and NextBlock2.
inline constexpr std::int16_t LinkNone = -1;
inline constexpr std::int16_t LinkEnd = 99;

inline constexpr int PartSlots = 31;    // slots 0..30
inline constexpr int MaxParts = 30;     // at most 30 parts at once
inline constexpr int BlockSlots = 31;   // blocks 0..30 of each part
inline constexpr int LabelSlots = 11;   // slots 0..10, slot 0 never used
inline constexpr int MaxLabels = 10;
inline constexpr int ColorCount = 9;

// Denominations by index d = 0..4.
inline constexpr std::array<int, 5> CoinValues = {1000, 500, 100, 50, 10};

constexpr bool isValidLink(int v) { return v == LinkNone || v == LinkEnd || (v >= 0 && v < BlockSlots); }
constexpr bool isPartSlot(int v) { return v >= 0 && v < PartSlots; }

} // namespace jhk
