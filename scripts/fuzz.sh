#!/usr/bin/env bash
# Builds the solution page readers' fuzz target with clang-14 and libFuzzer
# (AddressSanitizer and UndefinedBehaviorSanitizer on) and runs it for the
# given number of seconds, default 60, starting from the sample pages in
# fuzz/corpus and the golden test pages in tests/fixtures/pages. New inputs go
# to build-fuzz/corpus; a failing input is saved as build-fuzz/crash-* (or
# leak-*, timeout-*) and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build=build-fuzz

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DTAKTIRIO_FUZZ=ON -DTAKTIRIO_WERROR=ON
cmake --build "$build" --target page_reader_fuzz

mkdir -p "$build/corpus"
"$build/fuzz/page_reader_fuzz" -max_total_time="$seconds" -dict=fuzz/pages.dict \
    -artifact_prefix="$build/" -print_final_stats=1 "$build/corpus" fuzz/corpus tests/fixtures/pages
