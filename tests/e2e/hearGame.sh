#!/usr/bin/env bash
# Hears the built game with no sound card: ALSA's file plugin writes all the game plays into a
# capture (unsigned 16-bit stereo at 44.1 kHz, 176,400 bytes a second) whose length tells the
# time. A battle's start sounds, then all is quiet while nothing happens; each click sounds within
# 0.25 s; nothing sounds while another window has the focus, nor on return until a click; no
# sample clips over a rough battle; without a sound device standard error stays clean.
#
# Usage: tests/e2e/hearGame.sh BUILD_FOLDER
set -euo pipefail
if [ -z "${HEAR_IN_XVFB:-}" ]; then
    HEAR_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=$(cd "$1" && pwd)
work=$(mktemp -d)
raw=$work/out.raw second=176400 game="" delays=""
source "$(dirname "$0")/../../scripts/stopProcess.sh"
trap '[ -z "$game" ] || stopProcess "$game"; rm -rf "$work"' EXIT

# Allegro shows its messages with xmessage, which waits for a click: this one only notes them.
printf '#!/bin/sh\necho "$*" >>"%s/messages"\n' "$work" | install -D /dev/stdin "$work/bin/xmessage"
export PATH="$work/bin:$PATH" ALLEGRO=$work

fail() { echo "FAIL: $*" >&2 && exit 1; }
# Runs the rest of the line every 0.05 s until it succeeds, for at most $1 seconds.
waitFor() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do [ "$SECONDS" -lt "$end" ] && sleep 0.05 || return 1; done
}
# Starts the game with these [sound] lines in its allegro.cfg and waits for its window.
start() {
    { echo "[sound]" && printf '%s\n' "$@"; } >"$work/allegro.cfg"
    (cd "$build" && exec ./arenaBattle) 2>"$work/err" & game=$!
    waitFor 60 eval 'wid=$(xdotool search --onlyvisible --classname arena-battle) && [ -n "$wid" ]' ||
        fail "no window"
    xdotool windowfocus "$wid"
}
# ESC ends the game with status 0, and nothing on standard error.
end() {
    xdotool key Escape && waitFor 30 eval '! kill -0 "$game" 2>/dev/null' || fail "ESC ends nothing"
    local status=0
    wait "$game" || status=$?
    game=""
    [ "$status" -eq 0 ] && [ ! -s "$work/err" ] || fail "ESC: status $status; $(cat "$work/err")"
}
at() { stat -c %s "$raw"; }
# "ear.py FROM TO": the capture from byte FROM to TO, its loudest sample's distance from silence
# and the byte where it first sounds (-1: never). "ear.py click": a left click after 0.4 s in
# which nothing happens, and the ms until the capture sounds (-1: not within 0.35 s).
cat >"$work/ear.py" <<'PY'
import array, os, sys, time
raw, size = sys.argv[1], lambda: os.path.getsize(sys.argv[1])
def listen(lo, hi):
    lo -= lo % 4; f = open(raw, "rb"); f.seek(lo)
    d = [abs(v - 32768) for v in array.array("H", f.read(max(0, hi - lo)))]
    return max(d, default=0), next((lo + i // 2 * 4 for i, v in enumerate(d) if v > 64), -1)
if sys.argv[2] != "click": sys.exit(print(*listen(int(sys.argv[2]), int(sys.argv[3]))))
from Xlib import X, display
from Xlib.ext import xtest
x = display.Display()
lo = size(); time.sleep(0.4); at = size()
for event in (X.ButtonPress, X.ButtonRelease): xtest.fake_input(x, event, 1)
x.sync(); time.sleep(0.35)
first = listen(lo, size())[1]
print(-1 if first < 0 else "a sound before it" if first < at else (first - at) * 1000 // 176400)
PY
listen() { /usr/bin/python3 "$work/ear.py" "$raw" "$@"; }
# F10, the new battle's start heard, and the pointer to a corner of the arena.
restart() {
    local from=$(at) && xdotool key F10
    waitFor 2 eval '[ "$(listen "$from" "$(at)" | cut -d" " -f2)" -ge 0 ]' || fail "no start sound"
    xdotool mousemove --window "$wid" 90 60
}
# A click heard within 0.25 s; notes the delay.
clickHeard() {
    local delay=$(listen click)
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
