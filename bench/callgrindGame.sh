#!/usr/bin/env bash
# Counts the instructions of the whole running game (every thread) per frame shown, against its
# floor (build/floor: a bare Allegro loop that clears and copies the whole frame), under valgrind's
# callgrind in a private X server. Each program starts with instrumentation off; once its first
# frame is up, counting is switched on for a few rounds of play: F10, then each 300 ms one of D,
# S, A, W held, the mouse moved and a click (a shot), while the homing enemies come in. A frame
# shown is a call of vsync. Prints per run and as medians: instructions per frame, frames, and
# for the game ticks, ticks with a player listed and homing enemies per tick, then game / floor.
#
# Usage: bench/callgrindGame.sh [BUILD_FOLDER] [--rounds N] [--seconds S] [--runs R]
#        (build/, 3 rounds of 8 s, 3 runs)
set -euo pipefail
shopt -s inherit_errexit
if [ -z "${COUNT_IN_XVFB:-}" ]; then
    COUNT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=build rounds=3 seconds=8 runs=3
while [ $# -gt 0 ]; do
    case "$1" in
    --rounds) rounds=$2 && shift ;;
    --seconds) seconds=$2 && shift ;;
    --runs) runs=$2 && shift ;;
    *) build=$1 ;;
    esac
    shift
done
build=$(cd "$build" && pwd)
work=$(mktemp -d)
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "callgrindGame: $*" >&2
    exit 1
}

# Sums callgrind's counts in file $1: all instructions, then the calls of each function named
# after it (callgrind writes a name once, then its number in brackets).
counts() {
    /usr/bin/python3 - "$@" <<'PY'
import re, sys
names, calls, total, callee = {}, {}, 0, None
def name(text):
    m = re.match(r"\((\d+)\)(?: (.*))?", text)
    if not m:
        return text
    if m.group(2):
        names[m.group(1)] = m.group(2)
    return names.get(m.group(1))
for line in open(sys.argv[1]):
    if line.startswith(("fn=", "cfn=")):
        n = name(line.split("=", 1)[1].strip())
        callee = n if line.startswith("cfn=") else callee
    elif line.startswith("calls=") and callee:
        calls[callee] = calls.get(callee, 0) + int(line[6:].split()[0])
    elif line.startswith("summary:"):
        total = int(line.split()[1])
print(total, *(calls.get(f, 0) for f in sys.argv[2:]))
PY
}
# Plays the rounds against program $1 under callgrind and adds "instructions frames ticks
# playerTicks homerTicks" to $work/$2.
measure() {
    local out="$work/$2.out" start wid
    (cd "$build" && exec valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out" \
        "$1" >/dev/null 2>"$work/$2.log") &
    pid=$!
    start=$SECONDS
    until wid=$(xdotool search --classname allegro 2>/dev/null | head -n 1) && [ -n "$wid" ] &&
        import -window "$wid" -crop 1x1+5+475 txt:- 2>/dev/null | grep -q '#202020'; do
        kill -0 "$pid" 2>/dev/null || fail "$2 ended before its first frame"
        [ $((SECONDS - start)) -lt 60 ] || fail "$2 showed no frame within 60 s"
        sleep 0.2
    done
    xdotool windowfocus "$wid" mousemove --window "$wid" 320 240
    callgrind_control -i on "$pid" >/dev/null 2>&1
    for ((round = 0; round < rounds; round++)); do
        xdotool key F10
        local end=$((SECONDS + seconds))
        for ((i = 0; SECONDS < end; i++)); do
            xdotool keydown "$(echo d s a w | cut -d' ' -f$((i % 4 + 1)))" mousemove_relative -- \
                $((i % 3 * 20 - 20)) $((i % 5 * 10 - 20)) click 1 sleep 0.3 keyup d s a w
        done
    done
    callgrind_control -d "$pid" >/dev/null 2>&1
    xdotool keydown Escape
    wait "$pid" || fail "$2 ended with a status other than 0"
    pid=""
    xdotool keyup Escape
    [ -s "$out.1" ] || fail "$2: no count written"
    counts "$out.1" vsync 'battleMain::applyInput()' 'playerUnit::processInput(dataObj*, unitList*)' \
        'homingUnit::processInput(dataObj*, unitList*)' | tee -a "$work/$2" >/dev/null
    rm -f "$out"*
}
median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((run = 1; run <= runs; run++)); do
    measure "$build/arenaBattle" game
    measure "$build/floor" floor
    tail -n 1 "$work/game" "$work/floor" | awk -v r="$run" '
        /==> .*game/ { n = "game" } /==> .*floor/ { n = "floor" }
        NF >= 2 && $2 > 0 { printf "run %d: %-5s %5.2f million instructions a frame, %d frames", r, n, $1 / $2 / 1e6, $2
                            if (n == "game") printf ", %d ticks, player in %d, %.1f homing enemies a tick", $3, $4, $3 ? $5 / $3 : 0
                            print "" }'
done
for name in game floor; do
    awk '$2 > 0 { print $1 / $2 }' "$work/$name" | median >"$work/$name.median"
done
awk -v g="$(cat "$work/game.median")" -v f="$(cat "$work/floor.median")" -v n="$runs" 'BEGIN {
    printf "\nmedians of %d runs, instructions per frame shown: game %.2f million, floor %.2f million\n", n, g / 1e6, f / 1e6
    printf "game / floor %.3f, goal at most 0.30: %s\n", g / f, g / f <= 0.30 ? "met" : "MISSED" }'
