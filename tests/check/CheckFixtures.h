#pragma once

// A small class of machine documents for the class checker's tests and benchmark: a correct
// machine, one whose coin slot compares with a wrong price, one without a change lever, a
// damaged file and the correct machine again under an upper-case name with its parts placed
// in another order.

#include "../engine/EngineRig.h"

#include "document/JhkDocument.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace jhk::testing {

// The vending machine of buildVendingMachine with its parts created in the order given:
// the slots differ, the places on the stage (and so the roles) do not.
// `ontoDisplay` drops the product onto the amount display instead of the outlet.
inline void buildMachine(Rig &r, bool lever = true, int comparedPrice = -1, bool reversed = false, bool ontoDisplay = false)
{
    struct Place {
        int kind, left, top, a, b;
    };
    Place places[] = {
        {KindProduct, 40, 40, 120, 5}, {KindButton, 40, 120, 0, 0},     {KindCoinSlot, 300, 100, 0, 0},
        {KindCounter, 150, 200, 0, 0}, {KindProductOutlet, 100, 400, 0, 0}, {KindLever, 300, 200, 0, 0},
    };
    int slot[6];
    for (int k = 0; k < 6; ++k) {
        const int i = reversed ? 5 - k : k;
        slot[i] = -1;
        if (places[i].kind == KindLever && !lever)
            continue;
        slot[i] = r.add(places[i].kind, places[i].left, places[i].top, places[i].a, places[i].b);
    }
    const int product = slot[0], button = slot[1], coinSlot = slot[2], counter = slot[3], outlet = slot[4];
    r.program(button, {
        B{0, BlockBranch, {button, "A", "=", -1, 1}, 1, LinkEnd},
        B{1, BlockDischarge, {product, ontoDisplay ? counter : outlet, -1, -1, -1}, 2},
        B{2, BlockSubtract, {counter, product, -1, -1, -1}, 3},
        B{3, BlockReduceStock, {product, -1, -1, -1, -1}, 4},
        B{4, BlockBranch, {counter, "A", ">=", product, "A"}, LinkEnd, 5},
        B{5, BlockBuyLampOff, {button, -1, -1, -1, -1}, LinkEnd},
    });
    // The price the coin slot compares the inserted money with: the product's, or a constant.
    const B compare = comparedPrice < 0 ? B{1, BlockBranch, {counter, "A", ">=", product, "A"}, 2, LinkEnd}
                                        : B{1, BlockBranch, {counter, "A", ">=", -1, comparedPrice}, 2, LinkEnd};
    r.program(coinSlot, {
        B{0, BlockAddMoney, {counter, -1, -1, -1, -1}, 1},
        compare,
        B{2, BlockBuyLampOn, {button, -1, -1, -1, -1}, LinkEnd},
    });
    if (lever) {
        r.program(slot[5], {
            B{0, BlockPayChange, {counter, -1, -1, -1, -1}, 1},
            B{1, BlockBuyLampOff, {button, -1, -1, -1, -1}, LinkEnd},
        });
    }
}

inline std::string saveMachine(Rig &r, const std::filesystem::path &path)
{
    r.engine.checkAll();
    const SaveResult saved = saveDocument(path.string(), r.m);
    return saved.ok ? path.string() : std::string();
}

