#!/usr/bin/env bash
# Installs what is missing (the game's and the test tools' packages), builds, and runs every
# test through CTest: the normal build first (unit, window, soak and benchmark tests), then the
# library and the headless tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short fuzz run of the picture-file loading path (clang's libFuzzer).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

TEST_PACKAGES=("${HARNESS_PACKAGES[@]}" clang libclang-rt-dev valgrind)
ensurePackages "${GAME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

buildInto build -DBUILD_TESTING=ON
(cd build && ctest --output-on-failure -j 2)

buildInto build-sanitize -DBUILD_TESTING=ON -DARENA_SANITIZE=ON -DARENA_WINDOW_TESTS=OFF \
    -DARENA_BENCHMARKS=OFF
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j 2)

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DARENA_FUZZ=ON -DBUILD_TESTING=ON \
    -DARENA_WINDOW_TESTS=OFF -DARENA_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target picDataFuzz
(cd build-fuzz && ctest --output-on-failure -L fuzz)
