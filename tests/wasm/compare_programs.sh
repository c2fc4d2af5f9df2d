#!/bin/sh
# The simulator and the class checker built for node against the native ones: the same
# command lines on the same machines must print the same bytes, end with the same exit status
# and write the same files.
#
#   sh compare_programs.sh NATIVE_APP_DIR NODE_DIR SAMPLE_MAKER SCRIPTS_DIR WORK
#
# Each script of SCRIPTS_DIR runs on the sample machine with and without --trace; the
# machines that cannot be opened (missing, foreign, cut short) and malformed command lines
# run too. The checker checks the folder of those machines against the scenarios of
# SCRIPTS_DIR/../scenarios and against the sample as the model answer (CSV reports; the HTML
# page differs by design: only the desktop build draws the machines' pictures). Every case
# runs in a folder of its own per world, so `save NAME` and the reports are written there.
set -eu
native_app=$1 node_dir=$2 maker=$3 scripts=$4 work=$5
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
native_app=$(absolute "$native_app") node_dir=$(absolute "$node_dir") maker=$(absolute "$maker")
scripts=$(absolute "$scripts")
for f in "$node_dir/jihankobo-sim.js" "$node_dir/jihankobo-check.js"; do
    [ -f "$f" ] || { echo "compare_programs.sh: $f is missing" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/machines"
"$maker" "$work/machines/machine.jhk"
head -c 3000 "$work/machines/machine.jhk" >"$work/machines/cut.jhk"
printf 'just some text\n' >"$work/machines/foreign.jhk"

failures=0
cases=0

# run_case NAME ARGS...: runs the program ($program: jihankobo-sim or jihankobo-check) in
# both worlds with ARGS (paths absolute) and the file $input on its standard input.
input=/dev/null
program=jihankobo-sim
run_case() {
    name=$1
    shift
    cases=$((cases + 1))
    for world in native node; do
        dir="$work/$name/$world"
        mkdir -p "$dir"
        status=0
        if [ "$world" = native ]; then
            (cd "$dir" && "$native_app/$program" "$@" <"$input" >stdout 2>stderr) || status=$?
        else
            (cd "$dir" && node "$node_dir/$program.js" "$@" <"$input" >stdout 2>stderr) || status=$?
        fi
        echo "$status" >"$dir/status"
    done
    if ! diff -r "$work/$name/native" "$work/$name/node" >"$work/$name/diff"; then
        echo "DIFFERENT: $name ($*)"
        sed -n 1,40p "$work/$name/diff"
        failures=$((failures + 1))
    fi
}

m="$work/machines/machine.jhk"
for script in "$scripts"/*.txt; do
    base=$(basename "$script" .txt)
    run_case "$base" "$m" "$script"
    run_case "$base-trace" --trace "$m" "$script"
    # The script on standard input, with the application folder named.
    input=$script
    run_case "$base-stdin" --app-dir "$native_app" "$m"
    input=/dev/null
done
run_case missing-machine "$work/machines/none.jhk" "$scripts/purchase.txt"
run_case foreign-machine "$work/machines/foreign.jhk" "$scripts/purchase.txt"
run_case cut-machine "$work/machines/cut.jhk" "$scripts/purchase.txt"
run_case missing-script "$m" "$work/machines/no-script.txt"
run_case unknown-option --speed 3 "$m"
run_case too-many "$m" a.txt b.txt
run_case version --version
run_case help --help
export LANG=ja_JP.UTF-8
run_case help-japanese --help
unset LANG

program=jihankobo-check
class="$work/machines"
run_case check-scenarios --jobs 1 --csv report.csv "$scripts/../scenarios/kounyuu.txt" "$class"
run_case check-model --jobs 1 --csv report.csv --model "$m" --runs 3 --seed 7 "$class"
run_case check-one-machine --quiet "$scripts/../scenarios/kounyuu.txt" "$m"
run_case check-bad-line --jobs 1 "$scripts/refused.txt" "$class"
run_case check-version --version
export LANG=ja_JP.UTF-8
run_case check-help-japanese --help
unset LANG
program=jihankobo-sim

# The exit statuses that matter, seen in the native world (the node one matched it).
expect() {
    got=$(cat "$work/$1/native/status")
    [ "$got" = "$2" ] || { echo "UNEXPECTED: $1 ended with $got, not $2"; failures=$((failures + 1)); }
}
expect purchase 0
expect refused 2
expect missing-machine 1
expect cut-machine 1
expect unknown-option 2
expect check-scenarios 1
expect check-bad-line 2
[ -s "$work/check-scenarios/native/report.csv" ] || { echo "UNEXPECTED: the check wrote no CSV"; failures=$((failures + 1)); }
[ -s "$work/purchase/native/purchased.jhk" ] || { echo "UNEXPECTED: purchase saved nothing"; failures=$((failures + 1)); }

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
