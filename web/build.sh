#!/bin/sh
# Writes the page's files into OUT/site/: the page (HTML, compiled TypeScript, CSS), the service
# worker and manifest with the program's icons, the application folder's data files (tables,
# pictures, sounds) under app/, the built-in pictures under builtin/ and the page's Japanese font
# with its licence. The page module (jihankobo-core.js/.wasm) is put beside them by scripts/web.sh.
#
# usage: sh web/build.sh OUT
set -eu
[ $# -eq 1 ] || { echo "usage: sh web/build.sh OUT" >&2; exit 2; }
WEB=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$WEB/.." && pwd)
mkdir -p "$1"
OUT=$(cd "$1" && pwd)
SITE="$OUT/site"
mkdir -p "$SITE"

cd "$WEB"
# Installed exactly as the lock file says; again only when the lock file changed.
if [ ! -f node_modules/.package-lock.json ] || ! cmp -s package-lock.json node_modules/.jhk-lock; then
    npm ci --no-audit --no-fund --loglevel=error
    cp package-lock.json node_modules/.jhk-lock
fi
./node_modules/.bin/tsc -p .
./node_modules/.bin/esbuild src/main.ts --bundle --format=esm --minify --target=es2020 \
    --external:./jihankobo-core.js --log-level=warning --outfile="$SITE/page.js"
./node_modules/.bin/esbuild src/sw.ts --bundle --minify --target=es2020 --log-level=warning --outfile="$SITE/sw.js.tmp"

cp static/index.html static/page.css static/print.css static/manifest.webmanifest "$SITE/"
rm -rf "$SITE/app" "$SITE/builtin" "$SITE/icons" "$SITE/fonts"
mkdir -p "$SITE/app" "$SITE/icons" "$SITE/fonts"

# The application folder: everything the desktop program reads beside itself.
ASSETS="$ROOT/src/assets"
for f in jihan.ini block.ini "$ASSETS"/*.wav "$ASSETS"/*.WAV; do
    f=$(basename "$f")
    [ -f "$ASSETS/$f" ] && cp "$ASSETS/$f" "$SITE/app/"
done
for d in bg BG; do
    [ -d "$ASSETS/$d" ] && cp -R "$ASSETS/$d" "$SITE/app/"
done
cp -R "$ASSETS/builtin" "$SITE/builtin"
cp "$ROOT"/src/app/icons/jihankobo-*.png "$ROOT/src/app/icons/jihankobo.svg" "$SITE/icons/"

# The font: the Gothic font cut down to what the program shows, under a name of its own. Without
# fontTools or the font the page uses the system's Japanese font (a warning says so).
FONT=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
if [ -f "$FONT" ] && /usr/bin/python3 -c 'import fontTools.subset, brotli' 2>/dev/null; then
    TEXTS=$(find "$ROOT/src" "$WEB/src" "$WEB/static" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.ini' -o -name '*.ts' -o -name '*.html' \) | sort)
    # shellcheck disable=SC2086
    /usr/bin/python3 tools/subset_font.py "$FONT" "$SITE/fonts/jhk-gothic.woff2" $TEXTS
    cp /usr/share/doc/fonts-ipafont-gothic/copyright "$SITE/fonts/LICENSE-jhk-gothic.txt"
    # Latin letters and digits in the font the desktop's windows draw them in.
    LATIN=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    if [ -f "$LATIN" ]; then
        /usr/bin/python3 tools/subset_font.py --latin "$LATIN" "$SITE/fonts/jhk-sans.woff2"
        /usr/bin/python3 tools/subset_font.py --latin "${LATIN%.ttf}-Bold.ttf" "$SITE/fonts/jhk-sans-bold.woff2"
        cp /usr/share/doc/fonts-dejavu-core/copyright "$SITE/fonts/LICENSE-jhk-sans.txt"
    fi
else
    echo "web/build.sh: warning: no fontTools or IPA Gothic (sh scripts/install-deps.sh): the page uses the system's font" >&2
fi

# Lists of the site's files: the application folder for the page, everything for the cache.
cd "$SITE"
find app -type f ! -name files.json ! -name 'pack.bin*' | sed 's|^app/||' | LC_ALL=C sort \
    | node -e 'const l=require("fs").readFileSync(0,"utf8").split("\n").filter(Boolean);process.stdout.write(JSON.stringify(l))' > app/files.json
# The stage backgrounds stay out of the pack: a machine shows one of the five, fetched when it
# is drawn; the page module reads none of them.
node "$WEB/tools/pack.mjs" app app/files.json app/pack.bin.gz '^bg/bg[0-9]+\.bmp$'
# A new build is a new cache, the page module's files included.
BUILD_ID=$(cat page.js page.css print.css index.html app/pack.bin.gz $(ls jihankobo-core.js jihankobo-core.wasm 2>/dev/null) | sha256sum | cut -c1-16)
sed "s/__BUILD_ID__/$BUILD_ID/" sw.js.tmp > sw.js
rm sw.js.tmp
# The page reads the application folder from pack.bin.gz: its single files stay on the site for
# other pages and tools (and browsers without DecompressionStream), out of the cache, except the
# backgrounds the pack leaves out.
find . -type f ! -name sw.js ! -name precache.json ! -path './fonts/LICENSE*' ! -name '*.jhk' ! -name 'splash.bmp' \
    \( ! -path './app/*' -o -name pack.bin.gz -o -ipath './app/bg/bg[0-9]*.bmp' \) \
    ! -path './builtin/paint/*' ! -path './builtin/thumbs/*' | sed 's|^\./||' | LC_ALL=C sort \
    | node -e 'const l=require("fs").readFileSync(0,"utf8").split("\n").filter(Boolean);const m=["jihankobo-core.js","jihankobo-core.wasm"].filter(f=>!l.includes(f));process.stdout.write(JSON.stringify(["./",...l,...m]))' > precache.json
echo "page written to $SITE"
