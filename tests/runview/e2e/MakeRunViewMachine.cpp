// Writes the machine the run view's end-to-end run uses: a level-3 vending machine that sells a
// drink for 120 yen, with the blocks of each program laid out down the flowchart so that the
// run view's path reads well. Usage: runview_e2e_machine OUT.jhk
#include "PlacedParts.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"
#include "model/Creation.h"

#include <cstdio>
#include <string>

using namespace jhk;
using jhk::testing::placeWithBuiltInPicture;

namespace {

constexpr int T = 15;
constexpr int CellWidth = 1323; // twips of a column and a row of the flowchart canvas
constexpr int CellHeight = 551;

BlockRecord &addBlock(PartsRecord &p, int slot, int kind, int column, int row, int next, int next2 = LinkNone)
{
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(kind);
    b.BlockNo = static_cast<std::int16_t>(slot);
    b.Caption = std::to_string(slot) + std::string(vendingBlockName(kind));
    b.X = static_cast<std::int16_t>(column * CellWidth);
    b.Y = static_cast<std::int16_t>(row * CellHeight);
    b.Complete = -1;
    b.NextBlock = static_cast<std::int16_t>(next);
    b.NextBlock2 = static_cast<std::int16_t>(next2);
    ++p.BlockCount;
    if (kind == BlockBranch)
        ++p.BranchCount;
    if (p.FirstBlock == LinkNone)
        p.FirstBlock = static_cast<std::int16_t>(slot);
    return b;
}

void compare(BlockRecord &b, int leftPart, const char *op, int rightPart)
{
    b.Param[1] = ParamValue(leftPart);
    b.Param[2] = ParamValue("A");
    b.Param[3] = ParamValue(op);
    b.Param[4] = ParamValue(rightPart);
    b.Param[5] = ParamValue("A");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: runview_e2e_machine OUT.jhk\n", stderr);
        return 2;
    }
    Machine m;
    applyStartupValues(m.app, T, T);
    m.app.Level = 3;
    m.app.Step = 1;
    m.app.BackPictName = StartBackPictName;
    const int product = placeWithBuiltInPicture(m, KindProduct, 60, 40);
    const int button = placeWithBuiltInPicture(m, KindButton, 55, 120);
    const int coinSlot = placeWithBuiltInPicture(m, KindCoinSlot, 300, 150);
    const int counter = placeWithBuiltInPicture(m, KindCounter, 200, 60);
    const int outlet = placeWithBuiltInPicture(m, KindProductOutlet, 110, 400);
    const int lever = placeWithBuiltInPicture(m, KindLever, 320, 220);
    m.part(product).A() = 120;
    m.part(product).B() = 5;

    // The button: lamp lit? discharge, charge the price, one less in stock; the lamp goes out
    // when the rest does not pay for another.
    PartsRecord &b = m.part(button);
    BlockRecord &lit = addBlock(b, 0, BlockBranch, 1, 1, 1, LinkEnd);
    lit.Param[1] = ParamValue(button);
    lit.Param[2] = ParamValue("A");
    lit.Param[3] = ParamValue("=");
    lit.Param[5] = ParamValue(1);
    BlockRecord &discharge = addBlock(b, 1, BlockDischarge, 1, 3, 2);
    discharge.Param[1] = ParamValue(product);
    discharge.Param[2] = ParamValue(outlet);
    BlockRecord &subtract = addBlock(b, 2, BlockSubtract, 1, 5, 3);
    subtract.Param[1] = ParamValue(counter);
    subtract.Param[2] = ParamValue(product);
    addBlock(b, 3, BlockReduceStock, 1, 7, 4).Param[1] = ParamValue(product);
    compare(addBlock(b, 4, BlockBranch, 1, 9, LinkEnd, 5), counter, ">=", product);
    addBlock(b, 5, BlockBuyLampOff, 3, 9, LinkEnd).Param[1] = ParamValue(button);

    // The coin slot: count the coin and light the lamp once the price is in.
    PartsRecord &s = m.part(coinSlot);
    addBlock(s, 0, BlockAddMoney, 1, 1, 1).Param[1] = ParamValue(counter);
    compare(addBlock(s, 1, BlockBranch, 1, 3, 2, LinkEnd), counter, ">=", product);
    addBlock(s, 2, BlockBuyLampOn, 1, 5, LinkEnd).Param[1] = ParamValue(button);

    // The change lever: pay back what the display shows and put the lamp out.
    PartsRecord &l = m.part(lever);
    addBlock(l, 0, BlockPayChange, 1, 1, 1).Param[1] = ParamValue(counter);
    addBlock(l, 1, BlockBuyLampOff, 1, 3, LinkEnd).Param[1] = ParamValue(button);

    const SaveResult saved = saveDocument(argv[1], m);
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", saved.message.c_str());
        return 1;
    }
    return 0;
}
