#!/usr/bin/env bash
# Installs what is missing, builds, and measures the game:
#   1. the benchmarks (a frame of a battle in progress against its drawing floor, logic ticks of
#      31 to 1000 units, the sound's share of a frame, the effects' making, memory after play),
#      medians of 5 repetitions;
#   2. the real game against its floor, a bare Allegro program in the same window mode, in a
#      private X server under the same input (processor use, frames shown, memory, start to
#      first frame), and the game again without sound for the sound's cost, medians of 3 runs;
#   3. the instructions of the whole running game per frame shown, under callgrind, against its
#      floor, while playing and crowded (all 30 homing enemies in), medians of 3 runs;
#   4. a plot of tick cost against the number of units, build/tickCost.png, next to the figures
#      from before the collision scan's axis test (docs/benchData/beforeAxisTest.json).
# Each step prints its figures and the goals they are held to.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

BENCH_PACKAGES=("${HARNESS_PACKAGES[@]}" gnuplot-nox valgrind)
ensurePackages "${GAME_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
buildInto build -DBUILD_TESTING=ON

build/battleBench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out=build/bench.json --benchmark_out_format=json
echo
bench/measureGame.sh build --runs 3
echo
bench/callgrindGame.sh build --runs 3
echo
scripts/plotTickCost.sh build/bench.json build/tickCost.png docs/benchData/beforeAxisTest.json \
    "before the axis test (median)"
