// Speed of the block interpreter: blocks per second on a program that loops until the
// endless-loop guard stops it, and whole purchases on a level-3 machine.
#include "EngineWorkloads.h"

#include <benchmark/benchmark.h>

using namespace jhk;
using namespace jhk::testing;

namespace {

void LoopingProgram(benchmark::State &state)
{
    jhk::testing::LoopingProgram w;
    long long blocks = 0;
    for (auto _ : state) {
        blocks += w.runOnce();
        benchmark::DoNotOptimize(w.r.m.part(w.product).B());
    }
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsRate);
}
BENCHMARK(LoopingProgram);

void FullPurchase(benchmark::State &state)
{
    jhk::testing::FullPurchase w;
    for (auto _ : state)
        w.runOnce();
    state.counters["purchases/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FullPurchase);

} // namespace
