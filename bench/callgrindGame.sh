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
    if [[ "$1" =~ ^--(rounds|seconds|runs)$ ]]; then
        printf -v "${1#--}" %d "$2" && shift
    else
        build=$1
    fi
    shift
done
build=$(cd "$build" && pwd)
work=$(mktemp -d)
pid=""
source "$(dirname "$0")/../scripts/stopProcess.sh"
trap '[ -z "$pid" ] || stopProcess "$pid"; rm -rf "$work"' EXIT
fail() { echo "callgrindGame: $*" >&2 && exit 1; }

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
    until wid=$(xdotool search --classname '^(arena-battle|allegro)$' 2>/dev/null | head -n 1) && [ -n "$wid" ] &&
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
for ((run = 1; run <= runs; run++)); do
    measure "$build/arenaBattle" game
    measure "$build/floor" floor
done
/usr/bin/python3 - "$work/game" "$work/floor" <<'PY'
import statistics, sys
runs = [[list(map(int, line.split())) for line in open(name)] for name in sys.argv[1:]]
for run, (game, floor) in enumerate(zip(*runs), 1):
    print(f"run {run}: game {game[0] / game[1] / 1e6:.2f} million instructions a frame, {game[1]} "
          f"frames, {game[2]} ticks, player in {game[3]}, {game[4] / max(game[2], 1):.1f} homing "
          f"enemies a tick; floor {floor[0] / floor[1] / 1e6:.2f} million, {floor[1]} frames")
game, floor = (statistics.median(r[0] / r[1] for r in each) for each in runs)
print(f"\nmedians of {len(runs[0])} runs, instructions per frame shown: game {game / 1e6:.2f} million, "
      f"floor {floor / 1e6:.2f} million")
print(f"game / floor {game / floor:.3f}, goal at most 0.30: {'met' if game / floor <= 0.30 else 'MISSED'}")
PY
