#!/usr/bin/env bash
# Measures the real game in a private X server: time from start to first frame, then processor
# use, frames shown, the HUD's fps figure and memory over a stretch of play, each next to its
# goal. Builds nothing: build first (the measureGame target, part of the window tests).
#
# Usage: scripts/measureGame.sh [BUILD_FOLDER] [--seconds S] [--runs R]
#        default build folder: build/
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    build="$1"
    shift
fi

for needed in measureGame arenaBattle picData.dat; do
    if [ ! -e "$build/$needed" ]; then
        echo "measureGame.sh: $build/$needed is missing; build first" >&2
        exit 1
    fi
done
exec "$build/measureGame" --game "$build/arenaBattle" --pic-data "$build/picData.dat" "$@"
