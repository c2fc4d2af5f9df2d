#!/bin/sh
# Builds everything (program, simulator, tests, benchmarks) and runs all tests.
# Window tests run on Qt's offscreen platform; the few that need a real display start
# their own Xvfb.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-test}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJHK_BUILD_BENCH=ON
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
# The tests never read or write the user's own settings or recovery copies.
XDG_CONFIG_HOME=$(mktemp -d)
XDG_DATA_HOME=$(mktemp -d)
export XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME
ctest --test-dir "$BUILD_DIR" --output-on-failure -j 2
