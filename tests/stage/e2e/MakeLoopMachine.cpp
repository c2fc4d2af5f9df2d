// Writes a level-3 machine whose button loops for ever through a discharge: product in slot 0,
// button in slot 1, product outlet in slot 2; the button's program is block 0 "商品排出"
// (product 0 onto the outlet) → block 1 "購買可ランプ消灯" → block 0.
// With --overflow an amount display (slot 3) joins, and block 1 "カウンター減算" (the display
// less product 0's price) runs between the two: the display passes -999 after nine passes and
// every pass after that shows the overflow message.
// With --painted the product's picture is "mine.bmp", a picture of its own beside the document.
// Usage: stage_e2e_loop_machine [--overflow] [--painted] OUT.jhk
#include "PlacedParts.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"
#include "model/Creation.h"

#include <cstdio>
#include <string_view>

using namespace jhk;
using jhk::testing::placeWithBuiltInPicture;

namespace {

BlockRecord &addBlock(PartsRecord &p, int slot, int kind, const char *caption, int next)
{
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(kind);
    b.Caption = caption;
    b.Y = static_cast<std::int16_t>((1 + 2 * slot) * 551);
    b.Complete = -1;
    b.NextBlock = static_cast<std::int16_t>(next);
    ++p.BlockCount;
    return b;
}

} // namespace

int main(int argc, char *argv[])
{
    bool overflow = false;
    bool painted = false;
    for (int i = 1; i + 1 < argc; ++i) {
        overflow = overflow || std::string_view(argv[i]) == "--overflow";
        painted = painted || std::string_view(argv[i]) == "--painted";
    }
    if (argc < 2 || argc != 2 + int(overflow) + int(painted)) {
        std::fputs("usage: stage_e2e_loop_machine [--overflow] [--painted] OUT.jhk\n", stderr);
        return 2;
    }
    const char *out = argv[argc - 1];
    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.app.Level = 3;
    m.app.Step = 1;
    m.app.BackPictName = StartBackPictName;
    const int product = placeWithBuiltInPicture(m, KindProduct, 60, 60);
    const int button = placeWithBuiltInPicture(m, KindButton, 120, 220);
    const int outlet = placeWithBuiltInPicture(m, KindProductOutlet, 110, 400);
    m.part(product).A() = 120;
    m.part(product).B() = 5;
    if (painted)
        m.part(product).PictName = "mine.bmp";

    PartsRecord &p = m.part(button);
    BlockRecord &discharge = addBlock(p, 0, BlockDischarge, "0商品排出", 1);
    discharge.Param[1] = ParamValue(product);
    discharge.Param[2] = ParamValue(outlet);
    if (overflow) {
        const int counter = placeWithBuiltInPicture(m, KindCounter, 250, 60);
        BlockRecord &subtract = addBlock(p, 1, BlockSubtract, "1カウンター減算", 2);
        subtract.Param[1] = ParamValue(counter);
        subtract.Param[2] = ParamValue(product);
        addBlock(p, 2, BlockBuyLampOff, "2購買可ランプ消灯", 0).Param[1] = ParamValue(button);
    } else {
        addBlock(p, 1, BlockBuyLampOff, "1購買可ランプ消灯", 0).Param[1] = ParamValue(button);
    }
    p.FirstBlock = 0;

    const SaveResult saved = saveDocument(out, m);
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", saved.message.c_str());
        return 1;
    }
    return 0;
}
