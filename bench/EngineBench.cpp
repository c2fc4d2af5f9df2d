// Speed of the block interpreter: blocks per second on a program that loops until the
// endless-loop guard stops it, and whole purchases on a level-3 machine.
#include "EngineRig.h"

#include <benchmark/benchmark.h>

using namespace jhk;
using namespace jhk::testing;

namespace {

void LoopingProgram(benchmark::State &state)
{
    Rig r;
    const int product = r.add(KindProduct, 10, 10, 120, 0);
    const int button = r.add(KindButton, 10, 100);
    // a pass, a comparison and a stock reduction, round and round
    r.program(button, {
        B{0, 13, {}, 1},
        B{1, BlockBranch, {product, "B", ">", -1, -500}, 2, 99},
        B{2, BlockReduceStock, {product}, 0},
    });
    long long blocks = 0;
    for (auto _ : state) {
        r.m.part(product).B() = 30000;
        r.m.app.ExecCount = 0;
        for (int next = 0; next != -1; ++blocks)
            next = r.engine.executeBlock(button, next);
        benchmark::DoNotOptimize(r.m.part(product).B());
        r.view.messages.clear(); // the guard's message, once a pass

    }
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsRate);
}
BENCHMARK(LoopingProgram);

// Run, 100 and 50 yen in, the button, the change lever, stop: 19 blocks, two coin sounds, one
// product sound, one message, the catalogue read twice.
void FullPurchase(benchmark::State &state)
{
    Rig r;
    buildVendingMachine(r);
    for (auto _ : state) {
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
    state.counters["purchases/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FullPurchase);

} // namespace
