#pragma once

// The level-3 sample vending machine of the printing tests and the pictures in docs/: a product
// priced 120 yen, a button, a coin slot, an amount display, a product outlet and a change
// lever, with programs that use every vending block and both kinds of comparison.

#include "PlacedParts.h"
#include "model/AppState.h"
#include "model/Creation.h"

#include <memory>

namespace jhk::printtest {

// Part slots of the sample machine.
enum SamplePart { SampleProduct = 0, SampleButton = 1, SampleCoinSlot = 2, SampleCounter = 3, SampleOutlet = 4, SampleLever = 5 };

inline std::unique_ptr<Machine> sampleMachine()
{
    auto m = std::make_unique<Machine>();
    applyStartupValues(m->app, 15, 15);
    m->app.Level = 3;
    m->app.Step = 1;
    m->app.BackPictName = StartBackPictName;
    m->app.MoneyInHand = 1000;

    auto place = [&](int kind, int leftPx, int topPx) { return testing::placeWithBuiltInPicture(*m, kind, leftPx, topPx); };
    place(KindProduct, 60, 60);
    place(KindButton, 60, 140);
    place(KindCoinSlot, 320, 200);
    place(KindCounter, 240, 120);
    place(KindProductOutlet, 110, 400);
    place(KindLever, 330, 260);
    m->part(SampleProduct).A() = 120;
    m->part(SampleProduct).B() = 5;

    // Block `slot` of `part` in a cell of the canvas (column, row), linked to the end box.
    auto block = [&](int part, int slot, int kind, int column, int row) -> BlockRecord & {
        PartsRecord &p = m->part(part);
        BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
        b.Used = -1;
        b.Kind = static_cast<std::int16_t>(kind);
        b.Caption = std::to_string(slot) + std::string(vendingBlockName(kind));
        b.X = static_cast<std::int16_t>(column * 1323);
        b.Y = static_cast<std::int16_t>(row * 551);
        b.Complete = -1;
        b.NextBlock = LinkEnd;
        ++p.BlockCount;
        p.BranchCount = static_cast<std::int16_t>(p.BranchCount + (kind == BlockBranch));
        if (p.FirstBlock == LinkNone)
            p.FirstBlock = static_cast<std::int16_t>(slot);
        return b;
    };

    // The coin slot counts the coin and lights the buy lamp once the price is in.
    BlockRecord &add = block(SampleCoinSlot, 0, BlockAddMoney, 1, 1);
    add.Param[1] = SampleCounter;
    add.NextBlock = 1;
    BlockRecord &enough = block(SampleCoinSlot, 1, BlockBranch, 1, 3);
    enough.Param[1] = SampleCounter;
    enough.Param[2] = "A";
    enough.Param[3] = ">=";
    enough.Param[4] = SampleProduct;
    enough.Param[5] = "A";
    enough.NextBlock = 2;
    enough.NextBlock2 = LinkEnd;
    block(SampleCoinSlot, 2, BlockBuyLampOn, 1, 5).Param[1] = SampleButton;

    // The button sells when its buy lamp is lit, and lights 売切 when the stock runs out.
    BlockRecord &lit = block(SampleButton, 0, BlockBranch, 1, 1);
    lit.Param[1] = SampleButton;
    lit.Param[2] = "A";
    lit.Param[3] = "=";
    lit.Param[4] = -1;
    lit.Param[5] = 1;
    lit.NextBlock = 1;
    lit.NextBlock2 = LinkEnd;
    BlockRecord &out = block(SampleButton, 1, BlockDischarge, 1, 3);
    out.Param[1] = SampleProduct;
    out.Param[2] = SampleOutlet;
    out.NextBlock = 2;
    BlockRecord &pay = block(SampleButton, 2, BlockSubtract, 1, 5);
    pay.Param[1] = SampleCounter;
    pay.Param[2] = SampleProduct;
    pay.NextBlock = 3;
    BlockRecord &stock = block(SampleButton, 3, BlockReduceStock, 1, 7);
    stock.Param[1] = SampleProduct;
    stock.NextBlock = 4;
    BlockRecord &off = block(SampleButton, 4, BlockBuyLampOff, 1, 9);
    off.Param[1] = SampleButton;
    off.NextBlock = 5;
    BlockRecord &empty = block(SampleButton, 5, BlockBranch, 2, 9);
    empty.Param[1] = SampleProduct;
    empty.Param[2] = "B";
    empty.Param[3] = "<=";
    empty.Param[4] = -1;
    empty.Param[5] = "0";
    empty.NextBlock = 6;
    empty.NextBlock2 = LinkEnd;
    block(SampleButton, 6, BlockSoldOutLampOn, 2, 11).Param[1] = SampleButton;

    // The lever pays the change back.
    block(SampleLever, 0, BlockPayChange, 1, 2).Param[1] = SampleCounter;
    return m;
}

// Every operand of the sample machine's programs in words, as its worksheet prints them.
inline const char *const SampleOperandWords[] = {
    "3番の金額表示に", "3番のA >= 0番のA", "1番のボタン",                                 // coin slot
    "1番のA = 1", "0番の商品を4番の出口へ", "3番の金額表示から0番の値段を", "0番の商品", // button
    "0番のB <= 0",                                                                        //
    "3番の金額表示から",                                                                  // lever
};

} // namespace jhk::printtest
