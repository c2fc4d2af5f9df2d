// Writes the vending machine the end-to-end run starts from: a level-3 machine with a button
// (slot 0) still without a program, a product priced 120 yen, a product outlet, an amount
// display and a coin slot whose program counts the coins and lights the button's buy lamp
// once 120 yen are in. With --sells the button already has its program: it discharges the
// product onto the outlet. Usage: blockeditor_e2e_machine [--sells] OUT.jhk
//
// blockeditor_e2e_machine --program MACHINE.jhk SLOT prints the program of part SLOT of a saved
// machine as one line of JSON (the first block, then every used block: slot, kind, caption,
// place, completeness, parameters and links), so that a program built with the mouse can be
// compared with the one expected, whatever window built it.
#include "PlacedParts.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"
#include "model/Creation.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace jhk;
using jhk::testing::placeWithBuiltInPicture;

namespace {

BlockRecord &addBlock(PartsRecord &p, int slot, int kind, const char *caption, int row)
{
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(kind);
    b.Caption = caption;
    b.X = 0;
    b.Y = static_cast<std::int16_t>(row * 551);
    b.Complete = -1;
    b.NextBlock = LinkEnd;
    ++p.BlockCount;
    return b;
}

void printText(const std::string &s)
{
    std::putchar('"');
    for (char c : s) {
        if (c == '"' || c == '\\')
            std::putchar('\\');
        std::putchar(c);
    }
    std::putchar('"');
}

int printProgram(const char *path, int slot)
{
    Machine m;
    const LoadResult loaded = loadDocument(path, m);
    if (!loaded.ok || !m.partExists(slot)) {
        std::fprintf(stderr, "%s: %s\n", path, loaded.ok ? "no such part" : loaded.message.c_str());
        return 1;
    }
    const PartsRecord &p = m.part(slot);
    std::printf("{\"first_block\": %d, \"blocks\": [", int(p.FirstBlock));
    bool first = true;
    for (int i = 0; i < BlockSlots; ++i) {
        const BlockRecord &b = p.Blocks[static_cast<std::size_t>(i)];
        if (!b.isUsed())
            continue;
        std::printf("%s{\"slot\": %d, \"kind\": %d, \"caption\": ", first ? "" : ", ", i, int(b.Kind));
        first = false;
        printText(b.Caption);
        std::printf(", \"x\": %d, \"y\": %d, \"complete\": %d, \"params\": [", int(b.X), int(b.Y), int(b.Complete));
        for (std::size_t k = 0; k < b.Param.size(); ++k) {
            if (k)
                std::printf(", ");
            const ParamValue &v = b.Param[k];
            if (v.isText())
                printText(v.textValue());
            else if (v.isInt())
                std::printf("%d", int(v.intValue()));
            else
                std::printf("null");
        }
        std::printf("], \"next\": %d, \"next2\": %d}", int(b.NextBlock), int(b.NextBlock2));
    }
    std::printf("]}\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && std::string(argv[1]) == "--program")
        return printProgram(argv[2], std::atoi(argv[3]));
    const bool sells = argc == 3 && std::string(argv[1]) == "--sells";
    if (argc != 2 && !sells) {
        std::fputs("usage: blockeditor_e2e_machine [--sells] OUT.jhk | --program MACHINE.jhk SLOT\n", stderr);
        return 2;
    }
    const char *out = argv[argc - 1];
    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.app.Level = 3;
    m.app.Step = 1;
    m.app.BackPictName = StartBackPictName;
    const int button = placeWithBuiltInPicture(m, KindButton, 120, 220);
    const int product = placeWithBuiltInPicture(m, KindProduct, 60, 60);
    const int outlet = placeWithBuiltInPicture(m, KindProductOutlet, 110, 400);
    const int counter = placeWithBuiltInPicture(m, KindCounter, 240, 140);
    const int coinSlot = placeWithBuiltInPicture(m, KindCoinSlot, 320, 260);
    m.part(product).A() = 120;
    m.part(product).B() = 5;
    if (sells) {
        PartsRecord &b = m.part(button);
        BlockRecord &discharge = addBlock(b, 0, BlockDischarge, "0商品排出", 1);
        discharge.Param[1] = ParamValue(product);
        discharge.Param[2] = ParamValue(outlet);
        b.FirstBlock = 0;
    }

    PartsRecord &slot = m.part(coinSlot);
    BlockRecord &add = addBlock(slot, 0, BlockAddMoney, "0投入金加算", 1);
    add.Param[1] = ParamValue(counter);
    add.NextBlock = 1;
    BlockRecord &enough = addBlock(slot, 1, BlockBranch, "1条件分岐", 3);
    enough.Param[1] = ParamValue(counter);
    enough.Param[2] = ParamValue("A");
    enough.Param[3] = ParamValue(">=");
    enough.Param[4] = ParamValue(product);
    enough.Param[5] = ParamValue("A");
    enough.NextBlock = 2;
    enough.NextBlock2 = LinkEnd;
    BlockRecord &lamp = addBlock(slot, 2, BlockBuyLampOn, "2購買可ランプ点灯", 5);
    lamp.Param[1] = ParamValue(button);
    slot.FirstBlock = 0;
    slot.BranchCount = 1;

    const SaveResult saved = saveDocument(out, m);
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", saved.message.c_str());
        return 1;
    }
    return 0;
}
