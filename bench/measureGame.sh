#!/usr/bin/env bash
# Measures the running game against its floor (build/floor: a bare Allegro program in the same
# window mode, whose loop only clears, waits for the retrace and copies, and which only rests
# while its window is in the background) in a private X server, the two in turn under the same
# input: each 300 ms one of D, S, A, W is held, the mouse moves and clicks. Then the window loses
# the keyboard focus for a while: the game pauses, the floor rests. Prints, as medians over the
# runs, processor use while playing and while away, frames shown a second, peak memory and the
# time from start to the first frame, the game's figures next to the floor's and its goals. The
# game plays twice: with sound, mixed for ALSA's null device (no sound card needed), and without
# (digi_card = 0); the cost of the sound is the difference.
# Fails when a program does not start, ends before it is told to or not when told to, ends with
# a status but 0, or a figure cannot be read.
#
# Usage: bench/measureGame.sh [BUILD_FOLDER] [--seconds S] [--runs R]   (build/, 20 s, 1 run)
set -euo pipefail
shopt -s inherit_errexit
source "$(dirname "$0")/../scripts/gameScripts.sh"
inPrivateX "$@"
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
needBuilt "$build/arenaBattle" "$build/picData.dat" "$build/floor"
hz=$(getconf CLK_TCK)
# The game's own sound settings but for the device. The null device takes a fragment whenever the
# mixer offers one, so the mixer works a little harder than for a sound card.
mkdir "$work/withSound" "$work/withoutSound"
printf '[sound]\nalsa_device = null\n' >"$work/withSound/allegro.cfg"
printf '[sound]\ndigi_card = 0\n' >"$work/withoutSound/allegro.cfg"

cpuTicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
writes() { awk '/^syscw/ { print $2 }' "/proc/$1/task/$1/io"; } # one X request a frame shown
running() { kill -0 "$pid" 2>/dev/null || fail "$name ended during the measurement"; }
# Prints what the rest of the line reads, failing unless it is a whole number (figure $1).
reading() {
    local value
    value=$("${@:2}" 2>/dev/null) || value=""
    [[ "$value" =~ ^[0-9]+$ ]] || { running && fail "$name: no $1"; }
    echo "$value"
}
# Plays $seconds, then waits as long in the background, against program $1 (folder $2), and adds
# "processor% frames/s peakMB firstFrameMs awayProcessor%" to $work/$3.
measure() {
    name=$3
    startTimed "$2" "$work/out" 10 "$1"
    local cpu frames away peak
    # The floor, a bare Allegro program, keeps Allegro's own instance name.
    findWindow '^(arena-battle|allegro)$'
    xdotool windowfocus "$wid" mousemove --window "$wid" 320 240
    cpu=$(reading "processor time" cpuTicks "$pid") frames=$(reading frames writes "$pid")
    playFor "$seconds"
    running
    cpu=$(($(reading "processor time" cpuTicks "$pid") - cpu))
    frames=$(($(reading frames writes "$pid") - frames))
    xdotool windowfocus 0 sleep 1
    away=$(reading "processor time" cpuTicks "$pid")
    sleep "$seconds"
    running
    away=$(($(reading "processor time" cpuTicks "$pid") - away))
    peak=$(reading "peak memory" awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
    xdotool windowfocus "$wid" sleep 0.2 keydown Escape
    expectEnd 0
    xdotool keyup Escape
    local figure
    figure=$(awk -v c="$cpu" -v f="$frames" -v p="$peak" -v m="$ms" -v s="$seconds" -v a="$away" \
        -v hz="$hz" 'BEGIN { printf "%.1f %.1f %.1f %d %.2f", 100 * c / hz / s, f / s, p / 1024,
                             m, 100 * a / hz / s }')
    echo "run $run: $name $figure" && echo "$figure" >>"$work/$name"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((run = 1; run <= runs; run++)); do
    ALLEGRO=$work/withSound measure "$build/arenaBattle" "$build" game
    ALLEGRO=$work/withoutSound measure "$build/arenaBattle" "$build" silent
    measure "$build/floor" "$build" floor
done
figure() { cut -d' ' -f"$2" "$work/$1" | median; }
echo
echo "medians of $runs runs of $seconds s   game     floor    game/floor   goal for the game"
for row in "1 processor use (% of a core)|under 10" "5 processor use away (%)|floor + 0.5" \
    "2 frames shown a second|" "3 peak memory (MB)|under 20" "4 start to first frame (ms)|under 200"; do
    field=${row%% *} name=${row#* } goal=${name#*|} name=${name%|*}
    game=$(figure game "$field") floor=$(figure floor "$field")
    awk -v n="$name" -v g="$game" -v f="$floor" -v goal="$goal" 'BEGIN {
        atMost = goal ~ /^floor/
        limit = atMost ? f + substr(goal, 9) : substr(goal, 7)
        met = goal == "" ? "" : (g + 0 < limit + 0 || (atMost && g + 0 == limit + 0) ? "met" : "MISSED")
        printf "%-33s %8s %8s %10.2f   %s %s\n", n, g, f, f ? g / f : 0, goal, met }'
done
echo
echo "the sound's cost: the game as above, and without sound (medians; runs' lowest to highest)"
for row in "1 processor use (% of a core)|0.5" "4 start to first frame (ms)|10"; do
    field=${row%% *} name=${row#* } limit=${name#*|} name=${name%|*}
    game=$(figure game "$field") silent=$(figure silent "$field")
    spread=$(for who in game silent; do cut -d' ' -f"$field" "$work/$who" | sort -n |
        sed -n '1h; $ { H; x; s/\n/ to /; p }'; done | paste -sd' ')
    awk -v n="$name" -v g="$game" -v s="$silent" -v l="$limit" -v r="$spread" 'BEGIN {
        printf "%-33s %8s %8s   %+.2f (%s)   goal at most +%s %s\n", n, g, s, g - s, r, l,
            g - s <= l + 0 ? "met" : "MISSED" }'
done
