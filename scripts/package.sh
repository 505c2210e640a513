#!/usr/bin/env bash
# Makes the Debian package from a release build: build-package/arena-battle_<version>_amd64.deb.
# With --check, then holds it to Debian's checker, lintian (no error, no warning), installs it
# with apt-get, checks the binary's hardening with hardening-check, starts
# /usr/games/arena-battle from / in a private X server, ends it with ESC (exit status 0), removes
# the package and checks that none of its files is left behind. Installing needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
# CPack works out the dependencies with dpkg-shlibdeps, which finds the binaries with file.
ensurePackages "${GAME_PACKAGES[@]}" dpkg-dev file
# The same source makes the same bytes: the archive's times are those of the changelog's latest
# entry, as Debian's own tools date a package, unless the caller sets another.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l packaging/changelog -STimestamp)}
export SOURCE_DATE_EPOCH
# CPack gives the archive's members and the package's folders the modes its files are made with.
umask 022
buildInto build-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DARENA_BENCHMARKS=OFF
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls "$PWD"/build-package/arena-battle_*_amd64.deb)
echo "made $deb"
[ "${1:-}" = --check ] || exit 0

ensurePackages xvfb xauth xdotool lintian devscripts
lintian --fail-on error,warning "$deb"
asRoot DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
files=$(dpkg -L arena-battle | while read -r f; do [ -d "$f" ] || echo "$f"; done)
# The hardening Debian asks of every package. Control-flow and branch protection are not asked
# for: on amd64 not even Debian's own binaries (/usr/bin/ls) show them to hardening-check.
hardening=$(hardening-check /usr/lib/games/arena-battle/arenaBattle || true)
echo "$hardening"
features='Position Independent Executable|Stack protected|Fortify Source functions'
features+='|Read-only relocations|Immediate binding'
hardened=$(grep -cE "^ ($features): yes" <<<"$hardening" || true)
status=0
xvfb-run -a sh -c 'cd / && /usr/games/arena-battle & game=$!
    until wid=$(xdotool search --classname arena-battle 2>/dev/null); do
        kill -0 $game 2>/dev/null || exit 3; sleep 0.2
    done; sleep 1
    xdotool mousemove --window "$wid" 100 100 keydown Escape sleep 0.3 keyup Escape
    wait $game' || status=$?
asRoot apt-get remove -y -qq arena-battle >/dev/null
left=$(for f in $files; do [ ! -e "$f" ] || echo "$f"; done)
echo "installed $(echo "$files" | wc -l) files; the game ended with status $status"
[ "$hardened" -eq 5 ] || { echo "FAILED: not hardened" >&2; exit 1; }
[ "$status" -eq 0 ] && [ -z "$left" ] || { echo "FAILED; left behind: ${left:-nothing}" >&2; exit 1; }
echo "the package passes lintian, is hardened, installs, runs from / and removes cleanly"
