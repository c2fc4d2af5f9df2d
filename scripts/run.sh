#!/bin/sh
# Builds the program and starts it from the build tree.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" --target jihankobo
exec "$BUILD_DIR/app/jihankobo" "$@"
