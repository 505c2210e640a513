#!/usr/bin/env bash
# Counts the instructions of the whole running game (every thread) per frame shown, against its
# floor (build/floor: a bare Allegro loop that clears and copies the whole frame), under valgrind's
# callgrind in a private X server. Each program starts with instrumentation off; once its first
# frame is up, counting is switched on for a few rounds of play: F10, then each 300 ms one of D,
# S, A, W held, the mouse moved and a click (a shot), while the homing enemies come in. Then the
# game alone is counted crowded: F10, then, left out of the count, 310 ticks in which all 30
# homing enemies come in (one every 10 ticks) and none is shot, then the same seconds counted
# while the player only steps to and fro (the crowd soon destroys it; the enemies walk on). A
# frame shown is a call of vsync. Prints per run and as medians: instructions per frame, frames,
# and for the game ticks, ticks with a player listed and homing enemies per tick, then
# game / floor for each against its goal.
#
# Usage: bench/callgrindGame.sh [BUILD_FOLDER] [--rounds N] [--seconds S] [--runs R]
#        (build/, 3 rounds of 8 s, 3 runs)
set -euo pipefail
shopt -s inherit_errexit
source "$(dirname "$0")/../scripts/gameScripts.sh"
inPrivateX "$@"
ensurePackages valgrind
build=build rounds=3 seconds=8 runs=3
while [ $# -gt 0 ]; do
    if [[ "$1" =~ ^--(rounds|seconds|runs)$ ]]; then
        printf -v "${1#--}" %d "$2" && shift
    else
        build=$1
    fi
    shift
done
build=$(cd "$build" && pwd)
needBuilt "$build/arenaBattle" "$build/picData.dat" "$build/floor"
# Under callgrind a program starts and ends many times slower.
slow=2
counts() { /usr/bin/python3 "$(dirname "$0")/callgrindCounts.py" "$@"; }
# Dumps the count since the last dump, and adds to file $1 its instructions and the calls of
# vsync (a frame shown), applyInput (a tick), and the player's and the homing enemies' ticks.
dumpTo() {
    callgrind_control -d "$pid" >/dev/null 2>&1
    local dump=$work/count.out.$((++dumps))
    waitFor 10 test -s "$dump" || fail "no count written"
    counts sum "$dump" vsync 'battleMain::applyInput()' \
        'playerUnit::processInput(dataObj*, unitList*)' \
        'homingUnit::processInput(dataObj*, unitList*)' >>"$1"
}
# For $1 s the player only steps right and left again, each 300 ms, and fires nothing.
stepFor() {
    local end=$((SECONDS + $1))
    while [ "$SECONDS" -lt "$end" ]; do xdotool key d sleep 0.3 key a sleep 0.3; done
}
# Plays the rounds against program $1 under callgrind and adds its count to $work/$2; the game
# is then counted crowded into $work/crowded.
count() {
    dumps=0
    startTimed "$build" "$work/$2.log" 60 valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$work/count.out" "$1"
    findWindow '^(arena-battle|allegro)$' || fail "$2 has no window"
    callgrind_control -i on "$pid" >/dev/null 2>&1
    for ((round = 0; round < rounds; round++)); do
        xdotool key F10
        playFor "$seconds"
    done
    dumpTo "$work/$2"
    if [ "$2" = game ]; then
        # The 30th homing enemy comes in at the battle's tick 300.
        xdotool key F10 && : >"$work/crowding"
        local deadline=$((SECONDS + 300))
        until [ "$(awk '{ t += $3 } END { print t + 0 }' "$work/crowding")" -ge 310 ]; do
            [ "$SECONDS" -lt "$deadline" ] || fail "the battle ran no 310 ticks within 300 s"
            stepFor 2 && dumpTo "$work/crowding"
        done
        stepFor "$seconds"
        dumpTo "$work/crowded"
    fi
    xdotool keydown Escape
    expectEnd 0
    xdotool keyup Escape
    rm -f "$work"/count.out*
}
for ((run = 1; run <= runs; run++)); do
    count "$build/arenaBattle" game
    count "$build/floor" floor
done
counts summary "$work/game" "$work/crowded" "$work/floor"
