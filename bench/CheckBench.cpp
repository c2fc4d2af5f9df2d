// The class checker on a class of 40 full machines (four products and buttons, coin slot,
// amount display, outlets and change lever each): ten scenarios on every machine, and the
// model answer with 100 random sessions. Both on two threads, as on a two-core school server.
#include "CheckFixtures.h"

#include "check/ClassCheck.h"
#include "check/ModelAnswer.h"

#include <benchmark/benchmark.h>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

constexpr int ClassSize = 40;
constexpr int Jobs = 2;

struct FullClass {
    fs::path dir;
    std::string model;
    std::vector<MachineEntry> machines;
    std::vector<Scenario> scenarios;

    FullClass()
    {
        dir = fs::temp_directory_path() / "jhk-check-bench";
        fs::remove_all(dir);
        fs::create_directories(dir / "class");
        {
            Rig r;
            buildFullMachine(r);
            model = saveMachine(r, dir / "model.jhk");
        }
        for (int i = 0; i < ClassSize; ++i) {
            Rig r;
            buildFullMachine(r, i);
            const std::string name = "pupil" + std::to_string(i + 10) + ".jhk";
            saveMachine(r, dir / "class" / name);
        }
        machines = findMachines({(dir / "class").string()}).machines;
        scenarios = parseScenarios(fullMachineScenarios(), "full.txt", Language::English).scenarios;
    }
    ~FullClass() { fs::remove_all(dir); }
};

FullClass &fullClass()
{
    static FullClass c;
    return c;
}

bool allPassed(const std::vector<MachineResult> &results)
{
    for (const MachineResult &r : results) {
        if (!r.passed())
            return false;
    }
    return true;
}

void FortyMachinesTenScenarios(benchmark::State &state)
{
    FullClass &c = fullClass();
    ClassCheck check{JHK_APP_DIR, c.machines, c.scenarios, nullptr, Jobs};
    for (auto _ : state) {
        const auto results = check.run();
        if (!allPassed(results) || results.size() != ClassSize || c.scenarios.size() != 10)
            state.SkipWithError("the full class does not pass its scenarios");
    }
    state.counters["scenarios/s"] = benchmark::Counter(static_cast<double>(state.iterations() * ClassSize * 10),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(FortyMachinesTenScenarios)->Unit(benchmark::kMillisecond)->UseRealTime();

void FortyMachinesModelAnswerHundredRuns(benchmark::State &state)
{
    FullClass &c = fullClass();
    for (auto _ : state) {
        std::string error;
        const auto model = ModelAnswer::build(JHK_APP_DIR, c.model, 100, 1, error);
        ClassCheck check{JHK_APP_DIR, c.machines, {}, &*model, Jobs};
        const auto results = check.run();
        if (!allPassed(results))
            state.SkipWithError("a machine of the full class diverges from the model");
    }
    state.counters["sessions/s"] = benchmark::Counter(static_cast<double>(state.iterations() * ClassSize * 100),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(FortyMachinesModelAnswerHundredRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
