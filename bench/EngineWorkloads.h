#pragma once

// The block interpreter's two workloads, shared by the Google Benchmark (engine_bench) and
// the timing program that runs the same in both worlds (engine_timing, bench/wasm).
#include "EngineRig.h"

namespace jhk::testing {

// A program that loops until the endless-loop guard stops it: a pass, a comparison and a
// stock reduction, round and round.
struct LoopingProgram {
    Rig r;
    int product = r.add(KindProduct, 10, 10, 120, 0);
    int button = r.add(KindButton, 10, 100);

    LoopingProgram()
    {
        r.program(button, {
            B{0, 13, {}, 1},
            B{1, BlockBranch, {product, "B", ">", -1, -500}, 2, 99},
            B{2, BlockReduceStock, {product}, 0},
        });
    }

    // One run to the guard; returns the blocks executed.
    long long runOnce()
    {
        long long blocks = 0;
        r.m.part(product).B() = 30000;
        r.m.app.ExecCount = 0;
        for (int next = 0; next != -1; ++blocks)
            next = r.engine.executeBlock(button, next);
        r.view.messages.clear(); // the guard's message, once a pass
        return blocks;
    }
};

// Run, 100 and 50 yen in, the button, the change lever, stop: 19 blocks, two coin sounds, one
// product sound, one message, the catalogue read twice.
struct FullPurchase {
    Rig r;

    FullPurchase() { buildVendingMachine(r); }

    void runOnce()
    {
        r.engine.startRun();
        r.dropCoin(2);
        r.dropCoin(3);
        r.engine.touchPart(Button);
        r.engine.touchPart(Lever);
        r.engine.stopRun();
        r.view.messages.clear();
        r.view.lines.clear();
        r.player.played.clear();
        r.m.part(Product).B() = 5;
    }
};

} // namespace jhk::testing
