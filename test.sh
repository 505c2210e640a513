#!/usr/bin/env bash
# Installs what is missing (the game's and the test tools' packages), builds, and runs every
# test through CTest: the normal build first, then the library and unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev xvfb xauth libx11-dev libxtst-dev
)
ensurePackages "${GAME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

buildInto build -DBUILD_TESTING=ON
(cd build && ctest --output-on-failure -j 2)

buildInto build-sanitize -DBUILD_TESTING=ON -DARENA_SANITIZE=ON -DARENA_WINDOW_TESTS=OFF \
    -DARENA_BENCHMARKS=OFF
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j 2)
