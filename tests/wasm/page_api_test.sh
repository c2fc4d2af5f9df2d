#!/bin/sh
# The page module's API test: writes the sample machine, lets the native simulator buy from
# it and save it, then runs page_api_test.mjs, which must save the same bytes.
#   sh page_api_test.sh NODE SITE_DIR APP_DIR SAMPLE_MAKER WORK
set -eu
node=$1 site=$2 app=$3 maker=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
"$maker" "$work/machine.jhk"
printf 'run\ncoin 100\ncoin 50\ntouch 1\ntouch 5\nstop\nsave %s\n' "$work/after.jhk" \
    | "$app/jihankobo-sim" "$work/machine.jhk" >/dev/null
exec "$node" "$here/page_api_test.mjs" "$site" "$app" "$work/machine.jhk" "$work/after.jhk"
