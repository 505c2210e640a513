#!/usr/bin/env bash
# The long soak: 100,000 ticks (about 55 minutes of play) of a headless battle with random input,
# under AddressSanitizer and UndefinedBehaviorSanitizer; installs what it lacks first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ensurePackages "${GAME_PACKAGES[@]}" googletest libgtest-dev
buildInto build-sanitize -DBUILD_TESTING=ON -DARENA_SANITIZE=ON -DARENA_WINDOW_TESTS=OFF \
    -DARENA_BENCHMARKS=OFF
cd build-sanitize
ARENA_SOAK_TICKS="${1:-100000}" ASAN_OPTIONS=detect_leaks=1 ./unitTests --gtest_filter='battlePlay.*'
