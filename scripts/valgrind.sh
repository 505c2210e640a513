#!/usr/bin/env bash
# The real game under valgrind's memcheck: a scripted session of 15 seconds in a private X server
# (walking, aiming, firing, F10, then ESC held), judged as the CTest "valgrind" test judges its
# shorter one. Prints valgrind's summary and keeps its whole log in the build folder. Run
# ./test.sh once first; valgrind itself is the Debian package valgrind.
#
# Usage: scripts/valgrind.sh [SECONDS]     default 15
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ensurePackages valgrind
buildInto build -DBUILD_TESTING=ON
log="$PWD/build/valgrind.log"
status=0
ARENA_VALGRIND_PLAY_SECONDS="${1:-15}" ARENA_VALGRIND_LOG="$log" build/valgrindTests || status=$?
echo "valgrind's whole log: $log"
exit "$status"
