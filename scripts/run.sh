#!/usr/bin/env bash
# Installs what is missing, builds, and runs the solver on generated schools of
# 6, 15 and 30 class sections (the solver benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target solver_bench
./build/bench/solver_bench "$@"
