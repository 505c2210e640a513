#!/usr/bin/env bash
# The built game when its surroundings fail, each case in an X server of its own: the X server
# killed mid-battle and while the game is paused in the background (the game gone within 2 s,
# status 1, one line on standard error); SIGINT in play and while paused (the game ends as on ESC
# and then by SIGINT: status 130, no crash) and SIGTERM (143); the sound device failing under the
# battle (ALSA's file plugin writing to /dev/full): one line that says so, the arena still moving,
# and ESC ends it with status 0.
#
# Usage: tests/e2e/desktopFails.sh BUILD_FOLDER
set -euo pipefail
source "$(dirname "$0")/../../scripts/gameScripts.sh"
ensurePackages "${X_PACKAGES[@]}"
build=$(cd "$1" && pwd)
needBuilt "$build/arenaBattle"
game="" xserver="" work=$(mktemp -d)
trap '[ -z "$game" ] || stopProcess "$game"; [ -z "$xserver" ] || stopProcess "$xserver"
      rm -rf "$work"' EXIT
quietMessages
export ALLEGRO=$work

# A private X server, then the game in it with these [sound] lines in its allegro.cfg; waits for
# its window and a second of battle.
start() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    xserver=$!
    waitFor 10 eval 'export DISPLAY=":$(cat "$work/display")" && xdotool getdisplaygeometry' \
        >/dev/null 2>&1 || fail "no X server"
    { echo "[sound]" && printf '%s\n' "$@"; } >"$work/allegro.cfg"
    startIn "$build" "$work/err" ./arenaBattle
    waitFor 60 findWindow arena-battle || fail "no window; standard error: $(head -c 600 "$work/err")"
    xdotool windowfocus "$wid" sleep 1
}
away() { xdotool windowfocus 0 sleep 0.5; }
# Expects the game gone within 2 s, with status $1 and standard error as $2; then ends the X server.
ended() {
    waitFor 2 eval '! kill -0 "$game" 2>/dev/null' || fail "$3: the game still runs after 2 s"
    local status=0
    wait "$game" || status=$?
    game=""
    [ "$status" -eq "$1" ] && [ "$(cat "$work/err")" = "$2" ] ||
        fail "$3: status $status (expected $1), standard error: $(head -c 600 "$work/err")"
    stopProcess "$xserver"
    xserver=""
}
lost='arenaBattle: the display went away; ending.'

echo "the X server killed mid-battle, and ended while the game is paused: status 1, one line"
start && kill -KILL "$xserver" && { wait "$xserver" 2>/dev/null || true; } && ended 1 "$lost" "X server killed"
start && away && kill "$xserver" && ended 1 "$lost" "X server ended while paused"

echo "SIGINT in play and while paused: status 130; SIGTERM 143, SIGHUP 129; nothing on stderr"
start && kill -INT "$game" && ended 130 "" "SIGINT"
start && away && kill -INT "$game" && ended 130 "" "SIGINT while paused"
start && kill -TERM "$game" && ended 143 "" "SIGTERM"
start && kill -HUP "$game" && ended 129 "" "SIGHUP"

echo "the sound device failing: one line, the arena still moving, ESC gives 0"
start "alsa_device = file:FILE=/dev/full,FORMAT=raw"
xdotool sleep 2 click 1 sleep 0.5
arena() { import -window "$wid" -crop 500x400+70+40 rgb:- | md5sum; }
before=$(arena) && sleep 0.5 && [ "$(arena)" != "$before" ] || fail "the arena stands still"
xdotool key Escape
ended 0 'arenaBattle: the sound device failed; playing on without sound.' "the sound failing"
echo "all passed"
