#!/usr/bin/env bash
# Installs what is missing, builds the game and its picture datafile, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

ensurePackages "${GAME_PACKAGES[@]}"
buildInto build -DBUILD_TESTING=OFF
cd build
exec ./arenaBattle
