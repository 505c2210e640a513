#!/usr/bin/env bash
# Plays a few seconds of the built game in a private X server (walks, aims, fires) and saves one
# frame with a shot in flight as a PNG for the README. Needs a build (./run.sh or ./test.sh),
# xdotool and ImageMagick.
#
# Usage: scripts/screenshot.sh [BUILD_FOLDER] [OUTPUT.png]    (build/, docs/screenshot.png)
set -euo pipefail
shopt -s inherit_errexit
if [ -z "${SHOT_IN_XVFB:-}" ]; then
    SHOT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=$(cd "${1:-build}" && pwd)
output=$(realpath "${2:-$(dirname "$0")/../docs/screenshot.png}")
(cd "$build" && exec ./arenaBattle) &
game=$!
sleep 2
wid=$(xdotool search --classname arena-battle | head -n 1)
xdotool windowfocus "$wid" mousemove --window "$wid" 320 240 keydown d sleep 0.15 keyup d \
    mousemove_relative -- -120 -90 click 1 sleep 0.3 keydown w sleep 0.15 keyup w \
    mousemove_relative -- 200 40 sleep 0.5 click 1 sleep 0.1
# -strip leaves out time stamps, so an unchanged picture gives an unchanged file.
import -window "$wid" -strip "$output"
xdotool key Escape
wait "$game"
shots=$(convert "$output" -fill black +opaque '#FF961E' -fill white -opaque '#FF961E' \
    -format '%[fx:round(mean*w*h)]' info:)
[ "$shots" -gt 0 ] || { echo "no shot in flight in $output" >&2 && exit 1; }
echo "wrote $output"
