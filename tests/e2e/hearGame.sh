#!/usr/bin/env bash
# Hears the built game with no sound card: ALSA's file plugin writes all the game plays into a
# capture (unsigned 16-bit stereo at 44.1 kHz, 176,400 bytes a second) whose length tells the
# time. A battle's start sounds, then all is quiet while nothing happens; each click sounds within
# 0.25 s; nothing sounds while another window has the focus, nor on return until a click; no
# sample clips over a rough battle; without a sound device standard error stays clean.
#
# Usage: tests/e2e/hearGame.sh BUILD_FOLDER
set -euo pipefail
source "$(dirname "$0")/../../scripts/gameScripts.sh"
inPrivateX "$@"
build=$(cd "$1" && pwd)
needBuilt "$build/arenaBattle" "$build/picData.dat"
raw=$work/out.raw second=176400 delays=""
quietMessages
export ALLEGRO=$work

# Starts the game with these [sound] lines in its allegro.cfg and waits for its window.
start() {
    { echo "[sound]" && printf '%s\n' "$@"; } >"$work/allegro.cfg"
    startIn "$build" "$work/err" ./arenaBattle
    waitFor 60 findWindow arena-battle || fail "no window"
    xdotool windowfocus "$wid"
}
# ESC ends the game with status 0, and nothing on its output.
end() {
    xdotool key Escape
    expectEnd 0
    [ ! -s "$work/err" ] || fail "ESC: $(cat "$work/err")"
}
at() { stat -c %s "$raw"; }
# "listen FROM TO": the capture from byte FROM to TO, its loudest sample's distance from silence
# and the byte where it first sounds (-1: never).
listen() { xwin listen "$raw" "$@"; }
# F10, the new battle's start heard, and the pointer to a corner of the arena.
restart() {
    local from=$(at) && xdotool key F10
    waitFor 2 eval '[ "$(listen "$from" "$(at)" | cut -d" " -f2)" -ge 0 ]' || fail "no start sound"
    xdotool mousemove --window "$wid" 90 60
}
# A click heard within 0.25 s; notes the delay.
clickHeard() {
    local delay=$(xwin click-heard "$raw")
    [[ "$delay" =~ ^[0-9]+$ ]] && [ "$delay" -le 250 ] && delays+=" $delay" || fail "a click: $delay"
}

echo "a battle's start heard, then quiet while nothing happens; each click heard at once"
start "alsa_device = file:FILE=$raw,FORMAT=raw" "alsa_fragsize = 441" "sound_freq = 44100" \
    "sound_bits = 16" "sound_stereo = 1"
waitFor 10 test -s "$raw" && began=$(date +%s.%N) first=$(at) && sleep 0.6 || fail "nothing captured"
for round in 1 2 3 4 5 6; do
    restart # each click in a fresh battle, long before the homers come near
    sleep 0.5 && clickHeard
done

echo "silent while another window has the focus, and on return until a click"
restart
xdotool windowfocus 0 && away=$(at)
xdotool sleep 0.5 click 1 sleep 0.5 windowfocus "$wid" sleep 0.5
[ "$(listen $((away + second / 4)) "$(at)" | cut -d' ' -f1)" -le 64 ] ||
    fail "a sound from 0.25 s after the focus went"
clickHeard
echo "click to sound (ms):$delays; median $(printf '%s\n' $delays | sort -n | sed -n 4p)"

echo "no clipped sample, none over the mix's ceiling, in a rough battle: sixteen quick clicks into the mob"
xdotool sleep 3 mousemove --window "$wid" 330 240 click --repeat 16 --delay 40 1 sleep 2
read -r peak _ < <(listen 0 "$(at)")
echo "peak $(awk -v p="$peak" 'BEGIN { printf "%.1f", 20 * log(p / 32768) / log(10) }') dBFS"
[ "$peak" -gt 3000 ] && [ "$peak" -le 30000 ] || fail "peak $peak: silent, or over the mix's ceiling"
# The configuration's 441-frame fragments, one a wake of the mixer, win over the game's larger ones.
awk "BEGIN { exit $(($(at) - first)) / $second / ($(date +%s.%N) - $began) > 1.08 }" ||
    fail "the capture ran faster than real time: the configuration's fragment size was not used"
end

echo "without a sound device: nothing on standard error"
start "alsa_device = arenaBattleNone" "alsa_mixer_device = arenaBattleNone"
end
echo "all passed"
