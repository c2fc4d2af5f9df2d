// The block interpreter's workloads timed the same way in both worlds, native and WebAssembly
// under node (bench/wasm/compare.sh runs both side by side): blocks a second on a looping
// program and the time of a whole purchase. Each figure is the best of several rounds of at
// least 0.3 seconds.
//
//   engine_timing [ROUNDS]
#include "EngineWorkloads.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    jhk::testing::LoopingProgram looping;
    jhk::testing::FullPurchase purchase;
    looping.runOnce();
    purchase.runOnce();

    double bestBlocksPerSecond = 0;
    double bestPurchaseMicroseconds = 1e30;
    for (int round = 0; round < rounds; ++round) {
        long long blocks = 0;
        Clock::time_point start = Clock::now();
        while (seconds(start) < 0.3)
            blocks += looping.runOnce();
        bestBlocksPerSecond = std::max(bestBlocksPerSecond, static_cast<double>(blocks) / seconds(start));

        long long purchases = 0;
        start = Clock::now();
        while (seconds(start) < 0.3) {
            purchase.runOnce();
            ++purchases;
        }
        bestPurchaseMicroseconds = std::min(bestPurchaseMicroseconds, seconds(start) * 1e6 / static_cast<double>(purchases));
    }
    std::printf("looping program  %.0f blocks/s\n", bestBlocksPerSecond);
    std::printf("whole purchase   %.2f us\n", bestPurchaseMicroseconds);
    return 0;
}
