#!/bin/sh
# Start-up benchmark: how long the program takes to its first mapped window, against a minimal
# Qt window of the same size, on a private X server (Xvfb). Both are started in turn, RUNS
# times each (15 by default); the medians and their ratio are printed. So is the time to each
# window's first drawn frame (the first pixels sent to it, seen by a probe loaded into both):
# work done after the mapping but before the window shows anything counts there.
#
#   [XVFB_DISPLAY=N] [RUNS=15] sh bench/startup.sh BUILD_DIR [MACHINE.jhk]
#
# Without a machine it times the splash window (436 × 286 with frame and caption, 428 × 256
# inside) against a plain window of that inside size,
# and also shows a window with a picture and three lines of Japanese text made the usual way.
# With one it times `jihankobo MACHINE.jhk`, which opens straight into the main window
# (785 × 559, 777 × 529 inside), against a main window of that inside size with three menus
# and twenty child widgets.
# Both run with a private session bus when dbus-daemon is there (NO_SESSION_BUS=1: without).
set -eu

build=${1:?usage: sh bench/startup.sh BUILD_DIR [MACHINE.jhk]}
machine=${2:-}
runs=${RUNS:-15}
program="$build/app/jihankobo"
watch="$build/bench/first_map"
probe="$build/bench/libfirst_frame.so"
reference="$build/bench/startup_reference"
for f in "$program" "$watch" "$reference" "$probe"; do
    [ -f "$f" ] || { echo "startup.sh: $f is missing: build with -DJHK_BUILD_BENCH=ON" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
bus_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# A display of its own: XVFB_DISPLAY=N names a free number, else Xvfb picks one and writes
# it to descriptor 3.
if [ -n "${XVFB_DISPLAY:-}" ]; then
    Xvfb ":$XVFB_DISPLAY" -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
    echo "$XVFB_DISPLAY" >"$work/display"
else
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
fi
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && [ -S "/tmp/.X11-unix/X$(cat "$work/display")" ] && break
    sleep 0.1
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"

# A session bus of its own, as every desktop has: without one, each Qt program showing text
# spends milliseconds trying to start one for its accessibility support. NO_SESSION_BUS=1
# leaves it out.
bus_note="without a session bus"
if [ -z "${NO_SESSION_BUS:-}" ] && command -v dbus-daemon >/dev/null; then
    dbus-daemon --session --fork --nopidfile --address="unix:path=$work/bus" \
        --print-pid=4 4>"$work/bus.pid" >/dev/null
    bus_pid=$(cat "$work/bus.pid")
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
    export DBUS_SESSION_BUS_ADDRESS
    bus_note="with a session bus"
else
    unset DBUS_SESSION_BUS_ADDRESS
fi

if [ -n "$machine" ]; then
    set -- "$program" "$machine"
    label="jihankobo $(basename "$machine") (main window)"
    ref="777 529 menus"
else
    set -- "$program"
    label="jihankobo (splash)"
    ref="428 256"
    # For comparison: a window showing a picture and three lines of Japanese text the usual
    # way (each label sized to its text before the window is shown).
    floor="428 256 splash"
fi

# first_map with the probe: the times to the first window and to its first frame, on one line.
timed() {
    "$watch" --frame "$probe" "$@"
}
# One run of each first, not counted: the files are then in the page cache for both.
timed "$@" >/dev/null
timed "$reference" $ref >/dev/null
: >"$work/program.ms"
: >"$work/reference.ms"
: >"$work/floor.ms"
i=0
while [ "$i" -lt "$runs" ]; do
    timed "$@" >>"$work/program.ms"
    timed "$reference" $ref >>"$work/reference.ms"
    [ -n "${floor:-}" ] && timed "$reference" $floor >>"$work/floor.ms"
    i=$((i + 1))
done

# The median of column $2 (1: the mapping, 2: the first frame) of file $1.
median() {
    awk -v c="$2" '{ print $c }' "$1" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
a=$(median "$work/program.ms" 1)
b=$(median "$work/reference.ms" 1)
af=$(median "$work/program.ms" 2)
bf=$(median "$work/reference.ms" 2)
printf '%s runs each, %s; medians in ms\n' "$runs" "$bus_note"
printf '%-40s %14s %14s\n' "" "first window" "first frame"
printf '%-40s %14.1f %14.1f\n' "$label" "$a" "$af"
printf '%-40s %14.1f %14.1f\n' "minimal Qt window of the same size" "$b" "$bf"
printf '%-40s %14s %14s\n' "ratio" "$(ratio "$a" "$b")" "$(ratio "$af" "$bf")"
if [ -n "${floor:-}" ]; then
    c=$(median "$work/floor.ms" 1)
    cf=$(median "$work/floor.ms" 2)
    printf '%-40s %14.1f %14.1f\n' "usual window with picture and 3 texts" "$c" "$cf"
    printf '%-40s %14s %14s\n' "  its ratio to the minimal window" "$(ratio "$c" "$b")" "$(ratio "$cf" "$bf")"
fi
