# Shared by the scripts that start the game in a private X server. Sourced, not run.

# Ends process $1 (a child of this shell) and waits for it to go: SIGTERM, up to 5 s of grace,
# then SIGKILL. A game under valgrind that loses its X server while it shuts down can hang for
# ever, so this comes before the X server goes.
stopProcess() {
    kill "$1" 2>/dev/null || true
    for _ in {1..50}; do kill -0 "$1" 2>/dev/null && sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
