#!/usr/bin/env bash
# Plays a few seconds of the game in a private X server (moves, aims, fires at the enemies) and
# saves one frame as a PNG for the README. Builds nothing: build first (the takeScreenshot
# target, part of the window tests). Needs Xvfb and ImageMagick's convert.
#
# Usage: scripts/screenshot.sh [BUILD_FOLDER] [OUTPUT.png]
#        defaults: build/ and docs/screenshot.png
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
# The game starts in a scratch folder of its own, where a relative path would mean nothing.
build="$(cd "$build" 2>/dev/null && pwd || echo "$build")"
output="${2:-$root/docs/screenshot.png}"

for needed in takeScreenshot arenaBattle picData.dat; do
    if [ ! -e "$build/$needed" ]; then
        echo "screenshot.sh: $build/$needed is missing; build first" >&2
        exit 1
    fi
done
if ! command -v convert >/dev/null; then
    echo "screenshot.sh: ImageMagick's convert is needed to write a PNG" >&2
    exit 1
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/takeScreenshot" --game "$build/arenaBattle" --pic-data "$build/picData.dat" \
    "$scratch/screenshot.ppm"
mkdir -p "$(dirname "$output")"
# -strip leaves out time stamps, so an unchanged picture gives an unchanged file.
convert "$scratch/screenshot.ppm" -strip "$output"
echo "wrote $output"
