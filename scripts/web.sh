#!/bin/sh
# The WebAssembly world: the simulator and the class checker for node, and the site with the
# module for pages.
#
#   sh scripts/web.sh build OUT        builds into the folder OUT:
#       OUT/node/jihankobo-sim.js, OUT/node/jihankobo-check.js  (node jihankobo-sim.js ...,
#           the native programs' command lines; the application folder beside them)
#       OUT/site/                      the pages' folder: jihankobo-core.js + .wasm, the
#           application folder's data files in app/ (listed in app/files.json), and the page
#       OUT/cmake/                     the build folder (emcmake, Release), the tests' too
#       OUT/emcache/                   emscripten's cache, started from Debian's prebuilt one
#   sh scripts/web.sh serve OUT [PORT] serves OUT/site on http://localhost:PORT (8080)
#   sh scripts/web.sh                  builds into build-web and serves it on port 8080
#
# JOBS=N sets the parallel compile jobs (2 by default); WEB_TARGETS names the targets to build
# (default: the programs and the module; scripts/test.sh builds all, the tests too).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
    echo "usage: sh scripts/web.sh [build OUT | serve OUT [PORT]]" >&2
    exit 2
}

build() {
    out=$1
    mkdir -p "$out"
    out=$(cd "$out" && pwd)
    # Debian's emscripten runs its JavaScript tools with the machine's node, which looks for
    # Debian's node packages (acorn) only when told where they are.
    NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    # The cache in the build folder: links to Debian's prebuilt libraries, so that a variant
    # Debian did not build can be built here without touching the system.
    if [ ! -d "$out/emcache/sysroot" ]; then
        rm -rf "$out/emcache"
        mkdir -p "$out/emcache"
        cp -rs /usr/share/emscripten/cache/. "$out/emcache/"
    fi
    EM_CACHE=$out/emcache
    EM_FROZEN_CACHE=
    export NODE_PATH EM_CACHE EM_FROZEN_CACHE
    if [ ! -f "$out/cmake/CMakeCache.txt" ]; then
        emcmake cmake -S "$root" -B "$out/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DJHK_BUILD_GUI=OFF -DJHK_BUILD_BENCH=ON \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
            ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
    fi
    # shellcheck disable=SC2086
    cmake --build "$out/cmake" -j "${JOBS:-2}" ${WEB_TARGETS---target jihankobo-sim jihankobo-check jihankobo-core}

    # The programs for node, with the application folder beside them.
    rm -rf "$out/node"
    mkdir -p "$out/node"
    cp -R "$out/cmake/app/." "$out/node/"

    # The site: the module and the application folder's data files for the page to hand it.
    mkdir -p "$out/site/app"
    cp "$out/cmake/site/jihankobo-core.js" "$out/cmake/site/jihankobo-core.wasm" "$out/site/"
    (cd "$out/cmake/app" && find . -type f \( -iname '*.ini' -o -iname '*.bmp' -o -iname '*.wav' \) | sed 's|^\./||' | sort) \
        >"$out/site/app/.files"
    : >"$out/site/app/files.json.tmp"
    printf '[' >>"$out/site/app/files.json.tmp"
    sep=
    while IFS= read -r f; do
        mkdir -p "$out/site/app/$(dirname "$f")"
        cp "$out/cmake/app/$f" "$out/site/app/$f"
        printf '%s"%s"' "$sep" "$f" >>"$out/site/app/files.json.tmp"
        sep=,
    done <"$out/site/app/.files"
    printf ']\n' >>"$out/site/app/files.json.tmp"
    mv "$out/site/app/files.json.tmp" "$out/site/app/files.json"
    rm -f "$out/site/app/.files"

    # The page itself (web/), built into the same site folder.
    if [ -f web/build.sh ]; then
        sh web/build.sh "$out"
    elif [ -f web/package.json ]; then
        (cd web && npm ci --no-audit --no-fund && npm run build -- "$out")
    fi
}

serve() {
    site=$1/site
    port=${2:-8080}
    [ -d "$site" ] || { echo "web.sh: $site is missing: build it first (sh scripts/web.sh build $1)" >&2; exit 1; }
    echo "Serving $site on http://localhost:$port (Ctrl+C ends)"
    exec python3 - "$site" "$port" <<'EOF'
import functools, http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript', '.mjs': 'text/javascript',
                      '.json': 'application/json', '.webmanifest': 'application/manifest+json'}
handler = functools.partial(Handler, directory=sys.argv[1])
http.server.ThreadingHTTPServer(('', int(sys.argv[2])), handler).serve_forever()
EOF
}

case "${1:-}" in
    build) [ $# -eq 2 ] || usage; build "$2" ;;
    serve) [ $# -ge 2 ] && [ $# -le 3 ] || usage; serve "$2" "${3:-8080}" ;;
    "") build build-web; serve build-web 8080 ;;
    *) usage ;;
esac
