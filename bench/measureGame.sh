#!/usr/bin/env bash
# Measures the running game against its floor (build/floor: a bare Allegro program in the same
# window mode, whose loop only clears, waits for the retrace and copies) in a private X server,
# the two in turn under the same input: each 300 ms one of D, S, A, W is held, the mouse moves and
# clicks. Prints, as medians over the runs, processor use, frames shown a second, peak memory and
# the time from start to the first frame, the game's figures next to the floor's and its goals.
#
# Usage: bench/measureGame.sh [BUILD_FOLDER] [--seconds S] [--runs R]   (build/, 20 s, 1 run)
set -euo pipefail
if [ -z "${MEASURE_IN_XVFB:-}" ]; then
    MEASURE_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=build seconds=20 runs=1
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2 && shift ;;
    --runs) runs=$2 && shift ;;
    *) build=$1 ;;
    esac
    shift
done
build=$(cd "$build" && pwd)
hz=$(getconf CLK_TCK)
figures=$(mktemp -d)
trap 'rm -rf "$figures"' EXIT

# Starts $1 in $2 and waits for its first frame (the background colour in the window's corner);
# prints its process ID and the milliseconds from start to first frame.
launch() {
    /usr/bin/python3 - "$@" <<'PY'
import subprocess, sys, time
from Xlib import X, display
root = display.Display().screen().root
start = time.monotonic()
game = subprocess.Popen([sys.argv[1]], cwd=sys.argv[2], stdout=subprocess.DEVNULL)
while root.get_image(5, 475, 1, 1, X.ZPixmap, 0xffffffff).data[:3] != b"\x20\x20\x20":
    if time.monotonic() - start > 10: sys.exit("no frame within 10 s")
print(game.pid, round((time.monotonic() - start) * 1000))
PY
}
cpuTicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
writes() { awk '/^syscw/ { print $2 }' "/proc/$1/task/$1/io"; } # one X request a frame shown
# Plays $seconds against program $1 (folder $2): "processor% frames/s peakMB firstFrameMs".
measure() {
    local pid ms cpu frames end
    read -r pid ms < <(launch "$1" "$2")
    xdotool mousemove 320 240
    cpu=$(cpuTicks "$pid") frames=$(writes "$pid") end=$((SECONDS + seconds))
    for ((i = 0; SECONDS < end; i++)); do
        xdotool keydown "$(echo d s a w | cut -d' ' -f$((i % 4 + 1)))" mousemove_relative -- \
            $((i % 3 * 20 - 20)) $((i % 5 * 10 - 20)) click 1 sleep 0.3 keyup d s a w
    done
    cpu=$(($(cpuTicks "$pid") - cpu)) frames=$(($(writes "$pid") - frames))
    local peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
    xdotool keydown Escape
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    xdotool keyup Escape
    awk -v c="$cpu" -v f="$frames" -v p="$peak" -v m="$ms" -v s="$seconds" -v hz="$hz" \
        'BEGIN { printf "%.1f %.1f %.1f %d\n", 100 * c / hz / s, f / s, p / 1024, m }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((run = 1; run <= runs; run++)); do
    echo "run $run: game $(measure "$build/arenaBattle" "$build" | tee -a "$figures/game")"
    echo "run $run: floor $(measure "$build/floor" "$build" | tee -a "$figures/floor")"
done
figure() { cut -d' ' -f"$2" "$figures/$1" | median; }
echo
echo "medians of $runs runs of $seconds s   game     floor    game/floor   goal for the game"
for row in "1 processor use (% of a core)|under 10" "2 frames shown a second|" \
    "3 peak memory (MB)|under 20" "4 start to first frame (ms)|under 200"; do
    field=${row%% *} name=${row#* } goal=${name#*|} name=${name%|*}
    game=$(figure game "$field") floor=$(figure floor "$field")
    awk -v n="$name" -v g="$game" -v f="$floor" -v goal="$goal" 'BEGIN {
        met = goal == "" ? "" : (g + 0 < substr(goal, 7) + 0 ? "met" : "MISSED")
        printf "%-33s %8s %8s %10.2f   %s %s\n", n, g, f, f ? g / f : 0, goal, met }'
done
