#!/bin/sh
# Builds the program and makes its Debian package (jihankobo_VERSION_amd64.deb) in the
# build folder. Needs what scripts/install-deps.sh installs.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-package}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJHK_BUILD_TESTS=OFF
cmake --build "$BUILD_DIR"
cd "$BUILD_DIR"
cpack -G DEB
ls -l "$PWD"/jihankobo_*.deb
