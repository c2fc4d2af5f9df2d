#!/bin/sh
# Builds everything (program, simulator, tests, benchmarks) in both worlds, native and
# WebAssembly, and runs all tests.
# Window tests run on Qt's offscreen platform; the few that need a real display start
# their own Xvfb. The WebAssembly world (scripts/web.sh, in WEB_DIR) is built first: the
# native tree's tests across both worlds use its programs and its page module.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-test}
WEB_DIR=${WEB_DIR:-build-web}
started=$(date +%s)
WEB_TARGETS= sh scripts/web.sh build "$WEB_DIR"
echo "test.sh: the WebAssembly world built in $(($(date +%s) - started)) s"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJHK_BUILD_BENCH=ON \
    -DJHK_WEB_OUT="$(cd "$WEB_DIR" && pwd)"
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
# The tests never read or write the user's own settings or recovery copies.
XDG_CONFIG_HOME=$(mktemp -d)
XDG_DATA_HOME=$(mktemp -d)
export XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j 2 || status=1
# The core's unit tests compiled to WebAssembly, under node.
ctest --test-dir "$WEB_DIR/cmake" --output-on-failure -j 2 || status=1
exit $status
