#!/usr/bin/env bash
# Plays a few seconds of the built game in a private X server (walks, aims, fires) and saves one
# frame with a shot in flight as a PNG for the README. Needs a build (./run.sh or ./test.sh).
#
# Usage: scripts/screenshot.sh [BUILD_FOLDER] [OUTPUT.png]    (build/, docs/screenshot.png)
set -euo pipefail
shopt -s inherit_errexit
source "$(dirname "$0")/gameScripts.sh"
inPrivateX "$@"
build=$(cd "${1:-build}" && pwd)
output=$(realpath "${2:-$scripts/../docs/screenshot.png}")
needBuilt "$build/arenaBattle" "$build/picData.dat"
startIn "$build" "$work/out" ./arenaBattle
waitFor 30 findWindow arena-battle || fail "no window: $(cat "$work/out")"
sleep 1
xdotool windowfocus "$wid" mousemove --window "$wid" 320 240 keydown d sleep 0.15 keyup d \
    mousemove_relative -- -120 -90 click 1 sleep 0.3 keydown w sleep 0.15 keyup w \
    mousemove_relative -- 200 40 sleep 0.5 click 1 sleep 0.1
# -strip leaves out time stamps, so an unchanged picture gives an unchanged file.
import -window "$wid" -strip "$output"
xdotool key Escape
expectEnd 0
shots=$(convert "$output" -fill black +opaque '#FF961E' -fill white -opaque '#FF961E' \
    -format '%[fx:round(mean*w*h)]' info:)
[ "$shots" -gt 0 ] || fail "no shot in flight in $output"
echo "wrote $output"
