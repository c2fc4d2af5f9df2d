// What the run view costs a run: whole purchases on a level-3 machine with the run view's model
// watching the engine, beside the same purchases with nobody watching (the run view closed).
// The window draws at most once per pass of the event loop; this is the cost per event.
#include "EngineRig.h"
#include "rules/RunViewModel.h"

#include <benchmark/benchmark.h>

using namespace jhk;
using namespace jhk::testing;

namespace {

// Run, 100 and 50 yen in, the button, the change lever, stop.
void purchases(benchmark::State &state, bool watched)
{
    Rig r;
    buildVendingMachine(r);
    RunViewModel model(r.m, r.catalogue);
    model.setChangeHandler([] {});
    if (watched)
        r.engine.setObserver(&model);
    for (auto _ : state) {
        r.engine.startRun();
        if (watched) // the window reads the machine again after each command
            model.sync();
        r.dropCoin(2);
        r.dropCoin(3);
        r.engine.touchPart(Button);
        r.engine.touchPart(Lever);
        r.engine.stopRun();
        if (watched) {
            model.sync();
            model.takeChanged();
        }
        r.view.messages.clear();
        r.view.lines.clear();
        r.player.played.clear();
        r.m.part(Product).B() = 5;
    }
    state.counters["purchases/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void PurchaseRunViewClosed(benchmark::State &state) { purchases(state, false); }
void PurchaseRunViewOpen(benchmark::State &state) { purchases(state, true); }
BENCHMARK(PurchaseRunViewClosed);
BENCHMARK(PurchaseRunViewOpen);

} // namespace
