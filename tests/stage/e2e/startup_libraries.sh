#!/bin/sh
# Start-up stays light: the splash window, and a machine file opened straight into its main
# window, come up without Qt Multimedia (loaded with the first sound) and Qt Print Support
# (loaded with the first print); the splash also without any image-format plugin (its picture
# is used as it is stored in the program). Read from /proc/PID/maps of the
# running program. Run under an X server (xvfb-run).
#   startup_libraries.sh PROGRAM LOOP_MACHINE_MAKER
set -eu
program=$1
maker=$2
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
# Settings and recovery copies of its own: nothing of an earlier session opens extra windows.
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
export QT_QPA_PLATFORM=xcb
"$maker" "$work/machine.jhk" >/dev/null
status=0

# check WHAT PATTERN [ARG]: starts the program, waits for its first window and fails when a
# mapped file matches PATTERN.
check() {
    what=$1
    pattern=$2
    shift 2
    "$program" "$@" &
    pid=$!
    if ! timeout 30 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null; then
        echo "FAIL $what: no window"
        status=1
    elif loaded=$(grep -E "$pattern" "/proc/$pid/maps"); then
        echo "FAIL $what loads:"
        echo "$loaded" | awk '{ print "  " $NF }' | sort -u
        status=1
    else
        echo "ok   $what"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

check "the splash" 'libQt6Multimedia|libQt6PrintSupport|/imageformats/'
check "a machine file's main window" 'libQt6Multimedia|libQt6PrintSupport' "$work/machine.jhk"
exit $status
