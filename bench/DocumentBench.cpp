// Saving and opening a full machine: thirty parts with programs and ten labels.
#include "Machines.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

using namespace jhk;

void EncodeFullMachine(benchmark::State &state)
{
    const auto m = testing::fullMachine();
    for (auto _ : state) {
        EncodeResult r = encodeDocument(*m);
        benchmark::DoNotOptimize(r.bytes.data());
    }
}
BENCHMARK(EncodeFullMachine);

void DecodeFullMachine(benchmark::State &state)
{
    const std::vector<std::uint8_t> bytes = testing::encoded(*testing::fullMachine());
    auto m = testing::startupMachine();
    for (auto _ : state) {
        LoadResult r = decodeDocument(bytes, *m);
        if (!r.ok)
            state.SkipWithError(r.message.c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(DecodeFullMachine);

// The whole of the save command's work on the disk: a temporary file, synced and renamed.
void SaveFullMachineToFile(benchmark::State &state)
{
    char dir[] = "/tmp/jhk-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(dir) + "/full.jhk";
    const auto m = testing::fullMachine();
    for (auto _ : state) {
        SaveResult r = saveDocument(path, *m);
        if (!r.ok)
            state.SkipWithError(r.message.c_str());
    }
    std::remove(path.c_str());
    rmdir(dir);
}
BENCHMARK(SaveFullMachineToFile)->Unit(benchmark::kMillisecond);

void LoadFullMachineFromFile(benchmark::State &state)
{
    char dir[] = "/tmp/jhk-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(dir) + "/full.jhk";
    saveDocument(path, *testing::fullMachine());
    auto m = testing::startupMachine();
    for (auto _ : state) {
        LoadResult r = loadDocument(path, *m);
        if (!r.ok)
            state.SkipWithError(r.message.c_str());
    }
    std::remove(path.c_str());
    rmdir(dir);
}
BENCHMARK(LoadFullMachineFromFile);

} // namespace
