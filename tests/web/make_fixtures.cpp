// Writes the machines the browser tests open, with the core's own writer:
//   vending.jhk  a level-3 machine: a product of 120 yen (5 in stock), its button, a coin slot,
//                an amount display, a product outlet and a change lever, each programmed, the
//                blocks laid out down the flowchart as a pupil would place them
//   looping.jhk  a level-3 machine whose button runs a program that never ends (a product out,
//                again and again)
//   damaged.jhk  the vending machine cut short in the middle of its parts
// usage: web_fixtures FOLDER
#include "../engine/EngineRig.h"

#include "document/JhkDocument.h"
#include "rules/CanvasGeometry.h"

#include <filesystem>
#include <fstream>
#include <iostream>

using namespace jhk;
using namespace jhk::testing;

namespace {

// Places block `block` of part `part` in a cell of the flowchart canvas (column 0..3, row 0..11).
void place(Machine &m, int part, int block, int column, int row)
{
    const CanvasGeometry g;
    BlockRecord &b = m.part(part).Blocks[static_cast<std::size_t>(block)];
    b.X = static_cast<std::int16_t>(column * g.columnWidth());
    b.Y = static_cast<std::int16_t>(row * g.rowHeight());
}

bool write(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: web_fixtures FOLDER\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);

    Rig vending;
    buildVendingMachine(vending);
    for (int i = 0; i < 5; ++i)
        place(vending.m, Button, i, 1, 1 + 2 * i);
    place(vending.m, Button, 5, 3, 9); // the branch's other exit, beside it
    for (int i = 0; i < 3; ++i)
        place(vending.m, CoinSlot, i, 1, 1 + 2 * i);
    for (int i = 0; i < 2; ++i)
        place(vending.m, Lever, i, 1, 1 + 2 * i);
    vending.engine.checkAll();
    if (!saveDocument((dir / "vending.jhk").string(), vending.m).ok)
        return 1;

    Rig looping;
    const int product = looping.add(KindProduct, 40, 40, 120, 5);
    const int button = looping.add(KindButton, 40, 120);
    const int outlet = looping.add(KindProductOutlet, 100, 400);
    // Round and round: a product out (the run waits for its sound each time, so the endless-loop
    // guard is minutes away) and a comparison that is always true.
    looping.program(button, {
        B{0, BlockDischarge, {product, outlet, -1, -1, -1}, 1},
        B{1, BlockBranch, {product, "A", ">", -1, 0}, 0, LinkEnd},
    });
    looping.engine.checkAll();
    if (!saveDocument((dir / "looping.jhk").string(), looping.m).ok)
        return 1;

    std::ifstream in(dir / "vending.jhk", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2);
    return write(dir / "damaged.jhk", bytes) ? 0 : 1;
}
