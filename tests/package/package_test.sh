#!/bin/sh
# Builds the Debian package from a finished build folder, checks its contents and metadata,
# installs it with apt-get, uses the installed programs (a purchase with jihankobo-sim, a
# printout with jihankobo --print-pdf), removes it with apt-get purge and checks that nothing
# of it is left under /usr. Usage: package_test.sh BUILD_DIR SAMPLE_MACHINE_TOOL VERSION
set -eu
build=$1
make_machine=$2
version=$3

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null || ! command -v cpack >/dev/null; then
    echo "package test skipped: needs root, apt-get and cpack"
    exit 77
fi
for tool in dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate pdftotext; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)"; exit 1; }
done
if dpkg -s jihankobo >/dev/null 2>&1; then
    echo "package test skipped: a jihankobo package is already installed here"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${installed:-}" ] && apt-get purge -y -q jihankobo >/dev/null 2>&1 || true' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Build the package into a folder of its own.
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/jihankobo_*.deb)
[ "$(basename "$deb")" = "jihankobo_${version}_amd64.deb" ] || fail "package name $(basename "$deb")"

# Its files.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' | sort >"$work/files"
for f in /usr/bin/jihankobo /usr/bin/jihankobo-sim /usr/bin/jihankobo-check \
         /usr/lib/jihankobo/jihankobo-sound.so /usr/lib/jihankobo/jihankobo-print.so \
         /usr/share/jihankobo/jihan.ini /usr/share/jihankobo/block.ini /usr/share/jihankobo/kan.wav \
         /usr/share/jihankobo/Money_1.wav /usr/share/jihankobo/bg/BG0.bmp /usr/share/jihankobo/bg/kan_1.bmp \
         /usr/share/applications/org.jihankobo.JihanKobo.desktop \
         /usr/share/metainfo/org.jihankobo.JihanKobo.metainfo.xml \
         /usr/share/mime/packages/jihankobo-jhk.xml \
         /usr/share/icons/hicolor/16x16/apps/jihankobo.png /usr/share/icons/hicolor/32x32/apps/jihankobo.png \
         /usr/share/icons/hicolor/48x48/apps/jihankobo.png /usr/share/icons/hicolor/64x64/apps/jihankobo.png \
         /usr/share/icons/hicolor/128x128/apps/jihankobo.png /usr/share/icons/hicolor/256x256/apps/jihankobo.png \
         /usr/share/icons/hicolor/scalable/apps/jihankobo.svg \
         /usr/share/man/man1/jihankobo.1.gz /usr/share/man/man1/jihankobo-sim.1.gz \
         /usr/share/man/man1/jihankobo-check.1.gz \
         /usr/share/doc/jihankobo/copyright /usr/share/doc/jihankobo/changelog.gz \
         /usr/share/doc/jihankobo/teachers-guide.md; do
    grep -qx "$f" "$work/files" || fail "the package lacks $f"
done
# The checker's manual page carries its options, written from the program's own table.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/jihankobo-check.1.gz | gzip -dc >"$work/check.1"
grep -q 'save\\-diffs' "$work/check.1" && ! grep -q '@OPTIONS@' "$work/check.1" \
    || fail "jihankobo-check.1 lacks its options"
! grep -q '^/usr/lib/jihankobo/.*\.a$\|/include/\|test' "$work/files" || fail "build leftovers in the package"

# Its metadata.
dpkg-deb -I "$deb" >"$work/info"
for field in "Package: jihankobo" "Version: $version" "Architecture: amd64" "Section: education"; do
    grep -q "^ $field\$" "$work/info" || fail "control lacks '$field'"
done
depends=$(sed -n 's/^ Depends: //p' "$work/info")
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libqt6multimedia6 libqt6printsupport6 libcups2 \
           fonts-ipafont-gothic qt6-translations-l10n libc6; do
    echo "$depends" | grep -q "$dep" || fail "Depends lacks $dep: $depends"
done
mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/org.jihankobo.JihanKobo.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/org.jihankobo.JihanKobo.metainfo.xml" || fail "metainfo"
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
! grep -q '^E: ' "$work/lintian" || fail "lintian reports errors"

# Install it as a school's technician would.
DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }
installed=1
/usr/bin/jihankobo-sim --version | grep -qx "jihankobo-sim $version" || fail "jihankobo-sim --version"
/usr/bin/jihankobo --version | grep -qx "jihankobo $version" || fail "jihankobo --version"
/usr/bin/jihankobo-check --version | grep -qx "jihankobo-check $version" || fail "jihankobo-check --version"

# A purchase on the installed simulator: 150 yen in, the drink out, 30 yen back.
"$make_machine" "$work/machine.jhk"
cd "$work"
printf 'run\ncoin 100\ncoin 50\ntouch 1\ntouch 5\nstate\nstop\n' | /usr/bin/jihankobo-sim machine.jhk >"$work/sim.out" \
    || { cat "$work/sim.out"; fail "jihankobo-sim"; }
grep -q "^sound	kan.wav" "$work/sim.out" || { cat "$work/sim.out"; fail "no drink came out"; }
grep -q '^list	  商品排出$' "$work/sim.out" || { cat "$work/sim.out"; fail "the button's program did not discharge"; }

# The printout from the installed program, without a display.
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/jihankobo --print-pdf machine.jhk "$work/print.pdf" || fail "jihankobo --print-pdf"
pdftotext "$work/print.pdf" - | grep -q 'ジハンコウボウ' || fail "the printout lacks its header"

# Remove it: nothing of it stays under /usr.
cd /
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 jihankobo >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge"; }
installed=
left=""
while read -r f; do
    [ -e "$f" ] || continue
    [ -d "$f" ] && continue
    left="$left $f"
done <"$work/files"
for d in /usr/share/jihankobo /usr/lib/jihankobo /usr/share/doc/jihankobo; do
    [ ! -e "$d" ] || left="$left $d"
done
[ -z "$left" ] || fail "left behind after purge:$left"
echo "package test passed: $(basename "$deb")"