// Writes the class into `dir`; returns the path of the correct machine (the model answer).
inline std::string writeFixtureClass(const std::filesystem::path &dir)
{
    std::filesystem::create_directories(dir);
    std::string correct;
    {
        Rig r;
        buildMachine(r);
        correct = saveMachine(r, dir / "correct.jhk");
    }
    {
        Rig r;
        buildMachine(r, true, 100);
        saveMachine(r, dir / "wrongprice.jhk");
    }
    {
        Rig r;
        buildMachine(r, false);
        saveMachine(r, dir / "nolever.jhk");
    }
    {
        Rig r;
        buildMachine(r, true, -1, true);
        saveMachine(r, dir / "UPPER.JHK");
    }
    {
        // The correct machine cut short in the middle of its parts.
        std::ifstream in(correct, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(dir / "damaged.jhk", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    return correct;
}

} // namespace jhk::testing

namespace jhk::testing {

// Prices of the four products of a full machine.
inline constexpr int FullMachinePrices[4] = {100, 120, 150, 200};

// Gives part `slot` the program `blocks`, starting at block 0.
inline void fillProgram(Rig &r, int slot, const std::vector<B> &blocks)
{
    PartsRecord &p = r.m.part(slot);
    p.FirstBlock = 0;
    p.BlockCount = static_cast<std::int16_t>(blocks.size());
    for (const B &b : blocks) {
        BlockRecord &rec = p.Blocks[static_cast<std::size_t>(b.index)];
        rec.Used = -1;
        rec.Kind = static_cast<std::int16_t>(b.kind);
        rec.NextBlock = static_cast<std::int16_t>(b.next);
        rec.NextBlock2 = static_cast<std::int16_t>(b.next2);
        rec.Caption = std::to_string(b.index) + std::string(vendingBlockName(b.kind));
        int q = 1;
        for (const ParamValue &v : b.params)
            rec.Param[static_cast<std::size_t>(q++)] = v;
        rec.Complete = -1;
    }
}

// A full machine as a class builds it: four products with their buttons, a coin slot that
// lights every button whose price is paid, an amount display, a product outlet, a change
// outlet and a change lever that pays back and puts the lamps out. `shuffle` changes the
// order the parts were placed in (their slots), not their places on the stage.
inline void buildFullMachine(Rig &r, int shuffle = 0)
{
    struct Place {
        int kind, left, top, a, b;
    };
    std::vector<Place> places;
    for (int k = 0; k < 4; ++k) {
        places.push_back({KindProduct, 40 + 80 * k, 40, FullMachinePrices[k], 3});
        places.push_back({KindButton, 40 + 80 * k, 130, 0, 0});
    }
    places.push_back({KindCoinSlot, 360, 200, 0, 0});
    places.push_back({KindCounter, 150, 220, 0, 0});
    places.push_back({KindProductOutlet, 100, 400, 0, 0});
    places.push_back({KindChangeOutlet, 300, 330, 0, 0});
    places.push_back({KindLever, 360, 260, 0, 0});
    const int n = static_cast<int>(places.size());
    std::vector<int> slot(places.size());
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>((k + shuffle) % n);
        slot[i] = r.add(places[i].kind, places[i].left, places[i].top, places[i].a, places[i].b);
    }
    auto product = [&](int k) { return slot[static_cast<std::size_t>(2 * k)]; };
    auto button = [&](int k) { return slot[static_cast<std::size_t>(2 * k + 1)]; };
    const int coinSlot = slot[8], counter = slot[9], outlet = slot[10], lever = slot[12];

    // The coin slot: count the coin, then light every button whose price is paid.
    std::vector<B> coin{B{0, BlockAddMoney, {counter, -1, -1, -1, -1}, 1}};
    for (int k = 0; k < 4; ++k) {
        const int after = k == 3 ? LinkEnd : 3 + 2 * k;
        coin.push_back(B{1 + 2 * k, BlockBranch, {counter, "A", ">=", product(k), "A"}, 2 + 2 * k, after});
        coin.push_back(B{2 + 2 * k, BlockBuyLampOn, {button(k), -1, -1, -1, -1}, after});
    }
    fillProgram(r, coinSlot, coin);
    // Each button: sell when lit, mark sold out at the last one, and put out the lamps whose
    // price the rest no longer pays.
    for (int k = 0; k < 4; ++k) {
        std::vector<B> blocks{
            B{0, BlockBranch, {button(k), "A", "=", -1, 1}, 1, LinkEnd},
            B{1, BlockDischarge, {product(k), outlet, -1, -1, -1}, 2},
            B{2, BlockSubtract, {counter, product(k), -1, -1, -1}, 3},
            B{3, BlockReduceStock, {product(k), -1, -1, -1, -1}, 4},
            B{4, BlockBranch, {product(k), "B", "<=", -1, 0}, 5, 6},
            B{5, BlockSoldOutLampOn, {button(k), -1, -1, -1, -1}, 6},
        };
        for (int j = 0; j < 4; ++j) {
            const int after = j == 3 ? LinkEnd : 8 + 2 * j;
            blocks.push_back(B{6 + 2 * j, BlockBranch, {counter, "A", "<", product(j), "A"}, 7 + 2 * j, after});
            blocks.push_back(B{7 + 2 * j, BlockBuyLampOff, {button(j), -1, -1, -1, -1}, after});
        }
        fillProgram(r, button(k), blocks);
    }
    fillProgram(r, lever, {
        B{0, BlockPayChange, {counter, -1, -1, -1, -1}, 1},
        B{1, BlockBuyLampOff, {button(0), -1, -1, -1, -1}, 2},
        B{2, BlockBuyLampOff, {button(1), -1, -1, -1, -1}, 3},
        B{3, BlockBuyLampOff, {button(2), -1, -1, -1, -1}, 4},
        B{4, BlockBuyLampOff, {button(3), -1, -1, -1, -1}, LinkEnd},
    });
}

// Ten scenarios a teacher might write for the full machine: each product bought with a
// 500-yen coin, with two 100-yen coins, and twice in a row from one 500-yen coin.
inline std::string fullMachineScenarios()
{
    std::string s;
    for (int k = 0; k < 10; ++k) {
        const int product = k % 4;
        const int price = FullMachinePrices[product];
        const std::string button = "ボタン" + std::to_string(product + 1);
        const std::string item = "商品" + std::to_string(product + 1);
        const int times = k >= 8 ? 2 : 1;
        int counter = k < 4 || k >= 8 ? 500 : 200;
        s += "scenario 購入" + std::to_string(k + 1) + "\nmoney 9990\nrun\n";
        s += counter == 500 ? "coin 500\n" : "coin 100\ncoin 100\n";
        s += "expect display 金額表示1 " + std::to_string(counter) + "\n";
        for (int t = 1; t <= times; ++t) {
            s += "expect lamp " + button + " 購入\ntouch " + button + "\n";
            counter -= price;
            s += "expect stock " + item + " " + std::to_string(3 - t) + "\nexpect products " + std::to_string(t)
                + "\nexpect display 金額表示1 " + std::to_string(counter) + "\n";
        }
        s += "touch 釣レバー1\nexpect message お釣が" + std::to_string(counter) + "円でました\nexpect no message\n";
        s += "expect money " + std::to_string(9990 + counter) + "\nexpect display 金額表示1 0\nexpect lamp " + button
            + " 消灯\nstop\nexpect products 0\n\n";
    }
    return s;
}

} // namespace jhk::testing
