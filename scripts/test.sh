#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full
# build, then the core tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAKTIRIO_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTAKTIRIO_SANITIZE=address,undefined -DTAKTIRIO_CORE_ONLY=ON -DTAKTIRIO_BUILD_BENCH=OFF \
    -DTAKTIRIO_WERROR=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
