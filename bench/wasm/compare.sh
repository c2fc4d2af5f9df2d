#!/bin/sh
# The WebAssembly world against the native one, measured side by side in one run: the page
# module's size (and gzipped), and the block interpreter's workloads (a looping program, a
# whole purchase) timed by the same program natively and under node.
#
#   sh bench/wasm/compare.sh NATIVE_BUILD WEB_OUT [ROUNDS]
#
# NATIVE_BUILD is a build folder configured with -DJHK_BUILD_BENCH=ON (engine_timing built);
# WEB_OUT a folder built by `sh scripts/web.sh build` with WEB_TARGETS including engine_timing
# (scripts/test.sh builds it).
set -eu
native=$1/bench/wasm/engine_timing
node_timing=$2/cmake/bench/wasm/engine_timing.js
site=$2/site
rounds=${3:-5}
for f in "$native" "$node_timing" "$site/jihankobo-core.wasm"; do
    [ -f "$f" ] || { echo "compare.sh: $f is missing" >&2; exit 1; }
done

size() { wc -c <"$1" | tr -d ' '; }
gzipped() { gzip -9 -c "$1" | wc -c | tr -d ' '; }
echo "page module                 bytes     gzipped"
for f in jihankobo-core.wasm jihankobo-core.js; do
    printf '%-24s %8s %11s\n' "$f" "$(size "$site/$f")" "$(gzipped "$site/$f")"
done
echo

n=$("$native" "$rounds")
w=$(node "$node_timing" "$rounds")
value() { echo "$1" | sed -n "s/^$2 *\([0-9.]*\).*/\1/p"; }
nb=$(value "$n" "looping program") wb=$(value "$w" "looping program")
np=$(value "$n" "whole purchase") wp=$(value "$w" "whole purchase")
echo "                       native    WebAssembly (node)   ratio"
awk -v nb="$nb" -v wb="$wb" -v np="$np" -v wp="$wp" 'BEGIN {
    printf "looping program   %10.0f   %12.0f blocks/s   %5.2f x slower\n", nb, wb, nb / wb
    printf "whole purchase    %10.2f   %12.2f us         %5.2f x slower\n", np, wp, wp / np
}'
