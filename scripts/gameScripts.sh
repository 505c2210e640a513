# Shared by the scripts that start the built game in a private X server. Sourced, not run: each
# function's contract is its one line. They fail through fail, and stop the program started last
# (in game) on exit; waits last $slow (default 1) times longer, for a game under valgrind.
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$scripts/setup.sh"

# Installs the X tools (or names them and stops), runs this script again ("$@" its arguments) in
# a private 1024x768 X server unless it runs in one, and there makes the scratch folder work.
# Whether the script passes or fails, the program in game is gone before the X server goes.
inPrivateX() {
    ensurePackages "${X_PACKAGES[@]}"
    [ "${PRIVATE_X_FOR:-}" = "$0" ] ||
        PRIVATE_X_FOR=$0 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
    game="" work=$(mktemp -d)
    trap '[ -z "$game" ] || stopProcess "$game"; rm -rf "$work"' EXIT
}
# Prints "<script> failed: $*" on standard error, then what the script's onFail prints; exits 1.
fail() {
    echo "${0##*/} failed: $*" >&2
    if declare -F onFail >/dev/null; then onFail >&2 || true; fi
    exit 1
}
# Runs the rest of the line every 0.1 s until it succeeds, for at most $1 seconds; else returns 1.
waitFor() {
    local end=$((SECONDS + $1 * ${slow:-1}))
    shift
    until "$@"; do [ "$SECONDS" -lt "$end" ] && sleep 0.1 || return 1; done
}
# Fails unless each named file exists (a build's arenaBattle, floor, picData.dat), naming the build.
needBuilt() {
    local file
    for file in "$@"; do
        [ -e "$file" ] || fail "no $file: build it first (./test.sh, or cmake --build ${file%/*})"
    done
}
# Starts the rest of the line in folder $1 in the background, output to file $2; sets game (its id).
startIn() {
    local folder=$1 output=$2
    shift 2
    (cd "$folder" && exec "$@") >"$output" 2>&1 &
    game=$!
}
# Starts the rest of the line in folder $1 (output to file $2) and waits up to $3 s for its first
# frame; sets game, pid (the program's own) and ms (from start to first frame).
startTimed() {
    local folder=$1 output=$2 seconds=$3
    shift 3
    startIn "$folder" "$output" /usr/bin/python3 "$scripts/xwin.py" launch \
        "$((seconds * ${slow:-1}))" "$@"
    until read -r _ _ pid ms < <(grep "^first frame " "$output"); do
        kill -0 "$game" 2>/dev/null || fail "${*: -1} did not start: $(tail -n 3 "$output")"
        sleep 0.05
    done
}
# Puts first in PATH an xmessage that adds its text to $work/messages (Allegro's waits for a click).
quietMessages() {
    printf '#!/bin/sh\necho "$*" >>"%s/messages"\n' "$work" |
        install -D /dev/stdin "$work/bin/xmessage"
    export PATH="$work/bin:$PATH"
}
# Sets wid to the first shown window whose instance name (the class's first part) matches regex $1.
findWindow() {
    wid=$(xdotool search --onlyvisible --classname "$1" 2>/dev/null | head -n 1) && [ -n "$wid" ]
}
# Waits up to 30 s for the program in game to end; fails unless it ended with status $1.
expectEnd() {
    local status=0
    waitFor 30 eval '! kill -0 "$game" 2>/dev/null' || fail "the game still runs"
    wait "$game" || status=$?
    game=""
    [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"
}
# Plays window wid for $1 s: each 300 ms one of D, S, A, W held, the mouse moved a little, a click.
playFor() {
    local end=$((SECONDS + $1)) i
    xdotool windowfocus "$wid" mousemove --window "$wid" 320 240
    for ((i = 0; SECONDS < end; i++)); do
        xdotool keydown "$(echo d s a w | cut -d' ' -f$((i % 4 + 1)))" mousemove_relative -- \
            $((i % 3 * 20 - 20)) $((i % 5 * 10 - 20)) click 1 sleep 0.3 keyup d s a w
    done
}
# Ends process $1 (a child of this shell) and waits for it to go: SIGTERM, up to 5 s of grace,
# then SIGKILL. A game under valgrind that loses its X server while it shuts down can hang for
# ever, so this comes before the X server goes.
stopProcess() {
    kill "$1" 2>/dev/null || true
    for _ in {1..50}; do kill -0 "$1" 2>/dev/null && sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
# Runs the subcommand of scripts/xwin.py (the X reading in Python) given by the line.
xwin() { /usr/bin/python3 "$scripts/xwin.py" "$@"; }
