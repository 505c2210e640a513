#!/usr/bin/env bash
# Plays a few seconds of the built game in a private X server (walks, aims, fires) and saves one
# frame as a PNG for the README. Needs a build (./run.sh or ./test.sh), xdotool and ImageMagick.
#
# Usage: scripts/screenshot.sh [BUILD_FOLDER] [OUTPUT.png]    (build/, docs/screenshot.png)
set -euo pipefail
if [ -z "${SHOT_IN_XVFB:-}" ]; then
    SHOT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=$(cd "${1:-build}" && pwd)
output=$(realpath "${2:-$(dirname "$0")/../docs/screenshot.png}")
cd "$build" && ./arenaBattle &
sleep 2
xdotool mousemove 320 240 keydown d sleep 0.4 keyup d mousemove_relative -- -120 -90 click 1 \
    sleep 0.3 keydown w sleep 0.3 keyup w mousemove_relative -- 90 60 click 1 sleep 1.5
# -strip leaves out time stamps, so an unchanged picture gives an unchanged file.
import -window "$(xdotool search --classname allegro | head -n 1)" -strip "$output"
xdotool key Escape
wait
echo "wrote $output"
